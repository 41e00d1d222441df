#include "TessarynRig.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace
{
using T = Tessaryn;

constexpr int C = 60, E = 64, G = 67;

// Renders tick by tick and records the note of every arpeggio step: MG2
// steps when its cycle enters its first half, the host clock toggles the
// step blink.
std::vector<int> arpeggio(TessarynRig& rig, size_t steps, int maxTicks = 20000)
{
  std::vector<int> notes;
  TessarynProbe& s = rig.synth;
  for (int tick = 0; tick < maxTicks && notes.size() < steps; ++tick)
  {
    const bool half = s.lastMG2Half;
    const bool blink = s.stepBlink;
    rig.ticks();
    const bool stepped = s.GetParam(T::kARPTrig)->Int() == 0 ? (!half && s.lastMG2Half) : blink != s.stepBlink;
    if (stepped) notes.push_back(s.vcoNote[s.lastVco]);
  }
  return notes;
}

void latchChord(TessarynRig& rig, int trig)
{
  // ARPTempo 1/64: 31 ticks at 120 BPM
  rig.set({{T::kARPState, T::kArpLatch}, {T::kARPTrig, trig}, {T::kMG2Rate, 1.0}, {T::kARPTempo, 19}});
  for (int note : {G, C, E})
    rig.noteOn(note);
  for (int note : {G, C, E})
    rig.noteOff(note);
}

// Mode, range and the notes played.
const std::tuple<int, int, std::vector<int>> kArpCases[] = {
    {T::kArpDown, 1, {G + 12, E + 12, C + 12, G, E, C, G + 12}},
    {T::kArpUpDown, 1, {C, E, G, C + 12, E + 12, G + 12, G + 12, E + 12, C + 12, G, E, C, C}},
    {T::kArpUp, 0, {C, E, G, C + 12, E + 12, G + 12, C + 24, E + 24, G + 24, C + 36, E + 36, G + 36, C}},
};

TEST(TessarynArpeggiator, LatchedChordWalksEveryModeAndRangeOnBothClocks)
{
  for (int trig : {0, 1})
    for (const auto& [mode, range, notes] : kArpCases)
    {
      TessarynRig rig;
      rig.set({{T::kARPMode, mode}, {T::kARPRange, range}});
      latchChord(rig, trig);
      EXPECT_EQ(arpeggio(rig, notes.size()), notes)
          << "clock " << (trig ? "MIDI" : "MG2") << " mode " << mode << " range " << range;
    }
}

TEST(TessarynArpeggiator, LatchKeepsRunningAfterReleaseAndRepeatedNoteOffsDoNotBlockTheNextList)
{
  TessarynRig rig;
  latchChord(rig, 0);
  arpeggio(rig, 4);
  EXPECT_EQ(rig.synth.mNumPressedKeys, 3);
  rig.noteOff(C);
  rig.noteOff(C);
  rig.ticks();
  EXPECT_EQ(rig.synth.mNumHeldKeys, 0);
  rig.noteOn(72);
  EXPECT_EQ(arpeggio(rig, 2), (std::vector{72, 72}));
}

TEST(TessarynArpeggiator, InOnModeReleasingOneKeySilencesUntilTheNextStep)
{
  TessarynRig rig;
  rig.set({{T::kARPState, T::kArpOn}, {T::kMG2Rate, 1.0}});
  rig.noteOn(C);
  rig.noteOn(G);
  arpeggio(rig, 1);
  rig.noteOff(G);
  rig.ticks();
  EXPECT_FALSE(rig.synth.gate);
  EXPECT_EQ(arpeggio(rig, 2), (std::vector{C, C}));
}

// 1/16 at 120 BPM steps eight times a second.
TEST(TessarynArpeggiator, TheMidiClockFollowsTheHostsTempo)
{
  for (double tempo : {120.0, 240.0})
  {
    TessarynRig rig;
    rig.synth.mHostTempo = tempo;
    latchChord(rig, 1);
    rig.set(T::kARPTempo, 15);
    EXPECT_NEAR(arpeggio(rig, SIZE_MAX, 1000).size(), tempo / 15, 1) << tempo << " BPM";
  }
}
} // namespace
