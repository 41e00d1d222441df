#include "SynthTestHost.h"

#include <numeric>
#include <utility>

TEST_F(SynthTest, ResetSetsTheTickAbandonsLearnAndEmptiesTheKeyBuffer)
{
  for (auto [rate, interval] : {std::pair{44100.0, 44}, {500.0, 1}, {1.0e300, 1000000}})
  {
    synth->addPressedKey(60);
    synth->mUpdateCountdown = 17;
    synth->doMidiUnlearn(true);
    setSampleRate(rate);
    EXPECT_EQ(synth->mUpdateInterval, interval) << rate;
    EXPECT_EQ(synth->mUpdateCountdown, 0);
    EXPECT_FALSE(synth->mMidiLearn);
    EXPECT_TRUE(synth->mMidiUnlearn);
    EXPECT_EQ(synth->mNumPressedKeys, 0);
  }
}

TEST_F(SynthTest, TheKeyBufferHoldsAtMost128Keys)
{
  for (int key = 127; key >= 0; --key)
    synth->addPressedKey(key);
  synth->addPressedKey(200);
  std::vector<int> all(128);
  std::iota(all.begin(), all.end(), 0);
  EXPECT_EQ(std::vector<int>(synth->mPressedKeys, synth->mPressedKeys + synth->mNumPressedKeys), all);
  EXPECT_EQ(synth->mNumHeldKeys, 128);
}

TEST_F(SynthTest, PastingBeforeCopyingDoesNothing)
{
  synth->GetParam(5)->Set(0.9);
  synth->pastePreset();
  EXPECT_EQ(synth->GetParam(5)->Value(), 0.9);
  EXPECT_STREQ(synth->GetPresetName(0), "Program 1");
}
