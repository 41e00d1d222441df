#include "TailDetector.h"

#include <cmath>

TailDetector::TailDetector(double sampleRate, uint64_t lastEventFrame)
    : mThreshold(float(std::pow(10.0, kSilenceDecibels / 20.0))),
      mHoldFrames(uint64_t(std::lround(kHoldSeconds * sampleRate))), mLastEventFrame(lastEventFrame),
      mEndAtLatest(lastEventFrame + uint64_t(std::lround(kMaxSeconds * sampleRate)))
{
}

uint32_t TailDetector::keep(const float* const* channels, uint32_t nChannels, uint64_t start, uint32_t frames)
{
  for (uint32_t i = 0; i < frames && !mFinished; ++i)
  {
    const uint64_t frame = start + i;
    if (frame < mLastEventFrame) continue;
    mQuietFrames = isQuiet(channels, nChannels, i) ? mQuietFrames + 1 : 0;
    if (mQuietFrames >= mHoldFrames || frame + 1 >= mEndAtLatest)
    {
      mFinished = true;
      return i + 1;
    }
  }
  return mFinished ? 0 : frames;
}

bool TailDetector::isQuiet(const float* const* channels, uint32_t nChannels, uint32_t i) const
{
  for (uint32_t c = 0; c < nChannels; ++c)
    if (!(std::fabs(channels[c][i]) < mThreshold)) return false;
  return true;
}
