#include "ITextControls.h"

#include "ControlTestEditor.h"

#include <gtest/gtest.h>

#include <vector>

TEST(DrawBitmapedText, LaysCharactersOutByAlignmentLinesAndCentring)
{
  struct Probe
  {
    int x, y;
    IColor colour;
  };
  struct Case
  {
    IRECT rect;
    IText::EAlign align;
    bool multiline, vCenter;
    const char* str;
    std::vector<Probe> probes;
  };
  const IColor red = COLOR_RED, green = COLOR_GREEN, blue = COLOR_BLUE;
  // 2 × 2 characters: ' ' blank, '!' red, '"' green.
  const Case cases[] = {
      {{0, 0, 10, 2}, IText::kAlignNear, false, false, "!\"", {{0, 0, red}, {3, 1, green}, {4, 0, blue}}},
      {{0, 0, 10, 2}, IText::kAlignFar, false, false, "!", {{8, 0, red}, {7, 0, blue}}},
      // Wider than its rectangle: starts left of it, and only one character fits.
      {{10, 0, 12, 2}, IText::kAlignCenter, false, false, "!!!", {{8, 0, red}, {10, 0, blue}}},
      {{0, 0, 4, 4}, IText::kAlignNear, true, false, "!\"!", {{0, 0, red}, {2, 0, green}, {0, 2, red}, {2, 2, blue}}},
      {{0, 0, 4, 6}, IText::kAlignNear, false, true, "!", {{0, 2, red}, {0, 0, blue}}},
      // Bytes the font has no frame for draw blank.
      {{0, 0, 10, 2}, IText::kAlignNear, false, false, "\xff\x7f!", {{0, 0, blue}, {2, 0, blue}, {4, 0, red}}},
  };
  for (const Case& c : cases)
  {
    ControlTestEditor editor(16, 8);
    const IBitmap font = editor.strip(2, 2, {COLOR_TRANSPARENT, red, green});
    IText text;
    text.mAlign = c.align;
    editor.attach(new IBitmapTextControl(&editor.mPlug, c.rect, font, c.str, &text, 2, 2, 0, c.multiline, c.vCenter));
    editor.drawAll();
    for (const Probe& p : c.probes)
      EXPECT_EQ(editor.mGraphics->GetPoint(p.x, p.y), p.colour) << c.str << " at " << p.x << "," << p.y;
  }
}

TEST(ICaptionControl, ShowsTheParameterAndAsksForItOnAClick)
{
  ControlTestEditor editor(60, 20);
  IParam* pWave = editor.mPlug.GetParam(0);
  pWave->InitEnum("Wave", 1, 3);
  for (int i = 0; i < 3; ++i)
    pWave->SetDisplayText(i, i == 0 ? "Tri" : i == 1 ? "Saw" : "Pulse");
  editor.mPlug.GetParam(1)->InitDouble("Cutoff", 100.0, 0.0, 1000.0, 1.0, "Hz");
  IText text(12, COLOR_WHITE, "Arial");
  auto* pWaveCaption = editor.attach(new ICaptionControl(&editor.mPlug, IRECT(0, 0, 60, 10), 0, &text));
  auto* pCutoffCaption = editor.attach(new ICaptionControl(&editor.mPlug, IRECT(0, 10, 60, 20), 1, &text));
  editor.mGraphics->SetParameterFromPlug(0, 1.0, false);
  editor.drawAll();
  bool drawn = false;
  for (int x = 0; x < 60; ++x)
    drawn |= !(editor.mGraphics->GetPoint(x, 5) == COLOR_BLUE);
  EXPECT_TRUE(drawn);

  editor.mGraphics->mMenuChoice = 2;
  IMouseMod left(true);
  pWaveCaption->OnMouseDown(5, 5, &left);
  ASSERT_EQ(editor.mGraphics->mMenus.size(), 1u);
  EXPECT_EQ(editor.mGraphics->mMenus[0], (std::vector<std::string>{"Tri", "*Saw", "Pulse"}));
  EXPECT_EQ(pWave->Int(), 2);

  pCutoffCaption->OnMouseDblClick(5, 15, &left);
  ASSERT_EQ(editor.mGraphics->mTextEntries.size(), 1u);
  EXPECT_EQ(editor.mGraphics->mTextEntries[0].text, "100");
}
