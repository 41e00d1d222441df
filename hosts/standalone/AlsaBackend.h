#pragma once
// Audio through an ALSA playback device on a real-time thread of our own
// (when the system grants one), MIDI through the ALSA sequencer.

#include "AlsaSequencerInput.h"
#include "AudioBackend.h"

#include <alsa/asoundlib.h>
#include <pthread.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class AlsaBackend : public AudioBackend
{
public:
  ~AlsaBackend() override;

  RenderStatus open(const StandaloneOptions& options) override;
  uint32_t sampleRate() const override { return mSampleRate; }
  uint32_t bufferFrames() const override { return mPeriod; }
  std::string description() const override { return "ALSA device '" + mDevice + "'"; }
  RenderStatus start(StandaloneSynth& synth, const StandaloneOptions& options) override;
  void stop() override;
  bool lost() const override { return mLost; }

private:
  RenderStatus configure(uint32_t rate, uint32_t period);
  static void* run(void* self);
  void play();
  bool writePeriod();

  std::string mDevice;
  snd_pcm_t* mPcm = nullptr;
  bool mFloat = true; // else 16-bit
  uint32_t mSampleRate = 0;
  uint32_t mPeriod = 0;
  std::vector<float> mLeft;
  std::vector<float> mRight;
  std::vector<float> mFloatFrames;
  std::vector<int16_t> mShortFrames;
  StandaloneSynth* mSynth = nullptr;
  AlsaSequencerInput mSequencer;
  pthread_t mThread{};
  bool mThreadStarted = false;
  std::atomic<bool> mRunning{false};
  std::atomic<bool> mLost{false};
};
