#include "IParam.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace
{
std::string display(const IParam& param, double value)
{
  char text[IParam::kMaxDisplaySize];
  param.GetDisplayForHost(value, false, text);
  return text;
}
} // namespace

TEST(IParam, InitialisersWidenADegenerateRangeByOneStep)
{
  IParam integer, oneEnum, fiveEnums, flat;
  integer.InitInt("x", 5, 3, 3);
  oneEnum.InitEnum("e", 0, 1);
  fiveEnums.InitEnum("e", 0, 5);
  flat.InitDouble("d", 2.0, 2.0, 1.0, 0.25);
  EXPECT_EQ(integer.GetMax(), 4.0);
  EXPECT_EQ(oneEnum.GetMax(), 1.0);
  EXPECT_EQ(fiveEnums.GetMax(), 4.0);
  EXPECT_EQ(flat.GetMax(), 2.25);
}

TEST(IParam, SetNormalizedRoundsDiscreteValuesHalfUpAndClampsOnlyAtTheTop)
{
  IParam param;
  param.InitInt("i", 0, 0, 10);
  const std::pair<double, double> cases[] = {{0.45, 5.0}, {1.2, 10.0}, {-0.1, -1.0}};
  for (const auto& [normalized, value] : cases)
  {
    param.SetNormalized(normalized);
    EXPECT_EQ(param.Value(), value) << "normalised " << normalized;
  }
}

TEST(IParam, ShapeIsAnExponentBothWays)
{
  IParam param;
  param.InitDouble("d", 0.0, 0.0, 1.0, 0.001, "", "", 2.0);
  param.SetNormalized(0.5);
  EXPECT_DOUBLE_EQ(param.Value(), 0.25);
  EXPECT_DOUBLE_EQ(param.GetNormalized(), 0.5);
  param.SetShape(0.0);
  EXPECT_EQ(param.GetShape(), 2.0);
}

TEST(IParam, DisplaysTextsAndNumbersWithoutANegativeZero)
{
  IParam onOff, coarse;
  onOff.InitBool("b", false, "sw");
  coarse.InitDouble("c", 0.0, -1.0, 1.0, 1.0);
  EXPECT_EQ(display(onOff, 1.0), "on");
  EXPECT_EQ(display(coarse, -0.7), "0");
}

TEST(IParam, OverlongTextsAreCutNotOverflowed)
{
  const std::string longText(100, 'x');
  IParam param;
  param.InitEnum(longText.c_str(), 0, 2, longText.c_str(), longText.c_str());
  param.SetDisplayText(0, longText.c_str());
  const std::string cut(IParam::kTextSize - 1, 'x');
  EXPECT_EQ(param.GetNameForHost(), cut);
  EXPECT_EQ(param.GetParamGroupForHost(), cut);
  EXPECT_EQ(param.GetDisplayText(0), cut);
}
