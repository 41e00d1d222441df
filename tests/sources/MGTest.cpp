#include "MG.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

namespace
{
// Advances the phase by exactly 32 steps per update, so phases 0, 1024, 2048
// and 3072 are met exactly at updates 1, 33, 65 and 97.
const double kExactRate = 32.0 / MG::kMaxIncrement;
constexpr double kTicksPerSecond = 1000.0;

MG generator(int waveForm, double rate)
{
  MG mg;
  mg.setWaveForm(waveForm);
  mg.setRate(rate);
  return mg;
}

} // namespace

TEST(ModulationGenerator, EachWaveHasItsShapeAroundTheCycle)
{
  struct Case
  {
    int waveForm;
    double unipolar[4]; // at phase 0, 1024, 2048, 3072
  };
  const Case cases[] = {
      {MG::kTriangle, {0.0, 1024 / 2048.5, 1.0, 1 - 1024 / 2048.5}},
      {MG::kSawDown, {1.0, 1 - 1024 / 4097.0, 1 - 2048 / 4097.0, 1 - 3072 / 4097.0}},
      {MG::kSawUp, {0.0, 1024 / 4097.0, 2048 / 4097.0, 3072 / 4097.0}},
      {MG::kSquare, {1.0, 1.0, 0.0, 0.0}},
  };
  for (const Case& c : cases)
  {
    MG mg = generator(c.waveForm, kExactRate);
    for (int quarter = 0; quarter < 4; ++quarter)
    {
      SCOPED_TRACE(testing::Message() << "wave " << c.waveForm << " quarter " << quarter);
      for (int i = 0; i < (quarter == 0 ? 1 : 32); ++i)
        mg.update();
      EXPECT_NEAR(mg.unipolar(), c.unipolar[quarter], 1e-12);
      EXPECT_NEAR(mg.bipolar(), 2 * c.unipolar[quarter] - 1, 1e-12);
      EXPECT_EQ(mg.firstHalf(), quarter < 2);
    }
  }
}

TEST(ModulationGenerator, RateSetsTheFrequencyAtControlTickSpeed)
{
  // Hertz at 1000 updates a second; rate 0 is a stopped clock.
  for (auto [rate, hertz] : {std::pair{1.0, 30.0}, {0.0, 0.0}})
  {
    SCOPED_TRACE(rate);
    MG mg = generator(MG::kTriangle, rate);
    const int seconds = 10;
    // The cycle starts the arpeggiator clock would see: firstHalf turning true.
    int starts = 0;
    for (int i = 0; i < seconds * kTicksPerSecond; ++i)
    {
      const bool wasFirstHalf = mg.firstHalf();
      mg.update();
      starts += mg.firstHalf() && !wasFirstHalf;
    }
    EXPECT_NEAR(starts, hertz * seconds, 1.0);
    EXPECT_GE(mg.phase(), 0.0);
    EXPECT_LT(mg.phase(), MG::kCycle);
  }
}

TEST(ModulationGenerator, AnUnknownWaveHoldsTheOutputsWhileThePhaseRuns)
{
  MG mg = generator(MG::kTriangle, kExactRate);
  for (int i = 0; i < 20; ++i)
    mg.update();
  const double unipolar = mg.unipolar();
  mg.setWaveForm(7);
  mg.update();
  EXPECT_EQ(mg.unipolar(), unipolar);
  EXPECT_EQ(mg.phase(), 21 * 32.0);
}

TEST(ModulationGenerator, RatesOutsideTheRangeAreHeldToIt)
{
  for (auto [rate, phaseAfterOneUpdate] : {std::pair{-0.5, 0.0},
                                           {std::numeric_limits<double>::quiet_NaN(), 0.0},
                                           {std::numeric_limits<double>::infinity(), MG::kMaxIncrement}})
  {
    SCOPED_TRACE(rate);
    MG mg = generator(MG::kTriangle, rate);
    mg.update();
    EXPECT_EQ(mg.phase(), phaseAfterOneUpdate);
  }
}
