#include "TextEntryFilter.h"

#include <gtest/gtest.h>

TEST(TextEntryFilterTest, AcceptsOnlyTheCharacterSetUpToTheLengthAndValue)
{
  const TextEntryFilter decimal{"0123456789.-+", 7, 0};
  const TextEntryFilter limited{"", 0, 127};
  const TextEntryFilter anything{};
  const struct
  {
    const TextEntryFilter& filter;
    const char* text;
    bool accepted;
  } cases[] = {
      {decimal, "-12.5", true}, {decimal, "12,5", false}, {decimal, "1234567", true}, {decimal, "12345678", false},
      {decimal, "", true},      {limited, "127", true},    {limited, "128", false},   {anything, "any text at all", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.filter.Accepts(c.text), c.accepted) << c.text;
}
