// The test bundle running in a lilv host: long blocks, edge-triggered ports,
// time positions.

#include "Lv2TestHost.h"
#include "ProbeInstrument.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
constexpr const char* kUri = "urn:example:tessaryn-test-instrument";
constexpr double kRate = 48000.0;
constexpr float kDefaultLevel = 0.5f;

float noteLevel(int note, float level = kDefaultLevel)
{
  return level * float(note + 1) / 128.0f;
}

struct Lv2RunTest : ::testing::Test
{
  Lv2TestHost host{kUri};

  void SetUp() override { ASSERT_TRUE(host.Instantiate(kRate, 4096)); }
};

} // namespace

TEST(Lv2LongBlocks, BlocksLongerThanTheInstrumentsSliceAreRenderedInSlices)
{
  Lv2TestHost host(kUri);
  ASSERT_TRUE(host.Instantiate(kRate, 20000));
  host.Midi(9000, 0x90, 64, 100);
  host.Midi(19999, 0x80, 64, 0);
  host.Run(20000);
  ASSERT_EQ(host.Left().size(), 20000u);
  EXPECT_EQ(host.Left()[8999], 0.0f);
  EXPECT_EQ(host.Left()[9000], noteLevel(64));
  EXPECT_EQ(host.Left()[19999], 0.0f);
}

TEST_F(Lv2RunTest, APortReachesTheInstrumentOnlyWhenTheHostChangesIt)
{
  host.Midi(0, 0x90, 127, 100);
  host.Run(64);
  EXPECT_EQ(host.Left().at(10), noteLevel(127));

  // A program chosen inside the instrument: the stale port must not undo it.
  LilvState* loud = host.Preset("Loud");
  ASSERT_NE(loud, nullptr);
  lilv_state_restore(loud, host.Instance(), nullptr, nullptr, 0, nullptr);
  lilv_state_free(loud);
  host.ClearOutput();
  host.Run(64);
  EXPECT_EQ(host.Left().at(10), noteLevel(127, 1.0f));

  host.SetControl(0, 0.25f);
  host.ClearOutput();
  host.Run(64);
  EXPECT_EQ(host.Left().at(10), noteLevel(127, 0.25f));
}

TEST_F(Lv2RunTest, TimePositionsReachTheTransportAtTheirFrames)
{
  using Frame = ProbeInstrument::ETransportFrame;
  host.Position(0, {140.0, 2, 1.5f, 3.0f, 4, 1.0f});
  host.Run(256);
  const std::vector<float>& right = host.Right();
  EXPECT_EQ(right[Frame::kTempoFrame], 140.0f);
  EXPECT_EQ(right[Frame::kBeatFrame], 7.5f); // two bars of three beats, and a half
  EXPECT_EQ(right[Frame::kNumeratorFrame], 3.0f);
  EXPECT_EQ(right[Frame::kPlayingFrame], 1.0f);
}
