#include "FileContents.h"
#include "LICE_IBitmap.h"
#include "LICE_PNG.h"
#include "PngFiles.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>
#include <memory>
#include <png.h>

namespace
{
unsigned pixelAt(LICE_IBitmap* bitmap, int x, int y)
{
  bitmap->Flush();
  const auto* row = reinterpret_cast<const unsigned char*>(bitmap->GetBits()) + y * bitmap->GetRowSpan();
  return reinterpret_cast<const unsigned*>(row)[x];
}

struct Decoded
{
  const char* format;
  PngImage image;
  unsigned first, second; // premultiplied ARGB of pixels (0, 0) and (1, 0)
};
} // namespace

TEST(LICE_PNG, EveryColourTypeDecodesToPremultipliedArgb)
{
  const Decoded cases[] = {
      {"grey 1-bit", {8, 1, PNG_COLOR_TYPE_GRAY, 1, {0xa0}, {}, {}}, 0xffffffff, 0xff000000},
      {"palette 4-bit with transparency",
       {2, 1, PNG_COLOR_TYPE_PALETTE, 4, {0x01}, {255, 0, 0, 0, 0, 255}, {255, 0}},
       0xffff0000, 0x00000000},
      {"RGB 16-bit", {2, 1, PNG_COLOR_TYPE_RGB, 16, {0xff, 0xff, 0, 0, 0, 0, 0, 0, 0x80, 0, 0xff, 0xff}, {}, {}},
       0xffff0000, 0xff0080ff},
      {"grey with alpha", {2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {255, 128, 0, 255}, {}, {}}, 0x80808080, 0xff000000},
      {"RGBA", {2, 1, PNG_COLOR_TYPE_RGBA, 8, {0, 255, 0, 255, 255, 255, 255, 0}, {}, {}}, 0xff00ff00, 0x00000000},
  };
  const TemporaryFolder folder;
  for (const Decoded& c : cases)
  {
    const std::string path = folder.path("image.png");
    ASSERT_TRUE(writePng(path, c.image)) << c.format;
    std::unique_ptr<LICE_IBitmap> fromFile(LICE_LoadPNG(path.c_str()));
    const std::string bytes = readFile(path);
    std::unique_ptr<LICE_IBitmap> fromMemory(LICE_LoadPNGFromMemory(bytes.data(), bytes.size(), 2.0));
    ASSERT_TRUE(fromFile && fromMemory) << c.format;
    EXPECT_EQ(fromFile->GetWidth(), c.image.width) << c.format;
    EXPECT_EQ(fromMemory->GetWidth(), (c.image.width + 1) / 2) << c.format; // a "@2x" image keeps its logical size
    EXPECT_EQ(pixelAt(fromFile.get(), 0, 0), c.first) << c.format;
    EXPECT_EQ(pixelAt(fromMemory.get(), 1, 0), c.second) << c.format;
  }
}

TEST(LICE_PNG, DamagedOrMissingFilesGiveNoBitmap)
{
  const TemporaryFolder folder;
  std::vector<unsigned char> rows(64 * 64 * 4, 0x7f);
  ASSERT_TRUE(writePng(folder.path("good.png"), {64, 64, PNG_COLOR_TYPE_RGBA, 8, rows, {}, {}}));
  const std::string good = readFile(folder.path("good.png"));

  const std::string truncated = good.substr(0, good.size() / 2);
  std::string corrupted = good;
  for (size_t i = 60; i < 90; ++i) corrupted[i] ^= 0x5a; // inside the image data: checksums fail
  std::string hugeHeader = good;
  hugeHeader[16] = 0x7f; // width near 2^31
  const std::string notPng("GIF89a\0\0\0\0", 10);

  for (const auto& bytes : {truncated, corrupted, hugeHeader, notPng})
  {
    EXPECT_EQ(LICE_LoadPNGFromMemory(bytes.data(), bytes.size()), nullptr);
    writeFile(folder.path("bad.png"), bytes);
    EXPECT_EQ(LICE_LoadPNG(folder.path("bad.png").c_str()), nullptr);
  }
  EXPECT_EQ(LICE_LoadPNG(folder.path("missing.png").c_str()), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromMemory(good.data(), 7), nullptr);
}
