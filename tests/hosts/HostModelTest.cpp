#include "HostModel.h"

#include "FakeComponent.h"
#include "HostRecorder.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
struct HostModelTest : ::testing::Test, HostRecorder
{
  void SetUp() override
  {
    ASSERT_EQ(OpenHost(RegisterFakeComponent()), noErr);
    unit = FakeUnitOf(host->Unit());
  }

  FakeUnit* unit = nullptr;
};
} // namespace

TEST_F(HostModelTest, OpeningHandsTheUnitTheTransportProceduresAndFetchesTheFastRenderProcedure)
{
  // The second property request is for the fast MIDI procedure.
  EXPECT_EQ(unit->mSelectors,
            (std::vector<int16_t>{kComponentOpenSelect, kAudioUnitGetPropertySelect, kAudioUnitGetPropertySelect,
                                  kAudioUnitSetPropertySelect, kAudioUnitAddPropertyListenerSelect}));
  EXPECT_EQ(unit->mHost.hostUserData, &*host);
  EXPECT_NE(unit->mHost.transportStateProc, nullptr);
}

TEST_F(HostModelTest, ConfigurationReachesTheUnitAsSampleRateFramesAndFloatFormat)
{
  EXPECT_EQ(host->SetSampleRate(48000.0), noErr);
  EXPECT_EQ(host->SetMaxFrames(256), noErr);
  EXPECT_EQ(host->SetStreamFormat(kAudioUnitScope_Output, 0, 2), noErr);
  EXPECT_EQ(host->Initialize(), noErr);
  EXPECT_EQ(unit->mSampleRate, 48000.0);
  EXPECT_EQ(unit->mMaxFrames, 256u);
  const AudioStreamBasicDescription& format = unit->mOutputFormat;
  EXPECT_EQ(format.mSampleRate, 48000.0);
  EXPECT_EQ(format.mFormatFlags, 41u); // float, packed, non-interleaved
  EXPECT_EQ(format.mChannelsPerFrame, 2u);
  EXPECT_EQ(unit->mSelectors.back(), kAudioUnitInitializeSelect);
  EXPECT_EQ(host->SetStreamFormat(kAudioUnitScope_Input, 0, 2), kAudioUnitErr_InvalidProperty);
}

TEST_F(HostModelTest, RenderingSplitsLongBlocksAndAdvancesTheSampleTime)
{
  host->SetMaxFrames(64);
  std::vector<float> left(150), right(150);
  float* outputs[] = {left.data(), right.data()};
  ASSERT_EQ(host->Render(outputs, 2, 150), noErr);
  EXPECT_EQ(unit->mRenderTimes, (std::vector<double>{0, 64, 128}));
  EXPECT_EQ(host->SampleTime(), 150.0);
  for (int i : {0, 63, 64, 149})
    EXPECT_FLOAT_EQ(right[i], i / 1000.0f) << i;
  ASSERT_EQ(host->Render(outputs, 1, 10), noErr);
  EXPECT_FLOAT_EQ(left[0], 0.150f);
  EXPECT_EQ(host->Render(outputs, HostModel::kMaxChannels + 1, 10), kAudioUnitErr_InvalidPropertyValue);
}
