#include "IKnobControls.h"
#include "IFaderControl.h"

#include "ControlTestEditor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

TEST(IKnobControl, DragAndWheelMoveByGearingAndFineModifiers)
{
  constexpr bool kDrag = false, kWheel = true;
  struct Case
  {
    EDirection direction;
    bool wheel;
    int dX, dY;
    IMouseMod mod;
    double expected;
  };
  const IMouseMod plain(true), shift(true, false, true), control(true, false, false, true);
  const Case cases[] = {
      {kVertical, kDrag, 0, -40, plain, 1.0},                                             // up by the full height
      {kVertical, kDrag, 0, -40, shift, 0.1},                                             // a tenth with shift
      {kVertical, kDrag, 0, -80, plain, 1.0},                                             // clamped
      {kVertical, kDrag, 40, 0, plain, 0.0},                                              // across a vertical knob
      {kHorizontal, kDrag, 20, 0, control, 0.05}, {kVertical, kWheel, 0, 0, plain, 0.01}, // one notch
      {kVertical, kWheel, 0, 0, control, 0.001},
  };
  for (const Case& c : cases)
  {
    IKnobMultiControl knob(nullptr, 0, 0, -1, IBitmap(nullptr, 40, 40), c.direction, 1.0);
    IMouseMod mod = c.mod;
    if (c.wheel)
      knob.OnMouseWheel(0, 0, &mod, 1);
    else
      knob.OnMouseDrag(0, 0, c.dX, c.dY, &mod);
    EXPECT_NEAR(knob.GetValue(), c.expected, 1e-12) << c.dX << "," << c.dY;
  }
}

TEST(IFaderControl, ClicksPutTheHandleCentreUnderTheMouse)
{
  // Direction, length, click and value. Handle 20 × 10 (vertical) or 10 × 20 (horizontal), fader at (0, 10).
  const std::tuple<EDirection, int, int, int, double> cases[] = {
      {kVertical, 100, 5, 15, 1.0},    {kVertical, 100, 5, 105, 0.0},  {kVertical, 100, 5, 60, 0.5},
      {kVertical, 100, 5, 0, 1.0},     {kHorizontal, 100, 5, 15, 0.0}, {kHorizontal, 100, 95, 15, 1.0},
      {kHorizontal, 100, 50, 15, 0.5}, {kVertical, 10, 5, 15, 1.0}, // no travel left for the handle
  };
  for (const auto& [direction, len, x, y, expected] : cases)
  {
    const IBitmap handle(nullptr, direction == kVertical ? 20 : 10, direction == kVertical ? 10 : 20);
    IFaderControl fader(nullptr, 0, 10, len, -1, handle, direction);
    IMouseMod mod(true);
    fader.OnMouseDown(x, y, &mod);
    EXPECT_DOUBLE_EQ(fader.GetValue(), expected) << x << "," << y;
  }
}

TEST(IFaderControl, OnlyHandleFaderIsHitOnItsHandle)
{
  IFaderControl fader(nullptr, 0, 10, 100, -1, IBitmap(nullptr, 20, 10), kVertical, true);
  fader.SetValueFromPlug(1.0);
  EXPECT_EQ(fader.GetHandleRECT(), IRECT(0, 10, 20, 20));
  EXPECT_EQ(fader.GetHandleRECT(0.0), IRECT(0, 100, 20, 110));
  EXPECT_TRUE(fader.IsHit(5, 15));
  EXPECT_FALSE(fader.IsHit(5, 60));
}

TEST(IKnobLineControl, PointsClockwiseFromStraightUp)
{
  // Value, a pixel on the line and one off it; -90° to +90° over a 21 × 21 knob centred on (10.5, 10.5).
  const std::tuple<double, int, int, int, int> cases[] = {
      {0.5, 10, 2, 10, 18}, {1.0, 18, 10, 2, 10}, {0.0, 2, 10, 18, 10}};
  for (const auto& [value, onX, onY, offX, offY] : cases)
  {
    ControlTestEditor editor(21, 21);
    const IColor white = COLOR_WHITE;
    editor
        .attach(new IKnobLineControl(&editor.mPlug, IRECT(0, 0, 21, 21), -1, &white, 0.0, 0.0, -std::numbers::pi / 2,
                                     std::numbers::pi / 2))
        ->SetValueFromPlug(value);
    editor.drawAll();
    EXPECT_GT(editor.mGraphics->GetPoint(onX, onY).R, 64) << value;
    EXPECT_EQ(editor.mGraphics->GetPoint(offX, offY), COLOR_BLUE) << value;
  }
}
