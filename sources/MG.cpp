#include "MG.h"

namespace
{
constexpr double kHalfCycle = MG::kCycle / 2.0;
// The triangle peaks at 2048/2048.5 just before the turn and reads exactly 1 on
// it; the sawtooth divides by one more than the cycle so it never reaches 1.
constexpr double kTriangleSlope = 0.000488162069807176;
constexpr double kSawSlope = 0.000244081034903588;
} // namespace

void MG::restart()
{
  mBipolar = 0.0;
  mUnipolar = 0.0;
  mFirstHalf = true;
  mPhase = 0.0;
}

void MG::update()
{
  mFirstHalf = mPhase < kHalfCycle;
  setOutputs();
  mPhase += mPhaseInc;
  while (mPhase >= kCycle)
    mPhase -= kCycle;
}

void MG::setRate(double rate)
{
  const double bounded = rate > 0.0 ? (rate < 1.0 ? rate : 1.0) : 0.0;
  mPhaseInc = bounded * kMaxIncrement;
}

void MG::setOutputs()
{
  double u;
  switch (mWaveForm)
  {
  case kTriangle:
    u = mFirstHalf ? mPhase * kTriangleSlope : 1.0 - (mPhase - kHalfCycle) * kTriangleSlope;
    break;
  case kSawDown:
    u = 1.0 - mPhase * kSawSlope;
    break;
  case kSawUp:
    u = mPhase * kSawSlope;
    break;
  case kSquare:
    mUnipolar = mFirstHalf ? 1.0 : 0.0;
    mBipolar = mFirstHalf ? 1.0 : -1.0;
    return;
  default:
    return;
  }
  mUnipolar = u;
  mBipolar = 2.0 * u - 1.0;
}
