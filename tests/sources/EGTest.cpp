#include "EG.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace
{
constexpr double kSampleRate = 48000.0;
constexpr int kGiveUp = 2000000; // beyond the slowest stage at the fastest rate

// Updates until done() holds; returns the number of updates taken.
int updatesUntil(EG& eg, const std::function<bool(const EG&)>& done)
{
  int n = 0;
  for (; !done(eg) && n < kGiveUp; ++n)
    eg.update();
  return n;
}

const auto leftAttack = [](const EG& eg) { return eg.stage() != EG::kAttack; };
const auto idle = [](const EG& eg) { return !eg.isOn(); };

EG envelope(double attack, double decay, double sustain, double release, double rate = kSampleRate)
{
  EG eg;
  eg.reset(rate);
  eg.setAttack(attack);
  eg.setDecay(decay);
  eg.setSustain(sustain);
  eg.setRelease(release);
  return eg;
}

// Updates a copy of the envelope takes for a whole attack from 0.
int fullAttack(EG eg)
{
  eg.start();
  return updatesUntil(eg, leftAttack);
}

// Updates a copy of the envelope takes for a whole release from the top.
int fullRelease(EG eg)
{
  eg.start();
  updatesUntil(eg, leftAttack);
  eg.stop();
  return updatesUntil(eg, idle);
}

// Releases a fresh envelope in the middle of its attack and takes one step
// down; returns the level.
double releaseDuringAttackAt(EG& eg, double level)
{
  eg.start();
  updatesUntil(eg, [level](const EG& e) { return e.value() >= level; });
  EXPECT_EQ(eg.stage(), EG::kAttack);
  const double peak = eg.value();
  eg.stop();
  eg.update();
  EXPECT_EQ(eg.stage(), EG::kRelease);
  EXPECT_LT(eg.value(), peak);
  return eg.value();
}
} // namespace

TEST(EnvelopeGenerator, EachStageTakesItsSettingsTimeAtAnyUpdateRate)
{
  // The setting, the seconds it takes to cover 90 % of the stage, and the update rate.
  const std::tuple<double, double, double> cases[] = {
      {0.0, 0.0049, kSampleRate},
      {0.5, 1.87, kSampleRate},
      {1.0, 19.5, kSampleRate},
      {0.25, 0.100, 1000.0},
  };
  for (const auto& [setting, seconds, updatesPerSecond] : cases)
  {
    SCOPED_TRACE(testing::Message() << "setting " << setting << " at " << updatesPerSecond << "/s");
    const double expected = seconds * updatesPerSecond;
    const double tolerance = 0.04 * expected + 1;

    EG eg = envelope(setting, setting, 0.0, setting, updatesPerSecond);
    EXPECT_NEAR(fullAttack(eg), expected, tolerance) << "attack";
    EXPECT_NEAR(fullRelease(envelope(0.0, 0.0, 1.0, setting, updatesPerSecond)), expected, tolerance) << "release";
    eg.start();
    updatesUntil(eg, leftAttack);
    EXPECT_EQ(eg.value(), 1.0);
    EXPECT_NEAR(updatesUntil(eg, [](const EG& e) { return e.value() <= 0.1; }), expected, tolerance) << "decay";
    EXPECT_EQ(eg.stage(), EG::kDecay);
  }
}

TEST(EnvelopeGenerator, RetriggerRisesFromThePresentLevel)
{
  EG eg = envelope(0.25, 0.0, 0.0, 0.5);
  const int fromZero = fullAttack(eg);
  const double released = releaseDuringAttackAt(eg, 0.6);
  ASSERT_GT(released, 0.55);

  eg.start();
  EXPECT_EQ(eg.stage(), EG::kAttack);
  eg.update();
  EXPECT_GT(eg.value(), released);
  EXPECT_LT(updatesUntil(eg, leftAttack), fromZero * 3 / 4);
  EXPECT_EQ(eg.value(), 1.0);
}

TEST(EnvelopeGenerator, ReleaseDuringAttackFallsFromWhereTheAttackWas)
{
  EG eg = envelope(0.5, 0.0, 1.0, 0.25);
  const int fromTop = fullRelease(eg);
  releaseDuringAttackAt(eg, 0.5);
  EXPECT_LT(updatesUntil(eg, idle), fromTop);
  EXPECT_EQ(eg.value(), 0.0);
}

TEST(EnvelopeGenerator, AMeaninglessUpdateRateKeepsThePreviousTimeScale)
{
  const int expected = fullAttack(envelope(0.25, 0.0, 0.0, 0.0, 1000.0));

  for (double rate : {0.0, -48000.0})
  {
    SCOPED_TRACE(rate);
    EG eg = envelope(0.25, 0.0, 0.0, 0.0, 1000.0);
    eg.reset(rate);
    EXPECT_EQ(fullAttack(eg), expected);
  }
}

TEST(EnvelopeGenerator, AtVeryLowUpdateRatesAStageLandsOnItsTargetWithoutOvershoot)
{
  EG eg = envelope(0.0, 0.0, 0.4, 0.0, 50.0);
  eg.start();
  eg.update();
  EXPECT_EQ(eg.stage(), EG::kDecay);
  EXPECT_EQ(eg.value(), 1.0);
  eg.update();
  EXPECT_DOUBLE_EQ(eg.value(), 0.4);
  eg.stop();
  eg.update();
  EXPECT_EQ(eg.value(), 0.0);
}
