// The same MIDI gives the same samples whatever blocks the host cuts: the LV2
// run call against the host model's render in long blocks.

#include "HostModel.h"
#include "Lv2TestHost.h"
#include "TessarynEntry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
constexpr const char* kUri = "urn:pellworth:tessaryn";
constexpr double kRate = 44100.0; // 44-frame ticks: no block size below is a multiple
constexpr uint32_t kLength = 20000;
const std::string kBundle = std::string(TESSARYN_LV2_DIR) + "/tessaryn.lv2/";

// Legato and repeated notes, a chord, a note-off and note-on on one frame,
// messages on the tick grid (4400, 11000) and across every block boundary.
const std::vector<Lv2TestMidi> kSong = {
    {50, 0x90, 48, 100},  {2500, 0xB0, 1, 64},    {4400, 0x90, 55, 90},  {4501, 0x80, 48, 0},  {6667, 0xE0, 0, 80},
    {8500, 0x80, 55, 0},  {8500, 0x90, 60, 127},  {10239, 0x90, 64, 70}, {11000, 0xE0, 0, 64}, {13000, 0x80, 60, 0},
    {13021, 0x90, 64, 0}, {15000, 0x91, 67, 110}, {16667, 0xB0, 1, 0},   {18000, 0x81, 67, 0},
};

// Calls play(offset within the block, message) for the song's messages in
// each block, then render(block length).
template <class Play, class Render> void playInBlocks(uint32_t blockSize, Play play, Render render)
{
  auto next = kSong.begin();
  for (uint32_t start = 0; start < kLength; start += blockSize)
  {
    const uint32_t frames = std::min(blockSize, kLength - start);
    for (; next != kSong.end() && next->mFrame < start + frames; ++next)
      play(next->mFrame - start, *next);
    render(frames);
  }
}

std::vector<float> throughHostModel(const std::string& program, uint32_t blockSize)
{
  HostModel model;
  if (model.Open(registerTessarynComponent(kBundle.c_str())) != noErr || model.SetSampleRate(kRate) != noErr ||
      model.SetMaxFrames(blockSize) != noErr || model.SetStreamFormat(kAudioUnitScope_Output, 0, 2) != noErr ||
      model.Initialize() != noErr)
    return {};
  for (const HostPreset& preset : model.FactoryPresets())
    if (preset.mName == program) model.SelectPreset(preset.mNumber);

  std::vector<float> left, block(blockSize), right(blockSize);
  playInBlocks(
      blockSize, [&](uint32_t offset, const Lv2TestMidi& m) { model.SendMidi(m.mStatus, m.mData1, m.mData2, offset); },
      [&](uint32_t frames)
      {
        float* outputs[] = {block.data(), right.data()};
        model.Render(outputs, 2, frames);
        left.insert(left.end(), block.begin(), block.begin() + frames);
      });
  return left;
}

std::vector<float> throughLv2(const std::string& program, uint32_t blockSize)
{
  Lv2TestHost host(kUri);
  if (!host.Instantiate(kRate, static_cast<int32_t>(blockSize))) return {};
  LilvState* preset = host.Preset(program);
  if (!preset) return {};
  // The program alone, as the host model selects it: port values given as
  // floats would round its settings.
  lilv_state_restore(preset, host.Instance(), nullptr, nullptr, 0, nullptr);
  lilv_state_free(preset);
  playInBlocks(
      blockSize, [&](uint32_t offset, const Lv2TestMidi& m) { host.Midi(offset, m.mStatus, m.mData1, m.mData2); },
      [&](uint32_t frames) { host.Run(frames); });
  return host.Left();
}
} // namespace

TEST(BlockSizeInvariance, TheSameMidiRendersTheSameSamplesAtEveryBlockSize)
{
  for (const char* program : {"Init", "Fat Saw Bass", "Glide Lead"})
  {
    const std::vector<float> reference = throughHostModel(program, 4096);
    ASSERT_EQ(reference.size(), kLength) << program;
    ASSERT_TRUE(std::any_of(reference.begin(), reference.end(), [](float s) { return s != 0.0f; })) << program;
    // The LV2 run call renders through a host model in the host's own blocks.
    for (const uint32_t blockSize : {1u, 7u, 64u, 256u, 1000u, 4096u})
      EXPECT_EQ(throughLv2(program, blockSize), reference) << program << " " << blockSize;
  }
}
