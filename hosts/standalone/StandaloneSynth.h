#pragma once
// The instrument as the standalone plays it: opened through the host model at
// the audio backend's rate, fed with MIDI from the backend, the computer
// keyboard and the demo, rendered block by block on the audio thread.

#include "DemoPlayer.h"
#include "MidiEvent.h"
#include "SongRenderer.h"
#include "SpscQueue.h"

#include <memory>
#include <string>
#include <vector>

class StandaloneSynth
{
public:
  static constexpr uint32_t kChannels = 2;
  static constexpr size_t kQueueSize = 1024;
  using MidiQueue = SpscQueue<MidiEvent, kQueueSize>;

  // --- Control thread, before the audio starts.
  RenderStatus open(Component component, uint32_t sampleRate, uint32_t maxFrames);
  // A program number or name from the factory list.
  RenderStatus selectProgram(const std::string& program);
  void playDemo(uint32_t sampleRate);

  // --- Control thread, any time.
  // False when the bytes are not a state of this instrument; it plays on unchanged then.
  bool loadState(const std::vector<uint8_t>& bytes);
  bool saveState(std::vector<uint8_t>& bytes) const;
  // Every program, through the instrument's own bank files; false when it
  // rejects the file (changing nothing) or cannot write it.
  bool loadBank(const std::string& path);
  bool saveBank(const std::string& path);
  // "5 Name" for messages.
  std::string currentProgram() const;
  // The host's worker duty: run regularly on a non-audio thread.
  void performPendingWork();
  HostModel& host() { return mSetup.host(); }

  // --- One producer thread each: the window's keyboard and the ALSA sequencer.
  MidiQueue& keyboardQueue() { return mKeyboard; }
  MidiQueue& sequencerQueue() { return mSequencer; }

  // --- Audio thread: no lock, no allocation.
  void receiveMidi(const MidiEvent& event, uint32_t offset);
  void renderBlock(float* left, float* right, uint32_t frames);

private:
  void drain(MidiQueue& queue);

  SongRenderer mSetup;
  std::unique_ptr<DemoPlayer> mDemo;
  MidiQueue mKeyboard;
  MidiQueue mSequencer;
};
