// What a host may hand the adapter that it must not take: values and sizes
// the render cannot follow while initialised, NaN values and null records.

#include "TestPlugins.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <memory>
#include <utility>

namespace
{
constexpr AudioUnitScope kGlobal = kAudioUnitScope_Global;

const auto Arg = [](auto* pointer) { return reinterpret_cast<intptr_t>(pointer); };

struct HostRecordsTest : ::testing::Test
{
  // Calls the entry as the host does after open, with storage = the object.
  ComponentResult call(int what, std::initializer_list<intptr_t> args = {})
  {
    ComponentParameters params = {};
    params.what = static_cast<int16_t>(what);
    params.paramCount = static_cast<int32_t>(args.size());
    params.params[0] = reinterpret_cast<intptr_t>(plug->GetComponentInstance());
    int i = 1;
    for (intptr_t arg : args)
      params.params[i++] = arg;
    return IPlugAU::IPlugAUEntry(&params, plug.get(), nullptr);
  }

  template <class T> ComponentResult set(AudioUnitPropertyID id, AudioUnitScope scope, const T& value)
  {
    return call(kAudioUnitSetPropertySelect, {id, scope, 0, Arg(&value), sizeof(T)});
  }

  ComponentResult render(double sampleTime, int nFrames)
  {
    AudioUnitRenderActionFlags flags = 0;
    stamp.mSampleTime = sampleTime;
    return call(kAudioUnitRenderSelect, {Arg(&flags), Arg(&stamp), 0, nFrames, Arg(out.Get())});
  }

  void SetUp() override
  {
    stamp.mFlags = kAudioTimeStampSampleTimeValid;
    out.Get()->mNumberBuffers = 2;
    for (int k = 0; k < 2; ++k)
      out.Get()->mBuffers[k] = {1, sizeof(samples[k]), samples[k]};
  }

  std::unique_ptr<TestInstrument> plug = std::make_unique<TestInstrument>(TestInstanceInfo());
  AudioTimeStamp stamp = {};
  AudioBufferList128 out = {};
  float samples[2][1024] = {};
};
} // namespace

TEST_F(HostRecordsTest, RateAndBlockSizeChangeOnlyWhileUninitialised)
{
  AudioStreamBasicDescription format;
  MakeDefaultASBD(&format, 96000.0, 2, false);
  ASSERT_EQ(call(kAudioUnitInitializeSelect), noErr);
  EXPECT_EQ(set(kAudioUnitProperty_SampleRate, kGlobal, 48000.0), kAudioUnitErr_Initialized);
  EXPECT_EQ(set(kAudioUnitProperty_MaximumFramesPerSlice, kGlobal, 512u), kAudioUnitErr_Initialized);
  EXPECT_EQ(set(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, format), kAudioUnitErr_Initialized);
  EXPECT_EQ(plug->GetSampleRate(), 44100.0);
  EXPECT_EQ(plug->GetBlockSize(), 1024);
  EXPECT_EQ(plug->mResets, 0);
  ASSERT_EQ(call(kAudioUnitUninitializeSelect), noErr);
  EXPECT_EQ(set(kAudioUnitProperty_SampleRate, kGlobal, 48000.0), noErr);
}

TEST_F(HostRecordsTest, ABlockSizeWhoseBuffersCannotBeAllocatedKeepsTheOldOne)
{
  EXPECT_EQ(set(kAudioUnitProperty_MaximumFramesPerSlice, kGlobal, uint32_t(270000000)),
            kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(plug->GetBlockSize(), 1024);
  EXPECT_EQ(render(0.0, 1024), noErr);
  EXPECT_EQ(render(1024.0, 4096), kAudioUnitErr_InvalidPropertyValue);
}

TEST_F(HostRecordsTest, NaNValuesAndNullRecordsAreRefused)
{
  AudioUnitRenderActionFlags flags = 0;
  const float nan = std::nanf("");
  AudioUnitParameterEvent nanEvent = {kGlobal, 0, kLevel, kParameterEvent_Immediate, {}};
  nanEvent.eventValues.immediate = {0, nan};
  const std::pair<const char*, ComponentResult> cases[] = {
      {"NaN parameter", call(kAudioUnitSetParameterSelect, {kLevel, kGlobal, 0, ComponentArgFromFloat(nan), 0})},
      {"NaN scheduled parameter", call(kAudioUnitScheduleParametersSelect, {Arg(&nanEvent), 1})},
      {"null parameter events", call(kAudioUnitScheduleParametersSelect, {0, 3})},
      {"null parameter output", call(kAudioUnitGetParameterSelect, {kLevel, kGlobal, 0, 0})},
      {"NaN sample rate", set(kAudioUnitProperty_SampleRate, kGlobal, std::nan(""))},
      {"null time stamp", call(kAudioUnitRenderSelect, {Arg(&flags), 0, 0, 64, Arg(out.Get())})},
      {"null buffer list", call(kAudioUnitRenderSelect, {Arg(&flags), Arg(&stamp), 0, 64, 0})},
      {"null note parameters", call(kMusicDeviceStartNoteSelect, {0, 0, Arg(&flags), 0, 0})},
      {"null system exclusive", call(kMusicDeviceSysExSelect, {0, 16})},
  };
  for (const auto& [what, result] : cases)
    EXPECT_EQ(result, kAudioUnitErr_InvalidPropertyValue) << what;
  EXPECT_EQ(plug->GetParam(kLevel)->Value(), plug->GetParam(kLevel)->GetDefault());
  EXPECT_EQ(plug->GetSampleRate(), 44100.0);
  EXPECT_TRUE(plug->mMidi.empty());
}
