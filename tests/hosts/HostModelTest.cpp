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
  EXPECT_EQ(unit->mSelectors, (std::vector<int16_t>{kComponentOpenSelect, kAudioUnitGetPropertySelect,
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
  {
    EXPECT_FLOAT_EQ(left[i], i / 1000.0f) << i;
    EXPECT_EQ(right[i], left[i]);
  }
  ASSERT_EQ(host->Render(outputs, 1, 10), noErr);
  EXPECT_FLOAT_EQ(left[0], 0.150f);
  EXPECT_EQ(host->Render(outputs, HostModel::kMaxChannels + 1, 10), kAudioUnitErr_InvalidPropertyValue);
}

TEST_F(HostModelTest, TheUnitReadsTheFrontEndsTransportWhileRendering)
{
  HostTransport transport;
  transport.mTempo = 98.5;
  transport.mBeat = 12.25;
  transport.mDenominator = 8;
  host->SetTransport(transport);
  float buffer[16];
  float* outputs[] = {buffer};
  host->Render(outputs, 1, 16);
  EXPECT_EQ(unit->mTempo, 98.5);
  EXPECT_EQ(unit->mBeat, 12.25);
  EXPECT_TRUE(unit->mTransportChanged);
  EXPECT_EQ(unit->mDenominator, 8u);

  host->SetTransport(transport);
  host->Render(outputs, 1, 16);
  EXPECT_FALSE(unit->mTransportChanged);
}

TEST_F(HostModelTest, MidiArrivesWithItsSampleOffset)
{
  host->SendMidi(0x90, 60, 100, 300);
  ASSERT_EQ(unit->mMidi.size(), 1u);
  EXPECT_EQ(unit->mMidi[0].data2, 100u);
  EXPECT_EQ(unit->mMidi[0].offset, 300u);
}

TEST_F(HostModelTest, ParameterChangesComeBackToTheFrontEndWithTheirValues)
{
  EXPECT_EQ(host->ParameterCount(), 3u);
  EXPECT_EQ(host->SetParameter(2, 0.75f), noErr);
  float value = 0;
  EXPECT_EQ(host->GetParameter(2, &value), noErr);
  EXPECT_EQ(value, 0.75f);

  AudioUnitParameterEvent events[2] = {};
  events[0] = {kAudioUnitScope_Global, 0, 1, kParameterEvent_Ramped, {}};
  events[1] = {kAudioUnitScope_Global, 0, 0, kParameterEvent_Immediate, {}};
  events[1].eventValues.immediate.value = 0.5f;
  EXPECT_EQ(host->ScheduleParameters(events, 2), noErr);

  unit->moveControl(1, 0.0f);
  EXPECT_EQ(changes, (std::vector<Change>{{2, 0.75f}, {0, 0.5f}, {1, 0.0f}}));
  EXPECT_EQ(gestures, (std::vector<Gesture>{{1, true}, {1, false}}));
}

TEST_F(HostModelTest, ParameterDescriptionsReadAsPlainTexts)
{
  HostParameterInfo info;
  ASSERT_EQ(host->GetParameterInfo(0, info), noErr);
  EXPECT_EQ(info.mName, "Cutoff");
  EXPECT_EQ(info.mUnitName, "Hz");
  ASSERT_EQ(host->GetParameterInfo(1, info), noErr);
  EXPECT_EQ(info.mUnitName, "");
  EXPECT_EQ(host->GetParameterInfo(9, info), kAudioUnitErr_InvalidElement);
  EXPECT_EQ(host->ParameterValueStrings(1), (std::vector<std::string>{"Saw", "Pulse"}));
  EXPECT_TRUE(host->ParameterValueStrings(0).empty());
}

namespace
{
struct Notified
{
  std::vector<AudioUnitRenderActionFlags> flags;
};

OSStatus recordNotify(void* refCon, AudioUnitRenderActionFlags* flags, const AudioTimeStamp*, uint32_t, uint32_t,
                      AudioBufferList*)
{
  static_cast<Notified*>(refCon)->flags.push_back(*flags);
  return noErr;
}
} // namespace

TEST_F(HostModelTest, RenderNotificationsAndClosingReachTheUnit)
{
  Notified notified;
  EXPECT_EQ(host->AddRenderNotify(recordNotify, &notified), noErr);
  float buffer[8];
  float* outputs[] = {buffer};
  host->Render(outputs, 1, 8);
  EXPECT_EQ(notified.flags, (std::vector<AudioUnitRenderActionFlags>{kAudioUnitRenderAction_PreRender}));
  host->Close();
  EXPECT_FALSE(host->IsOpen());
}
