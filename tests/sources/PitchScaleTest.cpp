#include "PitchScale.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>

TEST(PitchScale, ConvertsPitchIndicesToTheRoundedSemitoneFrequencies)
{
  const std::pair<int, double> cases[] = {
      {0, 8.176},           {8832, 440.0},         {17280, 19912.127},   {-128, 7.7171163805},
      {-17280, 0.0033570162}, {INT_MAX, 19912.127}, {INT_MIN, 0.0033570162},
  };
  for (auto [pitch, hz] : cases)
    EXPECT_DOUBLE_EQ(PitchScale::convert2Hz(pitch), hz) << "pitch " << pitch;
}

TEST(PitchScale, InterpolatesLinearlyInHzBetweenSemitonesRisingStrictlyThroughout)
{
  EXPECT_DOUBLE_EQ(PitchScale::convert2Hz(64), 8.419);
  EXPECT_DOUBLE_EQ(PitchScale::convert2Hz(8832 + 32), 440.0 + (466.164 - 440.0) * 32 / 128);
  EXPECT_DOUBLE_EQ(PitchScale::convert2Hz(-64), 8.176 + (7.7171163805 - 8.176) * 64 / 128);
  EXPECT_DOUBLE_EQ(PitchScale::convert2Hz(17279), 18794.545 + (19912.127 - 18794.545) * 127 / 128);
  for (int pitch = -17280; pitch < 17280; ++pitch)
    ASSERT_LT(PitchScale::convert2Hz(pitch), PitchScale::convert2Hz(pitch + 1)) << "pitch " << pitch;
}
