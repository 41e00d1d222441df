#include "ISwitchControls.h"

#include "ControlTestEditor.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace
{
IMouseMod leftButton(true);

const auto frames = [](int w, int h, int n, bool horizontal = false) { return IBitmap(nullptr, w, h, n, horizontal); };
} // namespace

TEST(ISwitchControl, StepsThroughItsFramesAndWrapsAfterTheLast)
{
  // Frames, then the value after each click.
  const std::pair<int, std::vector<double>> cases[] = {{3, {0.5, 1.0, 0.0, 0.5}}, {2, {1.0, 0.0}}, {1, {1.0, 0.0}}};
  for (const auto& [nFrames, afterEachClick] : cases)
  {
    ISwitchControl control(nullptr, 0, 0, -1, frames(10, 10 * nFrames, nFrames));
    for (double expected : afterEachClick)
    {
      control.OnMouseDown(1, 1, &leftButton);
      EXPECT_DOUBLE_EQ(control.GetValue(), expected) << nFrames << " frames";
    }
  }
}

TEST(ISwitchControls, ClickZonesPickTheirChoiceAndMissesKeepTheValue)
{
  // One 30 × 20 frame cut into three zones side by side.
  ISwitchFramesControl zones(nullptr, 10, 20, -1, frames(90, 20, 3, true), true);
  EXPECT_EQ(zones.GetRECT(), IRECT(10, 20, 40, 40));
  // Three 10 × 10 buttons over 100 pixels: 35 pixels apart.
  IRadioButtonsControl radio(nullptr, IRECT(0, 0, 100, 10), -1, 3, frames(10, 20, 2), kHorizontal);
  IRadioButtonsControl reversed(nullptr, IRECT(0, 0, 100, 10), -1, 3, frames(10, 20, 2), kHorizontal, true);

  struct Case
  {
    IControl* control;
    int x, y;
    double expected;
  };
  const Case cases[] = {
      {&zones, 25, 25, 0.5}, {&zones, 39, 39, 1.0},   {&zones, 10, 20, 0.0},
      {&zones, 45, 25, 0.0}, {&radio, 50, 5, 0.5},    {&radio, 95, 5, 1.0},
      {&radio, 20, 5, 1.0},  {&reversed, 95, 5, 0.0}, {&reversed, 5, 5, 1.0},
  };
  for (const Case& c : cases)
  {
    c.control->OnMouseDown(c.x, c.y, &leftButton);
    EXPECT_DOUBLE_EQ(c.control->GetValue(), c.expected) << c.x << "," << c.y;
  }
}

TEST(ISwitchControls, InvisibleSwitchTogglesAndContactIsMomentary)
{
  IInvisibleSwitchControl invisible(nullptr, IRECT(0, 0, 10, 10), -1);
  invisible.OnMouseDown(1, 1, &leftButton);
  EXPECT_EQ(invisible.GetValue(), 1.0);
  invisible.OnMouseDown(1, 1, &leftButton);
  EXPECT_EQ(invisible.GetValue(), 0.0);

  IContactControl contact(nullptr, 0, 0, -1, frames(10, 20, 2));
  contact.OnMouseDown(1, 1, &leftButton);
  EXPECT_EQ(contact.GetValue(), 1.0);
  contact.OnMouseUp(1, 1, &leftButton);
  EXPECT_EQ(contact.GetValue(), 0.0);
}

TEST(ISwitchControls, RadioButtonsLightTheChosenButtonAndOverlaysShowOnlyWhenOn)
{
  ControlTestEditor editor(20, 10);
  const IBitmap offOn = editor.strip(2, 2, {COLOR_RED, COLOR_GREEN});
  // Three buttons over 10 pixels: at x = 0, 4 and 8.
  editor.attach(new IRadioButtonsControl(&editor.mPlug, IRECT(0, 0, 10, 2), -1, 3, offOn, kHorizontal))
      ->SetValueFromPlug(0.5);
  const IBitmap overlay = editor.strip(4, 4, {COLOR_WHITE});
  editor.attach(new IBitmapOverlayControl(&editor.mPlug, 10, 0, overlay, IRECT(10, 0, 11, 1)))->SetValueFromPlug(1.0);
  auto* pOff = editor.attach(new IBitmapOverlayControl(&editor.mPlug, 15, 0, overlay, IRECT(15, 0, 16, 1)));
  editor.drawAll();

  EXPECT_EQ(editor.mGraphics->GetPoint(0, 0), COLOR_RED);
  EXPECT_EQ(editor.mGraphics->GetPoint(4, 1), COLOR_GREEN);
  EXPECT_EQ(editor.mGraphics->GetPoint(8, 0), COLOR_RED);
  EXPECT_EQ(editor.mGraphics->GetPoint(12, 2), COLOR_WHITE);
  EXPECT_EQ(editor.mGraphics->GetPoint(17, 2), COLOR_BLUE);
  EXPECT_FALSE(pOff->IsHit(17, 2));
  EXPECT_TRUE(pOff->IsHit(15, 0));
}
