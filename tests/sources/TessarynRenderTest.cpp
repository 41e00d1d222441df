#include "BusyProgram.h"
#include "TessarynRig.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cmath>
#include <thread>
#include <tuple>
#include <xmmintrin.h>

namespace
{
using T = Tessaryn;

bool silent(const std::vector<double>& samples, size_t from = 0, size_t to = SIZE_MAX)
{
  to = std::min(to, samples.size());
  for (size_t i = from; i < to; ++i)
    if (samples[i] != 0.0) return false;
  return true;
}

TEST(TessarynRender, NoteOnTakesEffectAtTheFirstControlTickAtOrAfterItsOffset)
{
  // Ticks fall every 48 samples.
  for (auto [offset, firstSound] : {std::pair{30, 48}, {96, 96}, {200, 240}})
  {
    TessarynRig rig;
    rig.ticks(); // settle pending parameters; the next block starts with a tick
    rig.noteOn(60, 127, offset);
    const Stereo out = rig.render(320);
    EXPECT_TRUE(silent(out.left, 0, firstSound)) << "offset " << offset;
    EXPECT_FALSE(silent(out.left, firstSound, firstSound + 48)) << "offset " << offset;
  }
}

TEST(TessarynRender, OutRangeOffAndVolumeZeroSilenceExactlyWhileOscillatorsRunOn)
{
  for (auto [param, value] : {std::pair{T::kOutRange, 2.0}, std::pair{T::kVolume, 0.0}})
  {
    TessarynRig rig;
    rig.set(param, value);
    rig.noteOn(60);
    rig.ticks();
    const double level = rig.synth.eg2.value();
    const uint32_t phase = rig.synth.vco[0].phase;
    EXPECT_TRUE(silent(rig.render(256).left));
    EXPECT_EQ(rig.synth.eg2.value(), level) << "the envelope stands still";
    EXPECT_NE(rig.synth.vco[0].phase, phase) << "the oscillators run on";
  }
}

// Target, effects, FX mode (0 Double, 1 Single) and the oscillators bent.
const std::tuple<int, bool, int, std::array<bool, 4>> kRoutes[] = {
    {T::kTargetSlaveVco, false, 1, {true, false, false, false}},
    {T::kTargetSlaveVco, true, 0, {false, true, false, true}},
    {T::kTargetSlaveVco, true, 1, {false, true, true, true}},
    {T::kTargetPitch, true, 0, {true, true, true, true}},
};

TEST(TessarynModulation, PitchBendReachesItsTarget)
{
  for (const auto& [target, effects, fxMode, bent] : kRoutes)
  {
    TessarynRig rig;
    rig.set({{T::kPBTarget, target}, {T::kPBIntens, 1.0}, {T::kEffects, effects}, {T::kFXMode, fxMode}});
    rig.noteOn(60);
    rig.ticks();
    rig.message(0xE0, 0, 0x60); // bend up
    rig.ticks();
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(rig.synth.pitchMod[k] > 100.0, bent[k])
          << "target " << target << " fx " << effects << " mode " << fxMode << " VCO" << k + 1;
  }
}

// The wheel takes the bend's routes; only its source differs.
TEST(TessarynModulation, ModWheelReachesItsTargetThroughMG1)
{
  TessarynRig rig;
  // A square MG1 is bipolar +1 in its first half.
  rig.set({{T::kMWTarget, T::kTargetSlaveVco}, {T::kMWIntens, 1.0}, {T::kMG1Wave, MG::kSquare}});
  rig.noteOn(60);
  rig.message(0xB0, IMidiMsg::kModWheel, 127);
  rig.ticks(2);
  EXPECT_GT(rig.synth.pitchMod[0], 100.0);
  EXPECT_LT(rig.synth.pitchMod[1], 100.0);
}

TEST(TessarynModulation, VcfTargetsMoveTheCutoff)
{
  TessarynRig plain, bent;
  for (TessarynRig* rig : {&plain, &bent})
  {
    rig->set({{T::kPBTarget, T::kTargetVcf}, {T::kPBIntens, 1.0}, {T::kCutOff, 0.3}});
    rig->noteOn(60);
  }
  bent.message(0xE0, 0, 0x60);
  plain.ticks(3);
  bent.ticks(3);
  EXPECT_NE(plain.render(64).left, bent.render(64).left);
}

TEST(TessarynModulation, EffectsFmReachesOnlyTheSlaves)
{
  for (int fxMode : {0, 1})
  {
    TessarynRig rig;
    // FM source 1: the VCF EG
    rig.set({{T::kEffects, 1}, {T::kFXMode, fxMode}, {T::kFXFM, 1000}, {T::kFXFMSrc, 1}, {T::kEG1S, 1.0}});
    rig.noteOn(60);
    rig.ticks(50);
    const std::array<bool, 4> expected{false, true, fxMode == 1, true};
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(rig.synth.pitchMod[k] > 500.0, expected[k]) << "mode " << fxMode << " VCO" << k + 1;
  }
}

TEST(TessarynEffects, HardSyncRestartsSlavesWhenTheirMasterWraps)
{
  for (int fxMode : {0, 1})
  {
    TessarynRig rig;
    // FX type 0: Sync
    rig.set({{T::kEffects, 1}, {T::kFXType, 0}, {T::kFXMode, fxMode}, {T::kTune2, 20}, {T::kTune4, 30}});
    rig.noteOn(45);
    rig.ticks(2);
    TessarynProbe& s = rig.synth;
    // In Single mode VCO1 drives VCO4 too.
    const VCO& master4 = s.vco[fxMode == 1 ? 0 : 2];
    const auto restartedBy = [](const VCO& slave, const VCO& master)
    {
      return slave.phase ==
             (static_cast<uint32_t>(slave.pitch * (double(master.phase) / master.pitch)) & VCO::kPhaseMask);
    };
    int restarts = 0;
    for (int i = 0; i < 4000; ++i)
    {
      const uint32_t before0 = s.vco[0].phase, before4 = master4.phase;
      s.next();
      const bool wrapped = s.vco[0].phase < before0;
      restarts += wrapped;
      EXPECT_TRUE(!wrapped || restartedBy(s.vco[1], s.vco[0]));
      EXPECT_TRUE(master4.phase >= before4 || restartedBy(s.vco[3], master4));
    }
    EXPECT_GT(restarts, 5);
  }
}

TEST(TessarynRates, InstancesAtDifferentRatesKeepTheirOwnFilterTables)
{
  TessarynRig a(44100.0), b(48000.0);
  const int index = 8832; // A4, 440 Hz
  EXPECT_DOUBLE_EQ(a.synth.freq2rad[index], 6.283185307179586 * PitchScale::convert2Hz(index) / 44100.0);
  EXPECT_DOUBLE_EQ(b.synth.freq2rad[index], 6.283185307179586 * PitchScale::convert2Hz(index) / 48000.0);
}

TEST(TessarynRender, RenderLeavesTheCallersFloatingPointModeAsFound)
{
  TessarynRig rig;
  const unsigned before = _mm_getcsr();
  rig.noteOn(60);
  rig.render(256);
  EXPECT_EQ(_mm_getcsr(), before);
}

TEST(TessarynMidi, LearnedControllersSetTheirParameterInNormalisedUnits)
{
  TessarynRig rig;
  rig.synth.doMidiLearn(true);
  rig.synth.setMidiLearnCC(7);
  rig.synth.setMidiLearnParam(T::kOutRange);
  // OutRange "Low" is 1.0 in its own units; full controller means "Off".
  rig.message(0xB0, 7, 127);
  rig.ticks();
  EXPECT_EQ(rig.synth.GetParam(T::kOutRange)->Int(), 2);
}

TEST(TessarynThreads, ParameterChangesWhileRenderingAreSafe)
{
  TessarynRig rig;
  for (const BusySetting& setting : kBusyProgram)
    rig.set(setting.mParam, setting.mValue);
  std::atomic<bool> done{false};
  std::thread editor(
      [&]
      {
        for (int i = 0; !done; ++i)
          rig.synth.SetParameterFromGUI(i % T::kNumParams, (i % 7) / 6.0);
      });
  for (int block = 0; block < 200; ++block)
  {
    if (block % 10 == 0) rig.noteOn(48 + block % 24);
    if (block % 10 == 5) rig.noteOff(48 + (block - 5) % 24);
    const Stereo out = rig.render(256);
    ASSERT_EQ(out.left, out.right);
  }
  done = true;
  editor.join();
}
} // namespace
