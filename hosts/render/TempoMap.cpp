#include "TempoMap.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double kSecondsPerMinute = 60.0;
constexpr double kBeatsPerWhole = 4.0;
} // namespace

TempoMap::TempoMap(double tempo, int numerator, int denominator) : mSegments{{0.0, 0.0, tempo, numerator, denominator}}
{
}

void TempoMap::addChange(double beat, double tempo, int numerator, int denominator)
{
  const double seconds = secondsAt(beat);
  // A change at the same beat replaces the one before, as the later word on that instant.
  if (mSegments.back().mBeat == beat) mSegments.pop_back();
  mSegments.push_back({beat, seconds, tempo, numerator, denominator});
}

double TempoMap::secondsAt(double beat) const
{
  auto after = std::upper_bound(mSegments.begin() + 1, mSegments.end(), beat,
                                [](double b, const TempoSegment& segment) { return b < segment.mBeat; });
  const TempoSegment& segment = *(after - 1);
  return segment.mSeconds + (beat - segment.mBeat) * kSecondsPerMinute / segment.mTempo;
}

const TempoSegment& TempoMap::segmentAtSeconds(double seconds) const
{
  auto after = std::upper_bound(mSegments.begin() + 1, mSegments.end(), seconds,
                                [](double s, const TempoSegment& segment) { return s < segment.mSeconds; });
  return *(after - 1);
}

double TempoMap::beatAt(double seconds) const
{
  const TempoSegment& segment = segmentAtSeconds(seconds);
  return segment.mBeat + (seconds - segment.mSeconds) * segment.mTempo / kSecondsPerMinute;
}

HostTransport TempoMap::transportAt(uint64_t frame, double sampleRate) const
{
  const double seconds = double(frame) / sampleRate;
  const TempoSegment& segment = segmentAtSeconds(seconds);
  const double beat = beatAt(seconds);
  // Bars are counted from the signature's change, where a new bar begins.
  const double barBeats = segment.mNumerator * kBeatsPerWhole / segment.mDenominator;
  const double barsIn = std::floor((beat - segment.mBeat) / barBeats);

  HostTransport transport;
  transport.mTempo = segment.mTempo;
  transport.mBeat = beat;
  transport.mSamplePosition = double(frame);
  transport.mPlaying = true;
  transport.mNumerator = float(segment.mNumerator);
  transport.mDenominator = uint32_t(segment.mDenominator);
  transport.mDownBeat = segment.mBeat + barsIn * barBeats;
  const double toNextBeat = std::ceil(beat) - beat;
  transport.mSamplesToNextBeat = uint32_t(std::lround(toNextBeat * kSecondsPerMinute / segment.mTempo * sampleRate));
  return transport;
}
