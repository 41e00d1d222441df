// What a host may hand the adapter that it must not take: values and sizes
// the render cannot follow while initialised, NaN values and null records.

#include "AUTestHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace
{
constexpr AudioUnitScope kGlobal = kAudioUnitScope_Global;

struct HostRecordsTest : ::testing::Test
{
  std::unique_ptr<TestInstrument> plug = std::make_unique<TestInstrument>(TestInstanceInfo());
};
} // namespace

TEST_F(HostRecordsTest, RateAndBlockSizeChangeOnlyWhileUninitialised)
{
  AudioStreamBasicDescription format;
  MakeDefaultASBD(&format, 96000.0, 2, false);
  ASSERT_EQ(CallEntry(plug.get(), kAudioUnitInitializeSelect), noErr);
  EXPECT_EQ(SetValue(plug.get(), kAudioUnitProperty_SampleRate, kGlobal, 0, 48000.0), kAudioUnitErr_Initialized);
  EXPECT_EQ(SetValue(plug.get(), kAudioUnitProperty_MaximumFramesPerSlice, kGlobal, 0, 512u),
            kAudioUnitErr_Initialized);
  EXPECT_EQ(SetValue(plug.get(), kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, format),
            kAudioUnitErr_Initialized);
  EXPECT_EQ(plug->GetSampleRate(), 44100.0);
  EXPECT_EQ(plug->GetBlockSize(), 1024);
  EXPECT_EQ(plug->mResets, 0);
  ASSERT_EQ(CallEntry(plug.get(), kAudioUnitUninitializeSelect), noErr);
  EXPECT_EQ(SetValue(plug.get(), kAudioUnitProperty_SampleRate, kGlobal, 0, 48000.0), noErr);
}

TEST_F(HostRecordsTest, ABlockSizeWhoseBuffersCannotBeAllocatedKeepsTheOldOne)
{
  EXPECT_EQ(SetValue(plug.get(), kAudioUnitProperty_MaximumFramesPerSlice, kGlobal, 0, uint32_t(270000000)),
            kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(plug->GetBlockSize(), 1024);
  HostBuffers out(2, 1024);
  EXPECT_EQ(Render(plug.get(), 0.0, 0, 1024, out.List()), noErr);
  EXPECT_EQ(Render(plug.get(), 1024.0, 0, 4096, out.List()), kAudioUnitErr_InvalidPropertyValue);
}

TEST_F(HostRecordsTest, NaNValuesAndNullRecordsAreRefused)
{
  const AudioTimeStamp stamp = SampleTime(0.0);
  AudioUnitRenderActionFlags flags = 0;
  HostBuffers out(2, 64);
  const float nan = std::nanf("");
  AudioUnitParameterEvent nanEvent = {kGlobal, 0, kLevel, kParameterEvent_Immediate, {}};
  nanEvent.eventValues.immediate = {0, nan};
  const struct
  {
    const char* what;
    ComponentResult result;
  } cases[] = {
      {"NaN parameter",
       CallEntry(plug.get(), kAudioUnitSetParameterSelect, {kLevel, kGlobal, 0, ComponentArgFromFloat(nan), 0})},
      {"NaN scheduled parameter", CallEntry(plug.get(), kAudioUnitScheduleParametersSelect, {Arg(&nanEvent), 1})},
      {"null parameter events", CallEntry(plug.get(), kAudioUnitScheduleParametersSelect, {0, 3})},
      {"null parameter output", CallEntry(plug.get(), kAudioUnitGetParameterSelect, {kLevel, kGlobal, 0, 0})},
      {"NaN sample rate", SetValue(plug.get(), kAudioUnitProperty_SampleRate, kGlobal, 0, std::nan(""))},
      {"null time stamp", CallEntry(plug.get(), kAudioUnitRenderSelect, {Arg(&flags), 0, 0, 64, Arg(out.List())})},
      {"null buffer list", CallEntry(plug.get(), kAudioUnitRenderSelect, {Arg(&flags), Arg(&stamp), 0, 64, 0})},
      {"null note parameters", CallEntry(plug.get(), kMusicDeviceStartNoteSelect, {0, 0, Arg(&flags), 0, 0})},
      {"null system exclusive", CallEntry(plug.get(), kMusicDeviceSysExSelect, {0, 16})},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.result, kAudioUnitErr_InvalidPropertyValue) << c.what;
  EXPECT_EQ(plug->GetParam(kLevel)->Value(), plug->GetParam(kLevel)->GetDefault());
  EXPECT_EQ(plug->GetSampleRate(), 44100.0);
  EXPECT_TRUE(plug->mMidi.empty());
}
