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
