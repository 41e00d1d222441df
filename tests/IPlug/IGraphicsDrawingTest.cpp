#include "EditorTestRig.h"
#include "LICE_CachedFont.h"
#include "LICE_IBitmap.h"
#include "LICE_PNG.h"
#include "PngFiles.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>
#include <numbers>
#include <png.h>
#include <thread>

namespace
{
struct DrawingRig : EditorRig
{
  explicit DrawingRig(const std::string& resources = "") : EditorRig(resources)
  {
    gui->AttachPanelBackground(COLOR_WHITE);
    attach();
    IRECT all(0, 0, 100, 60);
    gui->Draw(&all);
  }
};

struct Probe
{
  int x, y;
  IColor expected;
};

void expectPixels(IGraphics* gui, std::initializer_list<Probe> probes)
{
  for (const Probe& p : probes) EXPECT_EQ(gui->GetPoint(p.x, p.y), p.expected) << "at " << p.x << "," << p.y;
}
} // namespace

TEST(IGraphicsDrawing, FillsBlendAsTheirMethodSays)
{
  DrawingRig rig;
  const IChannelBlend quarterClobber(IChannelBlend::kBlendClobber, 0.25f);
  const IChannelBlend add(IChannelBlend::kBlendAdd);
  const IColor halfBlue(128, 0, 0, 255);
  IRECT a(0, 0, 10, 10), b(10, 0, 20, 10), c(20, 0, 30, 10), d(30, 0, 40, 10);
  rig.gui->FillIRect(&COLOR_RED, &a);
  rig.gui->FillIRect(&COLOR_RED, &b, &quarterClobber);
  rig.gui->FillIRect(&COLOR_RED, &c);
  rig.gui->FillIRect(&COLOR_GREEN, &c, &add);
  rig.gui->FillIRect(&halfBlue, &d);
  expectPixels(rig.gui, {{5, 5, COLOR_RED},
                         {15, 5, IColor(255, 255, 191, 191)},
                         {25, 5, COLOR_YELLOW},
                         {35, 5, IColor(255, 127, 127, 255)},
                         {45, 5, COLOR_WHITE}});
}

TEST(IGraphicsDrawing, LinesCoverTheirPixelsOnly)
{
  DrawingRig rig;
  rig.gui->DrawLine(&COLOR_BLACK, 5, 20, 15, 20);
  rig.gui->DrawRadialLine(&COLOR_BLUE, 50, 30, 0.0f, 0.0f, 10.0f); // straight up
  IRECT box(60, 10, 70, 20);
  rig.gui->DrawRect(&COLOR_RED, &box);
  expectPixels(rig.gui, {{5, 20, COLOR_BLACK},
                         {15, 20, COLOR_BLACK},
                         {10, 19, COLOR_WHITE},
                         {10, 21, COLOR_WHITE},
                         {50, 21, COLOR_BLUE},
                         {51, 25, COLOR_WHITE},
                         {60, 15, COLOR_RED},
                         {69, 19, COLOR_RED},
                         {65, 15, COLOR_WHITE},
                         {70, 15, COLOR_WHITE}});
}

TEST(IGraphicsDrawing, StatesPickFramesRotationTurnsClockwiseAndGreyedControlsFade)
{
  DrawingRig rig;
  // Red, green and blue frames of 10 x 10 stacked vertically, owned by the cache.
  auto* strip = new LICE_IBitmap(10, 30);
  const unsigned colors[] = {0xffff0000, 0xff00ff00, 0xff0000ff};
  for (int i = 0; i < 3; ++i) paintRect(strip, 0, 10 * i, 10, 10, colors[i]);
  IBitmap frames(strip, 10, 30, 3);
  rig.gui->RetainBitmap(&frames);
  IRECT first(0, 0, 10, 10), also(10, 0, 20, 10), third(20, 0, 30, 10);
  rig.gui->DrawBitmap(&frames, &first, 0);
  rig.gui->DrawBitmap(&frames, &also, 1);
  rig.gui->DrawBitmap(&frames, &third, 3);
  // A quarter turn clockwise moves the top (red) frame to the right.
  rig.gui->DrawRotatedBitmap(&frames, 50, 30, std::numbers::pi / 2);

  auto* control = new IBitmapControl(&rig.plug, 70, 0, EditorPlug::kCutoff, frames);
  rig.gui->AttachControl(control);
  control->GrayOut(true);
  IRECT area = control->GetRECT();
  rig.gui->Draw(&area);
  expectPixels(rig.gui, {{5, 5, COLOR_RED},
                         {15, 5, COLOR_RED},
                         {25, 5, COLOR_BLUE},
                         {62, 30, COLOR_RED},
                         {38, 30, COLOR_BLUE},
                         {75, 5, IColor(255, 255, 191, 191)}});
}

TEST(IGraphicsDrawing, HighResolutionScaleUsesDoubledBitmapsAndKeepsLogicalCoordinates)
{
  const TemporaryFolder folder;
  PngImage red{4, 4, PNG_COLOR_TYPE_RGB, 8, std::vector<unsigned char>(48), {}, {}};
  for (size_t i = 0; i < red.rows.size(); i += 3) red.rows[i] = 255;
  PngImage blue{8, 8, PNG_COLOR_TYPE_RGB, 8, std::vector<unsigned char>(192), {}, {}};
  for (size_t i = 2; i < blue.rows.size(); i += 3) blue.rows[i] = 255;
  ASSERT_TRUE(writePng(folder.path("dot.png"), red) && writePng(folder.path("dot@2x.png"), blue));

  DrawingRig rig(folder.root());
  IBitmap dot = rig.gui->LoadIBitmap(41, "dot.png");
  IRECT at(10, 10, 14, 14);
  rig.gui->DrawBitmap(&dot, &at);
  EXPECT_EQ(rig.gui->GetPoint(11, 11), COLOR_RED);

  rig.gui->SetScale(2.0);
  EXPECT_EQ(rig.gui->GetBitsWidth(), 200);
  IRECT all(0, 0, 100, 60);
  rig.gui->Draw(&all);
  rig.gui->DrawBitmap(&dot, &at);
  EXPECT_EQ(dot.W, 4);
  expectPixels(rig.gui, {{10, 10, COLOR_BLUE}, {13, 13, COLOR_BLUE}, {14, 14, COLOR_WHITE}});
}

TEST(IGraphicsDrawing, TextIsDrawnInsideItsRectangleAndMeasuredByAlignment)
{
  DrawingRig rig;
  IText text(14, COLOR_BLACK, "Arial", IText::kStyleNormal, IText::kAlignFar);
  IRECT box(10, 10, 90, 30);
  ASSERT_TRUE(rig.gui->DrawIText(&text, "Tessaryn", &box));
  int inside = 0, outside = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 100; ++x)
      if (rig.gui->GetPoint(x, y).R < 128) ++(box.Contains(x, y) ? inside : outside);
  EXPECT_GT(inside, 10);
  EXPECT_EQ(outside, 0);

  IRECT measured = box;
  rig.gui->MeasureIText(&text, const_cast<char*>("Tessaryn"), &measured);
  EXPECT_EQ(measured.R, 90);
  EXPECT_GT(measured.W(), 40);
  EXPECT_NEAR(measured.H(), 14, 1);
  EXPECT_TRUE(rig.gui->DrawIText(&text, "", &box));
}

TEST(IGraphicsCaches, ContextsOnTwoThreadsShareOneDecodedBitmapAndOneFont)
{
  const TemporaryFolder folder;
  ASSERT_TRUE(writePng(folder.path("knob.png"), {2, 2, PNG_COLOR_TYPE_GRAY, 8, {1, 2, 3, 4}, {}, {}}));
  const int loadsBefore = TestGraphics::sBitmapLoads;
  LICE_IBitmap* bitmaps[2] = {};
  LICE_CachedFont* fonts[2] = {};
  auto open = [&](int i) {
    EditorPlug plug;
    TestGraphics gui(&plug, 50, 50, 0, folder.root());
    gui.PrepDraw();
    bitmaps[i] = gui.LoadIBitmap(77, "knob.png").mData;
    IText text(11, COLOR_BLACK, "Helvetica");
    fonts[i] = gui.CacheFont(&text);
  };
  std::thread first(open, 0), second(open, 1);
  first.join();
  second.join();
  EXPECT_EQ(TestGraphics::sBitmapLoads - loadsBefore, 1);
  EXPECT_TRUE(bitmaps[0] && bitmaps[0] == bitmaps[1]);
  EXPECT_TRUE(fonts[0] && fonts[0] == fonts[1]);
}
