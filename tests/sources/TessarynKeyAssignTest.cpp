#include "TessarynRig.h"

#include <gtest/gtest.h>

#include <array>

namespace
{
using T = Tessaryn;

constexpr int C = 60, E = 64, G = 67, B = 71, D = 74;

// The four oscillators' notes or sounding flags, comparable as a whole.
const auto notes = [](const TessarynProbe& s) {
  return std::array<int, 4>{s.vcoNote[0], s.vcoNote[1], s.vcoNote[2], s.vcoNote[3]};
};
const auto audible = [](const TessarynProbe& s) { return std::to_array(s.vcoOn); };

class KeyAssign : public ::testing::Test
{
protected:
  void mode(int keyMode)
  {
    rig.set(T::kKeyAssgn, keyMode);
    rig.ticks();
  }
  void press(int note)
  {
    rig.noteOn(note);
    rig.ticks();
  }
  void release(int note)
  {
    rig.noteOff(note);
    rig.ticks();
  }

  TessarynRig rig;
  TessarynProbe& s = rig.synth;
};

TEST(KeyAssignUnison, TheNewestKeySoundsAndReleaseFallsBackToTheHighestHeldKey)
{
  for (int trigger : {0, 1}) // Multiple restarts the envelopes for every key, Single glides legato
  {
    TessarynRig rig;
    TessarynProbe& s = rig.synth;
    rig.set({{T::kTrigger, trigger}, {T::kEG2S, 0.5}});
    rig.noteOn(G);
    rig.ticks(200); // into decay
    rig.noteOn(C);
    rig.noteOn(E);
    rig.ticks();
    EXPECT_EQ(notes(s), (std::array{E, E, E, E}));
    EXPECT_EQ(s.eg2.stage(), trigger ? EG::kDecay : EG::kAttack);
    rig.noteOff(E);
    rig.ticks();
    EXPECT_EQ(notes(s), (std::array{G, G, G, G}));
    rig.noteOff(C); // no longer sounding: changes nothing
    rig.ticks();
    EXPECT_EQ(notes(s), (std::array{G, G, G, G}));
    rig.noteOff(G);
    rig.ticks();
    EXPECT_FALSE(s.gate);
    EXPECT_EQ(s.eg2.stage(), EG::kRelease);
  }
}

TEST_F(KeyAssign, PolyFillsFreeOscillatorsFirstThenStealsInTurn)
{
  mode(T::kPoly);
  for (int note : {C, E, G, B})
    press(note);
  EXPECT_EQ(notes(s), (std::array{C, E, G, B}));
  press(D);
  EXPECT_EQ(notes(s), (std::array{D, E, G, B})) << "the fifth key steals VCO1";
  press(D + 1);
  EXPECT_EQ(notes(s), (std::array{D, D + 1, G, B})) << "the sixth steals VCO2";
  release(G);
  press(D + 2);
  EXPECT_EQ(notes(s), (std::array{D, D + 1, D + 2, B})) << "a released oscillator is taken first";
}

TEST_F(KeyAssign, RoundRobinPlaysOneOscillatorAtATimeInTurn)
{
  mode(T::kRndRobin);
  for (int k = 0; k < 5; ++k) // the fifth strike wraps to VCO1
  {
    press(C);
    release(C);
    std::array<bool, 4> expected{};
    expected[k % 4] = true;
    EXPECT_EQ(audible(s), expected) << "strike " << k;
  }
}

TEST_F(KeyAssign, ChordMemoryPlaysTheStoredIntervalsAndLeavesOutOffsets128)
{
  mode(T::kChordMemory);
  const std::pair<std::array<int, 4>, std::array<bool, 4>> cases[] = {
      {{0, 4, 7, 12}, {true, true, true, true}},
      {{5, 128, 128, 128}, {true, false, false, false}},
  };
  for (const auto& [chord, sounding] : cases)
  {
    for (int k = 0; k < 4; ++k)
      rig.set(T::kChord1 + k, chord[k]);
    rig.ticks(400); // let the previous release end
    release(C);
    press(C);
    EXPECT_EQ(audible(s), sounding);
    for (int k = 0; k < 4; ++k)
      if (sounding[k])
      {
        EXPECT_EQ(s.vco[k].noteOffset, chord[k]) << "VCO" << k + 1;
      }
  }
}

TEST_F(KeyAssign, UnisonShareSplitsTheOscillatorsAsKeysArrive)
{
  mode(T::kUnisonShare);
  press(C);
  EXPECT_EQ(notes(s), (std::array{C, C, C, C}));
  press(E);
  EXPECT_EQ(notes(s), (std::array{E, E, C, C})) << "VCO1 and VCO2 take the second key";
  press(G);
  EXPECT_EQ(notes(s), (std::array{G, E, C, C}));
  EXPECT_FALSE(s.vcoKey[3]);
}

TEST_F(KeyAssign, AutoDampSilencesAReleasedPolyVoiceOnlyWhileOtherKeysAreDown)
{
  for (bool damp : {false, true})
  {
    TessarynRig fresh;
    fresh.set({{T::kKeyAssgn, T::kPoly}, {T::kAutoDamp, damp}});
    fresh.noteOn(C);
    fresh.noteOn(E);
    fresh.ticks();
    fresh.noteOff(C);
    fresh.ticks();
    EXPECT_EQ(audible(fresh.synth), (std::array{!damp, true, false, false}));
    fresh.noteOff(E);
    fresh.ticks();
    EXPECT_TRUE(fresh.synth.vcoOn[1]) << "the last release rings out";
    EXPECT_FALSE(fresh.synth.gate);
  }
}

TEST_F(KeyAssign, HoldKeepsTheNoteUntilSwitchedOffAndCannotBeSwitchedOnWhileTheArpeggiatorRuns)
{
  rig.set(T::kHold, 1);
  press(C);
  release(C);
  EXPECT_TRUE(s.gate);
  EXPECT_TRUE(s.vcoKey[3]);
  rig.set(T::kHold, 0);
  rig.ticks();
  EXPECT_FALSE(s.gate);
  EXPECT_EQ(s.eg2.stage(), EG::kRelease);
  rig.set(T::kARPState, T::kArpOn);
  rig.set(T::kHold, 1);
  EXPECT_FALSE(s.hold);
}

// Drift 2 without portamento: VCO1 jumps, VCO4 glides for 0.6 s.
TEST_F(KeyAssign, PortamentoDriftLetsLaterOscillatorsGlideLonger)
{
  rig.set({{T::kPortamnt, 0.0}, {T::kPtmDrift, 2}});
  press(C);
  press(C + 12);
  EXPECT_EQ(s.vco[0].currentPitch, s.vco[0].targetPitch);
  EXPECT_NE(s.vco[3].currentPitch, s.vco[3].targetPitch);
  rig.ticks(590);
  EXPECT_NE(s.vco[3].currentPitch, s.vco[3].targetPitch);
  rig.ticks(10);
  EXPECT_EQ(s.vco[3].currentPitch, s.vco[3].targetPitch);
}
} // namespace
