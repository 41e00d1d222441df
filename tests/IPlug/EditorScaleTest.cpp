#include "EditorScale.h"

#include <gtest/gtest.h>

TEST(EditorScaleTest, TheUserWinsThenTheHostThenXftDpiThenGdkScaleClampedToOneToFour)
{
  const std::string dpi144 = "Xft.antialias:\t1\nXft.dpi:\t144\nXft.hinting:\t1\n";
  const struct
  {
    double user, host;
    std::string resources;
    const char* gdk;
    double expected;
  } cases[] = {
      {2.0, 1.5, dpi144, "3", 2.0}, {0.0, 1.25, dpi144, "3", 1.25},
      {0.0, 0.0, dpi144, "3", 1.5}, {0.0, 0.0, "Xcursor.size: 24\n", "2", 2.0},
      {0.0, 0.0, "", nullptr, 1.0}, {0.0, 0.0, "Xft.dpi: 48\n", nullptr, 1.0},
      {9.0, 0.0, "", nullptr, 4.0},
  };
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(ChooseEditorScale(c.user, c.host, c.resources, c.gdk), c.expected)
        << c.user << " " << c.host << " " << c.resources;
}
