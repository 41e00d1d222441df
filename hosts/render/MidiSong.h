#pragma once
// A song as the renderer plays it: channel messages on a beat grid, in the
// order they are to be sent, and the tempo map that places them in time.

#include "RenderStatus.h"
#include "TempoMap.h"

#include <cstdint>
#include <string>
#include <vector>

struct SongEvent
{
  double mBeat = 0.0; // quarter notes from the start
  uint8_t mStatus = 0;
  uint8_t mData1 = 0;
  uint8_t mData2 = 0;
};

// An event placed at its frame: round(seconds × sample rate).
struct TimedEvent
{
  uint64_t mFrame = 0;
  uint8_t mStatus = 0;
  uint8_t mData1 = 0;
  uint8_t mData2 = 0;
};

struct MidiSong
{
  TempoMap mTempoMap;
  std::vector<SongEvent> mEvents; // by time; equal times in file order

  // Replaces the tempo map by one constant tempo, keeping the first signature.
  void overrideTempo(double tempo);
  std::vector<TimedEvent> schedule(double sampleRate) const;
};

// Reads the channel messages and the tempo map of a Standard MIDI File with
// libsmf; system exclusive and meta events other than tempo are left out.
RenderStatus readMidiFile(const std::string& path, MidiSong& song);
