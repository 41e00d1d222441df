#include "IParam.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace
{
std::string display(const IParam& param, double value, bool withDisplayText = true)
{
  char text[IParam::kMaxDisplaySize];
  param.GetDisplayForHost(value, false, text, withDisplayText);
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

TEST(IParam, DisplayPrecisionFollowsTheStep)
{
  const struct
  {
    double step;
    int precision;
  } cases[] = {{1.0, 0}, {0.01, 2}, {0.3, 1}, {1.0 / 3.0, 6}};
  for (const auto& c : cases)
  {
    IParam param;
    param.InitDouble("d", 0.0, 0.0, 10.0, c.step);
    EXPECT_EQ(param.GetPrecision(), c.precision) << "step " << c.step;
  }
}

TEST(IParam, SetNormalizedRoundsDiscreteValuesHalfUpAndClampsOnlyAtTheTop)
{
  IParam param;
  param.InitInt("i", 0, 0, 10);
  const struct
  {
    double normalized;
    double value;
  } cases[] = {{0.44, 4.0}, {0.45, 5.0}, {1.2, 10.0}, {-0.1, -1.0}};
  for (const auto& c : cases)
  {
    param.SetNormalized(c.normalized);
    EXPECT_EQ(param.Value(), c.value) << "normalised " << c.normalized;
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

TEST(IParam, RawValuesAreClampedToTheRange)
{
  IParam param;
  param.InitDouble("d", 0.0, -1.0, 1.0, 0.01);
  param.Set(3.0);
  EXPECT_EQ(param.Value(), 1.0);
  param.Set(-3.0);
  EXPECT_EQ(param.Value(), -1.0);
  EXPECT_DOUBLE_EQ(param.GetNormalized(5.0), 1.0);
  param.Set(std::nan(""));
  EXPECT_EQ(param.Value(), 0.0);
}

TEST(IParam, DisplaysTextsNumbersAndNegation)
{
  IParam onOff, fine, negated, coarse;
  onOff.InitBool("b", false, "sw");
  fine.InitDouble("d", 0.0, -1.0, 1.0, 0.01);
  negated.InitDouble("d", 0.0, -1.0, 1.0, 0.01);
  negated.NegateDisplay();
  coarse.InitDouble("c", 0.0, -1.0, 1.0, 1.0);
  EXPECT_EQ(display(onOff, 0.0), "off");
  EXPECT_EQ(display(onOff, 1.0), "on");
  EXPECT_EQ(display(onOff, 1.0, false), "1");
  EXPECT_EQ(display(negated, 0.5), "-0.50");
  EXPECT_EQ(display(coarse, -0.7), "0");

  char text[IParam::kMaxDisplaySize];
  fine.GetDisplayForHost(0.75, true, text);
  EXPECT_STREQ(text, "0.50");
}

TEST(IParam, AHostSeesNoUnitWhenTheValueHasAText)
{
  IParam onOff, withGap;
  onOff.InitBool("b", true, "sw");
  EXPECT_STREQ(onOff.GetLabelForHost(), "");
  withGap.InitEnum("e", 1, 3, "st");
  withGap.SetDisplayText(0, "zero");
  EXPECT_STREQ(withGap.GetLabelForHost(), "st");
}

TEST(IParam, DisplayTextLookupsTakeTheFirstMatchAndAreCaseSensitive)
{
  IParam param;
  param.InitEnum("e", 0, 3);
  param.SetDisplayText(0, "Saw");
  param.SetDisplayText(1, "Pulse");
  param.SetDisplayText(1, "Square");
  EXPECT_EQ(param.GetNDisplayTexts(), 3);
  EXPECT_STREQ(param.GetDisplayText(1), "Pulse");
  EXPECT_STREQ(param.GetDisplayText(2), "");
  int key = -1;
  EXPECT_STREQ(param.GetDisplayTextAtIdx(2, &key), "Square");
  EXPECT_EQ(key, 1);

  int value = 42;
  EXPECT_FALSE(param.MapDisplayText("saw", &value));
  EXPECT_EQ(value, 42);
  EXPECT_TRUE(param.MapDisplayText("Square", &value));
  EXPECT_EQ(value, 1);

  IParam onOff;
  onOff.InitBool("b", false);
  EXPECT_FALSE(onOff.MapDisplayText("On", &value));
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
