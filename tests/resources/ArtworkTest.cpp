// The editor's images as the build leaves them: every bitmap the panel loads
// is there at both scales, as a vertical strip of the right number of frames,
// each frame small enough for the place the panel gives the control.

#include "FileContents.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace
{
struct Size
{
  int width = 0, height = 0;
};

// The size from a PNG's header; zero when the file is missing or no PNG.
Size pngSize(const std::string& path)
{
  const std::string header = readFile(path);
  if (header.size() < 24 || header.compare(1, 3, "PNG") != 0) return {};
  const auto byte = [&](int at) { return uint32_t(uint8_t(header[at])); };
  const auto word = [&](int at) { return int(byte(at) << 24 | byte(at + 1) << 16 | byte(at + 2) << 8 | byte(at + 3)); };
  return {word(16), word(20)};
}

struct Expected
{
  std::vector<const char*> stems; // images of one kind, alike in size
  int frames;
  Size least, most; // one frame at scale 1
};

// The largest sizes are the room between neighbours on the panel, e.g. a
// knob must clear the switch 55 pixels to its right, a selector the voice
// lamp 49 pixels beneath it, a blind the MIDI-learn switch.
const Expected kImages[] = {
    {{"back"}, 1, {1096, 395}, {1096, 395}},
    {{"knob", "knob_white"}, 65, {24, 24}, {55, 74}},
    {{"switch", "switch_white"}, 4, {24, 24}, {60, 49}},
    {{"switch2"}, 2, {8, 16}, {47, 49}},
    {{"switch3"}, 3, {8, 24}, {46, 57}},
    {{"button_off", "button_on", "button_white_off", "button_white_on", "button_orange_off", "button_orange_on"},
     2,
     {20, 20},
     {38, 62}},
    {{"led"}, 1, {6, 6}, {24, 24}},
    {{"prev"}, 2, {10, 10}, {18, 30}},
    {{"next"}, 2, {10, 10}, {21, 30}},
    {{"midilearn", "midiunlearn"}, 2, {40, 12}, {117, 37}},
    {{"tweak_off", "tweak_on"}, 1, {20, 12}, {80, 35}},
    {{"blind_left"}, 1, {413, 85}, {463, 85}},
    {{"blind_right"}, 1, {266, 85}, {266, 85}},
};

TEST(Artwork, EveryImageIsAStripOfFramesThatFitsItsPlaceAtBothScales)
{
  for (const Expected& kind : kImages)
    for (const char* name : kind.stems)
    {
      SCOPED_TRACE(name);
      const std::string stem = std::string(ARTWORK_DIR) + "/" + name;
      const Size one = pngSize(stem + ".png");
      const Size two = pngSize(stem + "@2x.png");
      ASSERT_GT(one.height, 0);
      EXPECT_EQ(one.height % kind.frames, 0);
      const Size frame{one.width, one.height / kind.frames};
      EXPECT_GE(frame.width, kind.least.width);
      EXPECT_LE(frame.width, kind.most.width);
      EXPECT_GE(frame.height, kind.least.height);
      EXPECT_LE(frame.height, kind.most.height);
      EXPECT_EQ(two.width, 2 * one.width);
      EXPECT_EQ(two.height, 2 * one.height);
    }
}
} // namespace
