#include "TunedPitchScale.h"

#include "FakeTuningMasters.h"
#include "libMTSClient.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

TEST(TunedPitchScale, FollowsAnEqualTemperedMasterThroughTheRoundedPitchTable)
{
  const mtsclientglobal library({kEqualTemperamentMaster});
  TunedPitchScale scale(library);
  // 58 lands two units low because the search compares with the rounded
  // table; 0 shows the search's floor.
  for (auto [note, pitch] : {std::pair{69, 8832}, {60, 7680}, {58, 7422}, {0, 4}})
    EXPECT_EQ(scale.getFrequency(note), pitch) << "note " << note;
}

TEST(TunedPitchScale, TunesArpeggioOctavesAboveMidiLikeTheNotesOctavesBelow)
{
  const mtsclientglobal library({kEqualTemperamentMaster});
  TunedPitchScale scale(library);
  constexpr int kOctave = 12 * 128;
  EXPECT_EQ(scale.getFrequency(130), scale.getFrequency(118) + kOctave);
  EXPECT_EQ(scale.getFrequency(151), scale.getFrequency(127) + 2 * kOctave);
}

TEST(TunedPitchScale, SkipsWhatTheMasterFiltersAndPlaysEqualTemperamentWithoutOne)
{
  const mtsclientglobal missing({kMissingLibrary});
  TunedPitchScale scale(missing);
  EXPECT_EQ(scale.getFrequency(58), 58 * 128);
  EXPECT_FALSE(scale.noteShouldBeSkipped(61));
  const mtsclientglobal filtering({kNote61FilteringMaster});
  EXPECT_TRUE(TunedPitchScale(filtering).noteShouldBeSkipped(61));
}

TEST(TunedPitchScale, FollowsAMasterRetuningItsTableInPlace)
{
  const mtsclientglobal library({kEqualTemperamentMaster});
  TunedPitchScale scale(library);
  const auto retune = fakeMasterControl<void (*)(int, double)>(kEqualTemperamentMaster, "FakeMaster_Retune");
  ASSERT_NE(retune, nullptr);

  retune(69, 466.164); // A4 now sounds as B flat 4
  EXPECT_EQ(scale.getFrequency(69), 70 * 128);
  retune(69, 440.0);
  EXPECT_EQ(scale.getFrequency(69), 69 * 128);
}

TEST(PitchIndexForFrequency, StaysWithinTheSearchableRange)
{
  EXPECT_EQ(pitchIndexForFrequency(0.0), 4);
  EXPECT_EQ(pitchIndexForFrequency(1.0e6), 17276);
  EXPECT_EQ(pitchIndexForFrequency(440.0), 8832);
  EXPECT_EQ(pitchIndexForFrequency(std::nan("")), 8640); // a broken master still yields a playable pitch
}
