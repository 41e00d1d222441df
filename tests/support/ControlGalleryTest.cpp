#include "HeadlessControlGallery.h"

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
    HeadlessControlGallery gallery(folder.string(), scale);
    TestGraphics& graphics = *gallery.mGraphics;
    EXPECT_EQ(graphics.GetPoint(5, 5), IColor(255, 0x10, 0x12, 0x14)) << "background, scale " << scale;
    EXPECT_EQ(graphics.GetPoint(268, 184), IColor(255, 0x40, 0xb0, 0x60)) << "switch that is on, scale " << scale;
    EXPECT_EQ(graphics.GetPoint(210, 70), COLOR_RED) << "panel, scale " << scale;

    // The invisible switch turns the lamp and the switch of the same parameter off.
    IMouseMod left(true);
    graphics.OnMouseDown(300, 350, &left);
    graphics.OnMouseUp(300, 350, &left);
    gallery.drawAll();
    EXPECT_EQ(graphics.GetPoint(268, 184), IColor(255, 0x50, 0x56, 0x5e)) << "switch that is off, scale " << scale;
  }
  std::filesystem::remove_all(folder);
}
