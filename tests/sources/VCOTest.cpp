#include "VCO.h"
#include "PhaseIncrementTable.h"
#include "PitchScale.h"
#include "WaveTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <thread>
#include <tuple>
#include <utility>

namespace
{
class Oscillator : public ::testing::Test
{
protected:
  Oscillator() { vco.synth = &scale; }

  PitchScale scale;
  VCO vco;
};

// Amplitude of harmonic k in one table cycle, by a single DFT bin.
double harmonicLevel(const double* table, int k)
{
  double re = 0.0, im = 0.0;
  for (int i = 0; i < WaveTables::kTableSize; ++i)
  {
    const double x = 2.0 * std::numbers::pi * k * i / WaveTables::kTableSize;
    re += table[i] * std::cos(x);
    im += table[i] * std::sin(x);
  }
  return 2.0 * std::hypot(re, im) / WaveTables::kTableSize;
}
} // namespace

// Every table holds its harmonics at the tapered 1/k (sawtooth) or 1/k^2
// (triangle, odd only) levels and nothing above its count, so the table an
// oscillator picks for its pitch keeps every partial below Nyquist.
TEST(WaveTables, EachTableHoldsThePromisedLevelsAndNoPartialAboveItsCount)
{
  const WaveTables& waves = WaveTables::shared();
  for (auto set : {WaveTables::kSawtoothSet, WaveTables::kTriangleSet})
    for (int t = 0; t < WaveTables::kNumTables; ++t)
    {
      const bool triangle = set == WaveTables::kTriangleSet;
      const int count = WaveTables::harmonicCount(t);
      auto promised = [&](int k)
      {
        if (triangle && k % 2 == 0) return 0.0;
        const double w = count == 1 ? 1.0 : 0.54 + 0.46 * std::cos((k - 1) * (std::numbers::pi / 2) / (count - 1));
        return triangle ? std::numbers::sqrt2 / 2 * w / (double(k) * k) : 0.5 * w / k;
      };
      // Harmonic 2048 of the richest sawtooth is a sine sampled at its zeros.
      double promisedPower = 0.0;
      for (int k = 1; k <= count && k < WaveTables::kTableSize / 2; ++k)
        promisedPower += promised(k) * promised(k) / 2;
      const double* table = waves.get(set, t);
      double power = 0.0;
      for (int i = 0; i < WaveTables::kTableSize; ++i)
        power += table[i] * table[i] / WaveTables::kTableSize;
      // All the power lies in the promised harmonics: none is left above them.
      EXPECT_NEAR(power, promisedPower, 1e-12) << "set " << set << " table " << t;
      for (int k : {1, count, count + 1, count + 2})
      {
        if (k >= WaveTables::kTableSize / 2) continue;
        EXPECT_NEAR(harmonicLevel(table, k), k <= count ? promised(k) : 0.0, 1e-12)
            << "set " << set << " table " << t << " harmonic " << k;
      }
    }
}

TEST(WaveTables, OscillatorsBuiltOnTwoThreadsAtOnceShareOneBuildAndKeepTheirRates)
{
  PitchScale scale;
  const double rates[2] = {48000.0, 96000.0};
  const double* tables[2] = {};
  uint32_t increments[2] = {};
  auto open = [&](int i)
  {
    VCO vco;
    vco.synth = &scale;
    vco.setSampleRate(rates[i]);
    vco.update(0.0);
    tables[i] = vco.table;
    increments[i] = vco.phaseInc;
  };
  std::thread a(open, 0);
  std::thread b(open, 1);
  a.join();
  b.join();
  // Note 30 strides 3 table samples at 48 kHz and 1 at 96 kHz.
  EXPECT_EQ(tables[0], WaveTables::shared().get(WaveTables::kTriangleSet, 4));
  EXPECT_EQ(tables[1], WaveTables::shared().get(WaveTables::kTriangleSet, 0));
  EXPECT_EQ(increments[0], 2 * increments[1] + (increments[0] & 1));
}

TEST(PhaseIncrementTable, SaturatesInsteadOfOverflowingAtTinyRates)
{
  EXPECT_EQ(PhaseIncrementTable::forSampleRate(100.0)[PitchScale::kMaxPitch], std::numeric_limits<uint32_t>::max());
}

TEST_F(Oscillator, IgnoresUnusableSampleRates)
{
  for (double rate : {0.0, -48000.0, std::numeric_limits<double>::quiet_NaN()})
  {
    vco.setSampleRate(rate);
    EXPECT_EQ(vco.sampleRate, VCO::kDefaultSampleRate);
  }
}

TEST_F(Oscillator, ChoosesTheBandLimitFromTheIncrement)
{
  const std::tuple<int, double, int, int> cases[] = {
      {69, 0, 11, 12}, // A4: 45 harmonics, the top one at 19.8 kHz
      {17, 0, 3, 4},   // a stride of 2 samples: 2 * 0.7071067811865476^2 is just above 1
      {127, 20000, 21, 21},
  };
  const WaveTables& waves = WaveTables::shared();
  vco.waveForm = VCO::kSawtooth;
  for (const auto& [note, mod, table, tableBL] : cases)
  {
    vco.setNote(note, 0);
    vco.update(mod);
    EXPECT_EQ(vco.table, waves.get(WaveTables::kSawtoothSet, table)) << "note " << note;
    EXPECT_EQ(vco.tableBL, waves.get(WaveTables::kSawtoothSet, tableBL)) << "note " << note;
    const double hz = vco.phaseInc * VCO::kDefaultSampleRate / (1 << 28);
    EXPECT_LT(WaveTables::harmonicCount(table) * hz, VCO::kDefaultSampleRate / 2) << "note " << note;
  }
}

TEST_F(Oscillator, ClampsPitchesOutsideTheTableToItsEnds)
{
  const uint32_t* increments = vco.freq2PhInc;
  for (auto [mod, increment] : {std::pair{-9000.0, increments[0]},
                                {20000.0, increments[PitchScale::kMaxPitch]},
                                {std::numeric_limits<double>::quiet_NaN(), increments[3840]}})
  {
    vco.update(mod);
    EXPECT_EQ(vco.phaseInc, increment) << "mod " << mod;
  }
}

TEST_F(Oscillator, StaysSilentAndStillUntilTheInstrumentAttachesItself)
{
  vco.synth = nullptr;
  vco.setNote(69, 0);
  vco.update(0.0);
  EXPECT_EQ(vco.note, VCO::kInitialNote);
  EXPECT_EQ(vco.phaseInc, 0u);
  EXPECT_EQ(vco.out(), 0.0);
  EXPECT_EQ(vco.outBL(), 0.0);
}

TEST_F(Oscillator, SlowGlidesOverSmallIntervalsNeitherStallNorOvershoot)
{
  for (int target : {29, 31})
  {
    vco.portamento = 0.0;
    vco.setNote(30, 0);
    vco.portamento = 2.0;
    vco.setNote(target, 0);
    const int low = std::min(30, target) * 128, high = std::max(30, target) * 128;
    for (int tick = 0; tick < 1000; ++tick)
    {
      vco.update(0.0);
      ASSERT_GE(vco.currentPitch, low);
      ASSERT_LE(vco.currentPitch, high);
    }
    EXPECT_NEAR(vco.currentPitch, 30 * 128 + (target - 30) * 128 * 0.75, 1.0) << "halfway to " << target;
    for (int tick = 0; tick < 1000; ++tick)
      vco.update(0.0);
    EXPECT_EQ(vco.currentPitch, target * 128);
  }
}

TEST_F(Oscillator, PlaysTheRightPitchAwayFromTheDefaultRate)
{
  vco.setSampleRate(96000.0);
  vco.waveForm = VCO::kTriangle;
  vco.setNote(93, 0);
  // Upward zero crossings over one second, with a control tick every millisecond.
  int crossings = 0;
  double last = vco.out();
  for (int i = 0; i < 96000; ++i)
  {
    if (i % 96 == 0) vco.update(0.0);
    const double v = vco.out();
    crossings += last < 0.0 && v >= 0.0;
    last = v;
    vco.next();
  }
  EXPECT_NEAR(crossings, 1760.0, 1.0);
}

TEST_F(Oscillator, PulseWavesReadTwoPhasesApartByTheWidthAndAMissingSourceCountsAsZero)
{
  double source = 0.0;
  vco.pwmSource = &source;
  vco.pwmAmount = 0.5;
  vco.pulseWidth = 0.25;
  vco.phase = 0x0F000000;
  for (auto [wave, value, distance] : {std::tuple{VCO::kPwm, 2.0, 0u}, // beyond full depth: silent, not clipped
                                       {VCO::kPwm, -0.5, 0u},          // negative source: silent
                                       {VCO::kPw, 0.0, 1u << 26}})     // fixed width 0.25
  {
    vco.waveForm = wave;
    source = value;
    vco.update(0.0);
    EXPECT_EQ((vco.phase2 - vco.phase) & VCO::kPhaseMask, distance) << "wave " << wave << " source " << value;
  }
  vco.pwmSource = nullptr; // read as zero: a square
  vco.waveForm = VCO::kPwm;
  vco.update(0.0);
  EXPECT_EQ((vco.phase2 - vco.phase) & VCO::kPhaseMask, 1u << 27);
}

TEST_F(Oscillator, SyncRestartKeepsTheDistanceBetweenThePhases)
{
  vco.waveForm = VCO::kPw;
  vco.pulseWidth = 0.3;
  vco.setNote(60, 0);
  vco.update(0.0);
  const uint32_t distance = (vco.phase2 - vco.phase) & VCO::kPhaseMask;
  // The second: a master at pitch 0.
  for (auto [fraction, phase] : {std::pair{1000.0, 7680000u}, {std::numeric_limits<double>::infinity(), 0u}})
  {
    vco.restart(fraction);
    EXPECT_EQ(vco.phase, phase) << "fraction " << fraction;
    EXPECT_EQ((vco.phase2 - vco.phase) & VCO::kPhaseMask, distance);
  }
}
