#pragma once
// MIDI from the ALSA sequencer for the ALSA backend: a port of ours that
// other clients connect to, connected at start to the readable ports the
// user names. Its thread hands channel messages to the audio thread through
// a lock-free queue.

#include "StandaloneSynth.h"

#include <alsa/asoundlib.h>

#include <atomic>
#include <string>
#include <thread>

class AlsaSequencerInput
{
public:
  ~AlsaSequencerInput();

  // Control thread. False when there is no sequencer; the instrument plays on
  // with the computer keyboard then.
  bool start(const std::string& clientName, const std::string& wanted, StandaloneSynth::MidiQueue& queue);
  void stop();

private:
  void connectSources(const std::string& wanted);
  void run();
  void readPending(snd_midi_event_t* decoder);

  snd_seq_t* mSequencer = nullptr;
  int mPort = -1;
  StandaloneSynth::MidiQueue* mQueue = nullptr;
  std::atomic<bool> mRunning{false};
  std::thread mThread;
};
