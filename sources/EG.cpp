#include "EG.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double kLn10 = 2.302585092994046;
constexpr double kAttackTarget = 10.0 / 9.0;
constexpr double kReleaseTarget = -1.0 / 9.0;
} // namespace

void EG::reset(double updatesPerSecond)
{
  // A zero or negative rate would make every coefficient infinite or negative;
  // the previous time scale is the only meaningful one then.
  if (updatesPerSecond > 0.0) mTimeScale = kLn10 / updatesPerSecond;
  mStage = kIdle;
  mValue = 0.0;
}

void EG::start()
{
  enter(kAttack, kAttackTarget, mAttack);
}

void EG::stop()
{
  enter(kRelease, kReleaseTarget, mRelease);
}

void EG::update()
{
  if (mStage == kIdle) return;
  mValue += (mTarget - mValue) * mCoeff;
  if (mStage == kAttack)
  {
    if (mValue >= 1.0)
    {
      mValue = 1.0;
      enter(kDecay, mSustain, mDecay);
    }
  }
  else if (mValue <= 0.0)
  {
    mValue = 0.0;
    mStage = kIdle;
  }
}

void EG::setAttack(double attack)
{
  mAttack = attack;
  if (mStage == kAttack) mCoeff = timeCoefficient(attack);
}

void EG::setDecay(double decay)
{
  mDecay = decay;
  if (mStage == kDecay) mCoeff = timeCoefficient(decay);
}

void EG::setSustain(double sustain)
{
  mSustain = sustain;
  if (mStage == kDecay) mTarget = sustain;
}

void EG::setRelease(double release)
{
  mRelease = release;
  if (mStage == kRelease) mCoeff = timeCoefficient(release);
}

// Setting 0..1 spans about 5 ms to 20 s for 90 % of a stage. Capped at one
// whole step: at very low update rates a larger share would overshoot the
// target and, beyond two, swing ever wider.
double EG::timeCoefficient(double setting) const
{
  return std::min((std::pow(5.0, 3.3 - 7.5 * setting) + 0.05) * mTimeScale, 1.0);
}

void EG::enter(Stage stage, double target, double setting)
{
  mStage = stage;
  mTarget = target;
  mCoeff = timeCoefficient(setting);
}
