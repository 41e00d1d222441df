#pragma once
// A JACK client "tester" playing the keyboard's part and the speaker's: one
// MIDI output that sends a note on request and one audio input whose peak
// it keeps.

#include <jack/jack.h>

#include <atomic>
#include <string>

class TestJackClient
{
public:
  TestJackClient();
  ~TestJackClient();
  TestJackClient(const TestJackClient&) = delete;
  TestJackClient& operator=(const TestJackClient&) = delete;

  bool connect(const std::string& from, const std::string& to)
  {
    return mClient && jack_connect(mClient, from.c_str(), to.c_str()) == 0;
  }
  bool hasPort(const std::string& name) const { return mClient && jack_port_by_name(mClient, name.c_str()); }
  // Middle C, velocity 100, at the start of the next block.
  void playNote() { mPlayNote = true; }
  // The input's peak since the last call.
  float takePeak() { return mPeak.exchange(0.0f); }
  // Waits until the input's peak exceeds level, playing the note again and
  // again meanwhile when asked: on a loaded machine a client can miss a
  // block, and the block's MIDI with it. False after ten seconds.
  bool waitForSound(float level, bool replayNote);

private:
  static int process(jack_nframes_t frames, void* self);

  jack_client_t* mClient = nullptr;
  jack_port_t* mMidi = nullptr;
  jack_port_t* mInput = nullptr;
  std::atomic<bool> mPlayNote{false};
  std::atomic<float> mPeak{0.0f};
};
