#pragma once
// Where a render without a fixed length ends: once the output has stayed
// below -90 dBFS for half a second after the last event, and no later than
// ten seconds after it.

#include <cstdint>

class TailDetector
{
public:
  static constexpr double kSilenceDecibels = -90.0;
  static constexpr double kHoldSeconds = 0.5;
  static constexpr double kMaxSeconds = 10.0;

  TailDetector(double sampleRate, uint64_t lastEventFrame);

  // Looks at `frames` frames of every channel, starting at frame `start`, and
  // returns how many of them belong to the render: all of them unless the
  // tail ends inside the block.
  uint32_t keep(const float* const* channels, uint32_t nChannels, uint64_t start, uint32_t frames);
  bool finished() const { return mFinished; }

private:
  bool isQuiet(const float* const* channels, uint32_t nChannels, uint32_t i) const;

  const float mThreshold;
  const uint64_t mHoldFrames;
  const uint64_t mLastEventFrame;
  const uint64_t mEndAtLatest; // one past the last frame
  uint64_t mQuietFrames = 0;
  bool mFinished = false;
};
