#pragma once
// A song's tempo and time signature over time: beats (quarter notes) to
// seconds and back, and the transport a host reports at a given frame.

#include "HostModel.h"

#include <vector>

struct TempoSegment
{
  double mBeat = 0.0;
  double mSeconds = 0.0;
  double mTempo = 120.0; // quarter notes per minute
  int mNumerator = 4;
  int mDenominator = 4;
};

class TempoMap
{
public:
  explicit TempoMap(double tempo = 120.0, int numerator = 4, int denominator = 4);

  // Changes from `beat` on; beats must not decrease from one call to the next.
  void addChange(double beat, double tempo, int numerator, int denominator);

  double secondsAt(double beat) const;
  double beatAt(double seconds) const;
  const TempoSegment& segmentAtSeconds(double seconds) const;
  const std::vector<TempoSegment>& segments() const { return mSegments; }

  // Playing, at `frame` of a render at `sampleRate`.
  HostTransport transportAt(uint64_t frame, double sampleRate) const;

private:
  std::vector<TempoSegment> mSegments; // never empty, ordered by beat
};
