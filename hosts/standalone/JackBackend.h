#pragma once
// Audio and MIDI through a running JACK server: two audio outputs connected
// to the system's playback ports and one MIDI input. Never starts a server.

#include "AudioBackend.h"

#include <jack/jack.h>

#include <atomic>
#include <cstdint>
#include <string>

class JackBackend : public AudioBackend
{
public:
  ~JackBackend() override;

  RenderStatus open(const StandaloneOptions& options) override;
  uint32_t sampleRate() const override;
  uint32_t bufferFrames() const override;
  std::string description() const override;
  RenderStatus start(StandaloneSynth& synth, const StandaloneOptions& options) override;
  void stop() override;
  bool lost() const override { return mLost; }

private:
  static int process(jack_nframes_t frames, void* self);
  static void shutdown(void* self);
  int writeSilence(jack_nframes_t frames);
  void waitForAQuietCycle() const;
  void connectOutputs();
  void connectMidi(const std::string& wanted);

  jack_client_t* mClient = nullptr;
  jack_port_t* mLeft = nullptr;
  jack_port_t* mRight = nullptr;
  jack_port_t* mMidi = nullptr;
  StandaloneSynth* mSynth = nullptr;
  bool mActive = false;
  std::atomic<bool> mLost{false};
  // Set before deactivating: the callback then only writes silence and
  // counts its quiet cycles.
  std::atomic<bool> mQuiet{false};
  std::atomic<uint32_t> mQuietCycles{0};
};
