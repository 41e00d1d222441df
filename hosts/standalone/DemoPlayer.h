#pragma once
// The built-in demo song, played over and over on the audio thread, so the
// standalone can be heard and measured without a keyboard.

#include "HostModel.h"
#include "MidiSong.h"

#include <vector>

class DemoPlayer
{
public:
  // Control thread, before the audio starts: every event is placed here.
  explicit DemoPlayer(double sampleRate);

  // Audio thread: sends the events of the next `frames` frames for the next Render.
  void sendDue(HostModel& host, uint32_t frames);

private:
  std::vector<TimedEvent> mEvents;
  uint64_t mLoopFrames = 1;
  uint64_t mPosition = 0;
  size_t mNext = 0;
};
