#include "AUTestHost.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
constexpr AudioUnitScope kGlobal = kAudioUnitScope_Global;
constexpr AudioUnitScope kInput = kAudioUnitScope_Input;

struct InstrumentRenderTest : ::testing::Test
{
  std::unique_ptr<TestInstrument> plug = std::make_unique<TestInstrument>(TestInstanceInfo());
};

// Fills input channel k with the constant k + 1 and counts the pulls.
struct Upstream
{
  int mPulls = 0;
  OSStatus mResult = noErr;
};

OSStatus constantInput(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, uint32_t, uint32_t frames,
                       AudioBufferList* list)
{
  Upstream* upstream = static_cast<Upstream*>(refCon);
  ++upstream->mPulls;
  for (uint32_t k = 0; k < list->mNumberBuffers; ++k)
    for (uint32_t i = 0; i < frames; ++i)
      static_cast<float*>(list->mBuffers[k].mData)[i] = static_cast<float>(k + 1);
  return upstream->mResult;
}

struct EffectRenderTest : ::testing::Test
{
  void SetUp() override
  {
    AudioStreamBasicDescription stereo;
    MakeDefaultASBD(&stereo, 44100.0, 2, false);
    ASSERT_EQ(SetValue(&effect, kAudioUnitProperty_StreamFormat, kInput, 0, stereo), noErr);
    const AURenderCallbackStruct callback = {constantInput, &upstream};
    ASSERT_EQ(SetValue(&effect, kAudioUnitProperty_SetRenderCallback, kInput, 0, callback), noErr);
  }

  TestEffect effect{TestInstanceInfo()};
  Upstream upstream;
};

} // namespace

TEST_F(InstrumentRenderTest, RenderRefusesBadTimeStampsBusesAndBlocksOverTheMaximum)
{
  HostBuffers out(2, 16);
  AudioUnitRenderActionFlags flags = 0;
  AudioTimeStamp noSampleTime = SampleTime(0.0);
  noSampleTime.mFlags = kAudioTimeStampHostTimeValid;
  EXPECT_EQ(IPlugAU::RenderProc(plug.get(), &flags, &noSampleTime, 0, 16, out.List()),
            kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(Render(plug.get(), 0.0, 1, 16, out.List()), kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(Render(plug.get(), 0.0, 0, 1025, out.List()), kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(plug->mProcessCalls, 0);
  EXPECT_EQ(out.Channel(0)[0], 0.0f);
  HostBuffers full(2, 1024);
  EXPECT_EQ(Render(plug.get(), 0.0, 0, 1024, full.List()), noErr);
  EXPECT_FLOAT_EQ(full.Channel(1)[1023], -0.512f);
}

TEST_F(InstrumentRenderTest, ANullOutputPointerReceivesTheScratchBuffer)
{
  HostBuffers out(2, 8);
  out.List()->mBuffers[1].mData = nullptr;
  ASSERT_EQ(Render(plug.get(), 0.0, 0, 8, out.List()), noErr);
  const float* scratch = static_cast<const float*>(out.List()->mBuffers[1].mData);
  ASSERT_NE(scratch, nullptr);
  EXPECT_FLOAT_EQ(scratch[7], -0.004f);
  EXPECT_FLOAT_EQ(out.Channel(0)[7], 0.004f);
}

TEST_F(InstrumentRenderTest, FewerHostBuffersThanChannelsConnectOnlyThatMany)
{
  AudioStreamBasicDescription stereo;
  MakeDefaultASBD(&stereo, 44100.0, 2, false);
  ASSERT_EQ(SetValue(plug.get(), kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, stereo), noErr);
  HostBuffers out(1, 8);
  ASSERT_EQ(Render(plug.get(), 0.0, 0, 8, out.List()), noErr);
  EXPECT_TRUE(plug->IsOutChannelConnected(0));
  EXPECT_FALSE(plug->IsOutChannelConnected(1));
  EXPECT_FLOAT_EQ(out.Channel(0)[0], 0.0005f);
}

TEST_F(EffectRenderTest, InputsPassThroughTheGainAndArePulledOncePerTimeStamp)
{
  HostBuffers out(2, 32);
  ASSERT_EQ(Render(&effect, 0.0, 0, 32, out.List()), noErr);
  ASSERT_EQ(Render(&effect, 0.0, 0, 32, out.List()), noErr);
  EXPECT_EQ(upstream.mPulls, 1);
  EXPECT_EQ(effect.mProcessCalls, 2);
  EXPECT_FLOAT_EQ(out.Channel(0)[31], 0.5f);
  EXPECT_FLOAT_EQ(out.Channel(1)[0], 1.0f);

  ASSERT_EQ(Render(&effect, 32.0, 0, 32, out.List()), noErr);
  EXPECT_EQ(upstream.mPulls, 2);
}

TEST_F(EffectRenderTest, BypassCopiesInputsUnchanged)
{
  ASSERT_EQ(SetValue(&effect, kAudioUnitProperty_BypassEffect, kGlobal, 0, uint32_t{1}), noErr);
  HostBuffers out(2, 16);
  ASSERT_EQ(Render(&effect, 0.0, 0, 16, out.List()), noErr);
  EXPECT_EQ(effect.mProcessCalls, 0);
  EXPECT_FLOAT_EQ(out.Channel(0)[3], 1.0f);
  EXPECT_FLOAT_EQ(out.Channel(1)[3], 2.0f);
}

TEST_F(EffectRenderTest, AnUpstreamErrorEndsTheRenderUnprocessed)
{
  upstream.mResult = -50;
  HostBuffers out(2, 16);
  EXPECT_EQ(Render(&effect, 0.0, 0, 16, out.List()), -50);
  EXPECT_EQ(effect.mProcessCalls, 0);
  upstream.mResult = noErr;
  EXPECT_EQ(Render(&effect, 0.0, 0, 16, out.List()), noErr);
  EXPECT_EQ(upstream.mPulls, 2);
}

TEST(MultiBusInstrumentTest, OnlyTheLastConnectedBusRunsTheInstrumentAndItFillsEveryBus)
{
  TestInstrument plug(TestInstanceInfo(), "0-4");
  HostBuffers first(2, 8), second(2, 8);
  // The first block connects the buses one after the other.
  ASSERT_EQ(Render(&plug, 0.0, 0, 8, first.List()), noErr);
  ASSERT_EQ(Render(&plug, 0.0, 1, 8, second.List()), noErr);
  const int calls = plug.mProcessCalls;

  first.Clear();
  second.Clear();
  ASSERT_EQ(Render(&plug, 8.0, 0, 8, first.List()), noErr);
  EXPECT_EQ(plug.mProcessCalls, calls);
  ASSERT_EQ(Render(&plug, 8.0, 1, 8, second.List()), noErr);
  EXPECT_EQ(plug.mProcessCalls, calls + 1);
  EXPECT_FLOAT_EQ(first.Channel(0)[7], 0.004f);
  EXPECT_FLOAT_EQ(first.Channel(1)[7], -0.004f);
  EXPECT_FLOAT_EQ(second.Channel(0)[7], -0.004f);
  EXPECT_FLOAT_EQ(second.Channel(1)[7], -0.004f);
}
