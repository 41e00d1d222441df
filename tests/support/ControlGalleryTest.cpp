#include "ControlGallery.h"

#include "TestGraphics.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

TEST(ControlGallery, DrawsFromItsOwnPngFilesAtOneAndTwoTimes)
{
  const auto folder = std::filesystem::temp_directory_path() / ("gallery-test-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  ASSERT_TRUE(WriteControlGalleryBitmaps(folder.string()));
  for (double scale : {1.0, 2.0})
  {
    ControlGalleryPlug plug;
    auto* pGraphics = new TestGraphics(&plug, kControlGalleryWidth, kControlGalleryHeight, 0, folder.string());
    pGraphics->SetScale(scale);
    AttachControlGallery(*pGraphics, "");
    plug.AttachGraphics(pGraphics);
    IRECT all(0, 0, kControlGalleryWidth, kControlGalleryHeight);
    pGraphics->Draw(&all);
    EXPECT_EQ(pGraphics->GetPoint(5, 5), IColor(255, 0x10, 0x12, 0x14)) << "background, scale " << scale;
    EXPECT_EQ(pGraphics->GetPoint(268, 184), IColor(255, 0x40, 0xb0, 0x60)) << "switch that is on, scale " << scale;
    EXPECT_EQ(pGraphics->GetPoint(210, 70), COLOR_RED) << "panel, scale " << scale;

    // The invisible switch turns the lamp and the switch of the same parameter off.
    IMouseMod left(true);
    pGraphics->OnMouseDown(300, 350, &left);
    pGraphics->OnMouseUp(300, 350, &left);
    pGraphics->Draw(&all);
    EXPECT_EQ(pGraphics->GetPoint(268, 184), IColor(255, 0x50, 0x56, 0x5e)) << "switch that is off, scale " << scale;
  }
  std::filesystem::remove_all(folder);
}
