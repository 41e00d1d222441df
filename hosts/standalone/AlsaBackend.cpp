#include "AlsaBackend.h"

#include "AlsaQuietErrors.h"
#include "StandaloneSynth.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace
{
constexpr unsigned kChannels = 2;
constexpr unsigned kPeriods = 3;
constexpr int kRealtimePriority = 70;
constexpr float kShortScale = 32767.0f;

struct HardwareParams
{
  HardwareParams() { snd_pcm_hw_params_malloc(&mParams); }
  ~HardwareParams() { snd_pcm_hw_params_free(mParams); }
  HardwareParams(const HardwareParams&) = delete;
  HardwareParams& operator=(const HardwareParams&) = delete;
  snd_pcm_hw_params_t* mParams = nullptr;
};
} // namespace

AlsaBackend::~AlsaBackend()
{
  stop();
  if (mPcm) snd_pcm_close(mPcm);
}

RenderStatus AlsaBackend::open(const StandaloneOptions& options)
{
  mDevice = options.mDevice;
  const int error = [this] {
    AlsaQuietErrors quiet;
    return snd_pcm_open(&mPcm, mDevice.c_str(), SND_PCM_STREAM_PLAYBACK, 0);
  }();
  if (error < 0)
  {
    mPcm = nullptr;
    return audioFailure("the ALSA device '" + mDevice + "' could not be opened (" + snd_strerror(error) +
                        "); choose one of aplay -L with --device, or start a JACK server.");
  }
  return configure(options.mSampleRate, options.mBufferFrames);
}

RenderStatus AlsaBackend::configure(uint32_t rate, uint32_t period)
{
  HardwareParams hw;
  snd_pcm_hw_params_t* params = hw.mParams;
  snd_pcm_uframes_t frames = period;
  snd_pcm_uframes_t buffer = snd_pcm_uframes_t(period) * kPeriods;
  unsigned actualRate = rate;
  snd_pcm_hw_params_any(mPcm, params);
  snd_pcm_hw_params_set_access(mPcm, params, SND_PCM_ACCESS_RW_INTERLEAVED);
  mFloat = snd_pcm_hw_params_set_format(mPcm, params, SND_PCM_FORMAT_FLOAT_LE) == 0;
  const bool configured = (mFloat || snd_pcm_hw_params_set_format(mPcm, params, SND_PCM_FORMAT_S16_LE) == 0) &&
                          snd_pcm_hw_params_set_channels(mPcm, params, kChannels) == 0 &&
                          snd_pcm_hw_params_set_rate_near(mPcm, params, &actualRate, nullptr) == 0 &&
                          snd_pcm_hw_params_set_period_size_near(mPcm, params, &frames, nullptr) == 0 &&
                          snd_pcm_hw_params_set_buffer_size_near(mPcm, params, &buffer) == 0 &&
                          snd_pcm_hw_params(mPcm, params) == 0;
  if (!configured)
    return audioFailure("the ALSA device '" + mDevice +
                        "' does not play stereo float or 16-bit samples at this rate and period; try "
                        "--device default or another --rate and --buffer.");
  mSampleRate = actualRate;
  mPeriod = uint32_t(frames);
  mLeft.assign(mPeriod, 0.0f);
  mRight.assign(mPeriod, 0.0f);
  mFloatFrames.assign(size_t(mPeriod) * kChannels, 0.0f);
  mShortFrames.assign(size_t(mPeriod) * kChannels, 0);
  return {};
}

RenderStatus AlsaBackend::start(StandaloneSynth& synth, const StandaloneOptions& options)
{
  mSynth = &synth;
  if (!mSequencer.start(options.mClientName, options.mMidiIn, synth.sequencerQueue()))
    std::cerr << "tessaryn-standalone: the ALSA sequencer is not available; MIDI comes from the computer keyboard "
                 "only.\n";
  mRunning = true;
  // A real-time thread when the system grants one (the audio group's rtprio
  // limit), an ordinary one otherwise: it plays either way.
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  sched_param priority{};
  priority.sched_priority = kRealtimePriority;
  pthread_attr_setinheritsched(&attributes, PTHREAD_EXPLICIT_SCHED);
  pthread_attr_setschedpolicy(&attributes, SCHED_FIFO);
  pthread_attr_setschedparam(&attributes, &priority);
  mThreadStarted = pthread_create(&mThread, &attributes, run, this) == 0 || pthread_create(&mThread, nullptr, run, this) == 0;
  pthread_attr_destroy(&attributes);
  if (!mThreadStarted) return audioFailure("the audio thread could not be started.");
  return {};
}

void AlsaBackend::stop()
{
  mRunning = false;
  if (mThreadStarted) pthread_join(mThread, nullptr);
  mThreadStarted = false;
  mSequencer.stop();
  if (mPcm) snd_pcm_drop(mPcm);
}

void* AlsaBackend::run(void* self)
{
  static_cast<AlsaBackend*>(self)->play();
  return nullptr;
}

void AlsaBackend::play()
{
  while (mRunning && writePeriod())
  {
  }
  if (mRunning) mLost = true;
}

// One period rendered, interleaved and written, recovering from underruns.
bool AlsaBackend::writePeriod()
{
  mSynth->renderBlock(mLeft.data(), mRight.data(), mPeriod);
  for (uint32_t i = 0; i < mPeriod; ++i)
  {
    mFloatFrames[2 * i] = mLeft[i];
    mFloatFrames[2 * i + 1] = mRight[i];
  }
  if (!mFloat)
    std::transform(mFloatFrames.begin(), mFloatFrames.end(), mShortFrames.begin(),
                   [](float sample) { return int16_t(std::lrint(std::clamp(sample, -1.0f, 1.0f) * kShortScale)); });
  const char* data = mFloat ? reinterpret_cast<const char*>(mFloatFrames.data())
                            : reinterpret_cast<const char*>(mShortFrames.data());
  const size_t frameBytes = (mFloat ? sizeof(float) : sizeof(int16_t)) * kChannels;
  for (snd_pcm_uframes_t written = 0; written < mPeriod;)
  {
    const snd_pcm_sframes_t result = snd_pcm_writei(mPcm, data + written * frameBytes, mPeriod - written);
    if (result >= 0)
      written += snd_pcm_uframes_t(result);
    else if (snd_pcm_recover(mPcm, int(result), 1) < 0)
      return false;
  }
  return true;
}
