#include "X11Input.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <utility>

TEST(X11InputTest, KeysMapToTheEditorsCodesAndOthersAreLeftAlone)
{
  const std::pair<unsigned long, int> cases[] = {{XK_space, 0}, {XK_Up, 1},      {XK_Down, 2},  {XK_Left, 3},
                                                 {XK_Right, 4}, {XK_0, 5},       {XK_9, 14},    {XK_A, 15},
                                                 {XK_z, 40},    {XK_Return, -1}, {XK_KP_1, -1}, {XK_F1, -1}};
  for (const auto& [keysym, code] : cases)
    EXPECT_EQ(EditorKeyCode(keysym), code) << keysym;
}

TEST(X11InputTest, ADoubleClickNeedsTheSameButtonSoonAndClose)
{
  const struct
  {
    unsigned button;
    int x;
    unsigned long time;
    bool isDouble;
  } presses[] = {
      {1, 10, 1000, false}, {1, 12, 1300, true},  {1, 12, 1500, true}, // a third quick press counts again
      {1, 12, 2000, false}, {3, 12, 2100, false}, {1, 30, 2200, false}, {1, 30, 2601, false},
  };
  ClickCounter counter;
  for (const auto& p : presses)
    EXPECT_EQ(counter.IsDoubleClick(p.button, p.x, 5, p.time), p.isDouble) << p.time;
}
