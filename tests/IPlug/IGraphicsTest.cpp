#include "EditorTestRig.h"

#include <gtest/gtest.h>

using Events = std::vector<std::string>;

TEST(IGraphicsDispatch, ClicksGoToTheTopmostControlThatTakesThem)
{
  EditorRig rig;
  ProbeControl* below = rig.add(IRECT(0, 0, 50, 50), EditorPlug::kCutoff);
  ProbeControl* above = rig.add(IRECT(20, 20, 70, 50));
  rig.attach();

  rig.gui->OnMouseDown(30, 30, &rig.left);
  rig.gui->OnMouseUp(90, 90, &rig.left); // goes to the captured control wherever the mouse is
  EXPECT_EQ(above->mEvents, (Events{"down 30,30", "up 90,90"}));

  for (bool hide : {true, false})
  {
    above->Hide(hide);
    above->GrayOut(!hide);
    rig.gui->OnMouseDown(30, 30, &rig.left);
    rig.gui->OnMouseUp(30, 30, &rig.left);
  }
  EXPECT_EQ(below->mEvents, (Events{"down 30,30", "up 30,30", "down 30,30", "up 30,30"}));
  EXPECT_EQ(rig.plug.mGestures, (Events{"begin 0", "end 0", "begin 0", "end 0"}));
  EXPECT_EQ(rig.gui->GetMouseControlIdx(95, 55), -1);
}

TEST(IGraphicsDispatch, DragsReachTheCapturedControlOnlyWhenTheMouseMoved)
{
  EditorRig rig;
  ProbeControl* control = rig.add(IRECT(0, 0, 50, 50));
  rig.attach();
  rig.gui->OnMouseDrag(10, 10, &rig.left); // no capture yet
  rig.gui->OnMouseDown(10, 10, &rig.left);
  rig.gui->OnMouseDrag(10, 10, &rig.left);
  rig.gui->OnMouseDrag(70, 4, &rig.left);
  EXPECT_EQ(control->mEvents, (Events{"down 10,10", "drag 60,-6"}));
}

TEST(IGraphicsDispatch, DoubleClickAsSingleClickCapturesWithoutTellingTheHost)
{
  EditorRig rig;
  ProbeControl* single = rig.add(IRECT(0, 0, 50, 50), EditorPlug::kCutoff);
  ProbeControl* plain = rig.add(IRECT(50, 0, 100, 50), EditorPlug::kCutoff);
  single->SetDblAsSingleClick(true);
  rig.attach();

  EXPECT_TRUE(rig.gui->OnMouseDblClick(5, 5, &rig.left));
  EXPECT_EQ(rig.gui->GetMouseCapture(), 0);
  EXPECT_FALSE(rig.gui->OnMouseDblClick(60, 5, &rig.left));
  EXPECT_EQ(rig.gui->GetMouseCapture(), -1);
  EXPECT_FALSE(rig.gui->OnMouseDblClick(5, 55, &rig.left));
  EXPECT_EQ(single->mEvents, Events{"down 5,5"});
  EXPECT_EQ(plain->mEvents, Events{"dbl 60,5"});
  EXPECT_TRUE(rig.plug.mGestures.empty());
}

TEST(IGraphicsDispatch, KeysOverTheBackgroundGoToTheKeyCatcher)
{
  EditorRig rig;
  rig.gui->AttachPanelBackground(COLOR_GRAY);
  ProbeControl* knob = rig.add(IRECT(0, 0, 20, 20));
  knob->mTakesKeys = false;
  rig.attach();
  EXPECT_FALSE(rig.gui->OnKeyDown(5, 5, 'a'));
  EXPECT_FALSE(rig.gui->OnKeyDown(50, 50, 'b')); // no catcher yet

  auto* catcher = new ProbeControl(&rig.plug, IRECT());
  rig.gui->AttachKeyCatcher(catcher);
  EXPECT_TRUE(rig.gui->OnKeyDown(50, 50, 'c'));
  EXPECT_EQ(knob->mEvents, Events{"key 97,0"});
  EXPECT_EQ(catcher->mEvents, Events{"key 99,0"});
}

TEST(IGraphicsDispatch, MouseOverAndOutFollowTheControlUnderTheMouse)
{
  EditorRig rig;
  ProbeControl* a = rig.add(IRECT(0, 0, 50, 50));
  ProbeControl* b = rig.add(IRECT(50, 0, 100, 50));
  b->GrayOut(true);
  b->SetMOWhenGrayed(true);
  rig.attach();
  EXPECT_FALSE(rig.gui->OnMouseOver(5, 5, &rig.left));
  rig.gui->HandleMouseOver(true);
  EXPECT_TRUE(rig.gui->OnMouseOver(5, 5, &rig.left));
  EXPECT_TRUE(rig.gui->OnMouseOver(60, 5, &rig.left));
  EXPECT_EQ(rig.gui->GetMouseOver(), 1);
  rig.gui->OnMouseOut();
  EXPECT_EQ(a->mEvents, (Events{"over 5,5", "out", "out"}));
  EXPECT_EQ(b->mEvents, (Events{"over 60,5", "out"}));
  EXPECT_EQ(rig.gui->GetMouseOver(), -1);
}

TEST(IGraphicsRedraw, DirtyAreaIsTheUnionAndEveryTwentyFirstCleanCheckIdles)
{
  EditorRig rig;
  rig.add(IRECT(10, 10, 20, 20));
  rig.add(IRECT(30, 5, 40, 15));
  rig.attach();
  IRECT area;
  ASSERT_TRUE(rig.gui->IsDirty(&area));
  EXPECT_EQ(area, IRECT(10, 5, 40, 20));
  rig.gui->Draw(&area);
  EXPECT_EQ(rig.gui->mScreenDraws, std::vector<IRECT>{area});

  for (int check = 1; check <= 42; ++check)
  {
    IRECT none;
    EXPECT_FALSE(rig.gui->IsDirty(&none));
    EXPECT_EQ(rig.plug.mIdles, check / 21) << check;
  }
}

TEST(IGraphicsRedraw, StrictDrawingDrawsWhatMeetsTheAreaNonStrictOnlyAroundDirtyControls)
{
  EditorRig rig;
  ProbeControl* background = rig.add(IRECT(0, 0, 100, 60));
  ProbeControl* knob = rig.add(IRECT(10, 10, 20, 20));
  ProbeControl* far = rig.add(IRECT(60, 10, 70, 20));
  ProbeControl* hidden = rig.add(IRECT(10, 10, 20, 20));
  hidden->Hide(true);
  rig.attach();
  const auto draws = [&] { return std::vector<int>{background->mDraws, knob->mDraws, far->mDraws, hidden->mDraws}; };
  IRECT area(0, 0, 30, 30);
  rig.gui->Draw(&area);
  EXPECT_EQ(draws(), (std::vector<int>{1, 1, 0, 0}));

  rig.gui->SetStrictDrawing(false); // everything dirty: the background leads
  rig.gui->Draw(&area);
  rig.gui->Draw(&area); // the second frame of redraw-pending controls
  knob->SetDirty(false);
  rig.gui->Draw(&area);
  EXPECT_EQ(draws(), (std::vector<int>{4, 4, 1, 0}));
}

TEST(IGraphicsSync, ParameterValuesReachEveryControlOfTheParameterInBothDirections)
{
  EditorRig rig;
  ProbeControl* a = rig.add(IRECT(0, 0, 10, 10), EditorPlug::kCutoff);
  ProbeControl* b = rig.add(IRECT(10, 0, 20, 10), EditorPlug::kCutoff);
  ProbeControl* aux = rig.add(IRECT(20, 0, 30, 10));
  aux->AddAuxParam(EditorPlug::kGain);
  aux->AddAuxParam(EditorPlug::kCutoff);
  rig.attach();
  EXPECT_DOUBLE_EQ(a->GetDefaultValue(), 0.2);

  rig.gui->SetParameterFromPlug(EditorPlug::kCutoff, 75.0, false);
  EXPECT_DOUBLE_EQ(b->GetValue(), 0.75);
  EXPECT_DOUBLE_EQ(aux->GetAuxParam(1)->mValue, 0.75);
  EXPECT_TRUE(rig.plug.mInformed.empty()); // values from the plug-in are not sent back

  rig.gui->ClampControl(EditorPlug::kCutoff, 10.0, 50.0, false);
  rig.gui->SetParameterFromGUI(EditorPlug::kCutoff, 0.9);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.5);
  EXPECT_DOUBLE_EQ(b->GetValue(), 0.5);
  EXPECT_DOUBLE_EQ(rig.plug.GetParam(EditorPlug::kCutoff)->Value(), 50.0);
}

TEST(IGraphicsPrompt, MenusForEnumsAndTextEntryForNumbers)
{
  EditorRig rig;
  ProbeControl* wave = rig.add(IRECT(0, 0, 40, 20), EditorPlug::kWave);
  ProbeControl* gain = rig.add(IRECT(0, 20, 40, 40), EditorPlug::kGain);
  rig.attach();
  wave->DisablePrompt(false);
  gain->DisablePrompt(false);
  IMouseMod right(false, true);

  rig.gui->mMenuChoice = 2;
  rig.gui->OnMouseDown(5, 5, &right);
  ASSERT_EQ(rig.gui->mMenus.size(), 1u);
  EXPECT_EQ(rig.gui->mMenus[0], (Events{"Saw", "*Square", "Sine"}));
  EXPECT_EQ(rig.plug.GetParam(EditorPlug::kWave)->Int(), 2);

  rig.gui->OnMouseDown(5, 25, &right);
  ASSERT_EQ(rig.gui->mTextEntries.size(), 1u);
  const TestGraphics::TextEntry& entry = rig.gui->mTextEntries[0];
  EXPECT_EQ(entry.rect, IRECT(0, 22, 40, 38));
  rig.gui->SetFromStringAfterPrompt(entry.control, entry.param, "2.5");
  EXPECT_DOUBLE_EQ(rig.plug.GetParam(EditorPlug::kGain)->Value(), -2.5);
  rig.gui->SetFromStringAfterPrompt(wave, rig.plug.GetParam(EditorPlug::kWave), "Saw");
  EXPECT_EQ(rig.plug.GetParam(EditorPlug::kWave)->Int(), 0);
}
