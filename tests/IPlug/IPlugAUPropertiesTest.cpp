#include "AUTestHost.h"

#include "PropertyList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
constexpr AudioUnitScope kGlobal = kAudioUnitScope_Global;
constexpr AudioUnitScope kInput = kAudioUnitScope_Input;
constexpr AudioUnitScope kOutput = kAudioUnitScope_Output;

struct PropertiesTest : ::testing::Test
{
  std::unique_ptr<TestInstrument> plug = std::make_unique<TestInstrument>(TestInstanceInfo());
};

// Takes ownership of the string, as property getters hand it to the caller.
std::string text(CFStringRef string)
{
  if (!string) return "(null)";
  std::string result = CFStringGetCStringPtr(string, kCFStringEncodingUTF8);
  CFRelease(string);
  return result;
}

// Starts from a poisoned value so that a getter which writes nothing fails.
template <class T> T valueOf(IPlugAU* plug, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element = 0)
{
  T value;
  memset(&value, 0xAB, sizeof(value));
  EXPECT_EQ(GetValue(plug, id, scope, element, &value), noErr) << "property " << id;
  return value;
}

CFStringRef makeString(const char* s)
{
  return CFStringCreateWithCString(nullptr, s, kCFStringEncodingUTF8);
}
} // namespace

TEST_F(PropertiesTest, PropertyInfoAnswersAsTabled)
{
  const struct
  {
    AudioUnitPropertyID id;
    AudioUnitScope scope;
    AudioUnitElement element;
    ComponentResult result;
    uint32_t size;
    bool writable;
  } rows[] = {
      {kAudioUnitProperty_ClassInfo, kOutput, 0, noErr, 8, true},
      {kAudioUnitProperty_MakeConnection, kInput, 0, noErr, 16, true},
      {kAudioUnitProperty_ParameterList, kGlobal, 0, noErr, 4 * kNTestInstrumentParams, false},
      {kAudioUnitProperty_ParameterInfo, kGlobal, kNTestInstrumentParams, kAudioUnitErr_InvalidElement, 0xDEAD, false},
      {kAudioUnitProperty_StreamFormat, kOutput, 0, noErr, 40, true},
      {kAudioUnitProperty_StreamFormat, kInput, 0, kAudioUnitErr_InvalidProperty, 0xDEAD, false},
      {kAudioUnitProperty_ParameterValueStrings, kGlobal, kLevel, kAudioUnitErr_InvalidProperty, 0, false},
      {kAudioUnitProperty_AudioChannelLayout, kOutput, 0, kAudioUnitErr_InvalidPropertyValue, 0xDEAD, false},
  };
  for (const auto& row : rows)
  {
    const PropertyInfo info = GetInfo(plug.get(), row.id, row.scope, row.element);
    EXPECT_EQ(info.mResult, row.result) << "property " << row.id << " scope " << row.scope;
    EXPECT_EQ(info.mSize, row.size) << "property " << row.id << " scope " << row.scope;
    EXPECT_EQ(info.mWritable, row.writable) << "property " << row.id << " scope " << row.scope;
  }
}

TEST_F(PropertiesTest, ParameterInfoReportsFlagsUnitsRangesAndClumps)
{
  plug->GetParam(kLevel)->Set(0.25);
  const struct
  {
    int param;
    uint32_t flags;
    AudioUnitParameterUnit unit;
    const char* unitName;
    float min, max, current;
    uint32_t clump;
  } rows[] = {
      {kLevel, 0xC8100010, kAudioUnitParameterUnit_Generic, nullptr, 0.0f, 1.0f, 0.25f, 1},
      {kCutoff, 0xE8000010, kAudioUnitParameterUnit_CustomUnit, "Hz", 20.0f, 20000.0f, 1000.0f, 0},
  };
  for (const auto& row : rows)
  {
    AudioUnitParameterInfo info;
    memset(&info, 0xAB, sizeof(info));
    ASSERT_EQ(GetValue(plug.get(), kAudioUnitProperty_ParameterInfo, kGlobal, row.param, &info), noErr);
    EXPECT_EQ(info.flags, row.flags) << row.param;
    EXPECT_EQ(info.unit, row.unit) << row.param;
    EXPECT_FLOAT_EQ(info.minValue, row.min);
    EXPECT_FLOAT_EQ(info.maxValue, row.max);
    EXPECT_FLOAT_EQ(info.defaultValue, row.current);
    EXPECT_EQ(info.clumpID, row.clump) << row.param;
    const std::string name = plug->GetParam(row.param)->GetNameForHost();
    EXPECT_EQ(std::string(info.name), name);
    EXPECT_EQ(text(info.cfNameString), name);
    if (row.unitName)
      EXPECT_EQ(text(info.unitName), row.unitName);
    else
      EXPECT_EQ(info.unitName, nullptr);
  }

  AudioUnitParameterNameInfo clump = {1, kAudioUnitParameterName_Full, nullptr};
  ASSERT_EQ(GetValue(plug.get(), kAudioUnitProperty_ParameterClumpName, kGlobal, 0, &clump), noErr);
  EXPECT_EQ(text(clump.outName), "Amp");
  clump.inID = 0;
  EXPECT_EQ(GetValue(plug.get(), kAudioUnitProperty_ParameterClumpName, kGlobal, 0, &clump),
            kAudioUnitErr_PropertyNotInUse);
  clump.inID = 3;
  EXPECT_EQ(GetValue(plug.get(), kAudioUnitProperty_ParameterClumpName, kGlobal, 0, &clump),
            kAudioUnitErr_InvalidElement);
}

TEST_F(PropertiesTest, ParameterStringFromValueUsesDisplayTextsAndPrecision)
{
  const struct
  {
    AudioUnitParameterID param;
    float value;
    const char* display;
  } rows[] = {{kWave, 1.0f, "saw"}, {kDetune, 0.5f, "-0.50"}};
  for (const auto& row : rows)
  {
    AudioUnitParameterStringFromValue request = {row.param, &row.value, nullptr};
    ASSERT_EQ(GetValue(plug.get(), kAudioUnitProperty_ParameterStringFromValue, kGlobal, 0, &request), noErr);
    EXPECT_EQ(text(request.outString), row.display);
  }
  const float value = 0.0f;
  AudioUnitParameterStringFromValue outOfRange = {kNTestInstrumentParams, &value, nullptr};
  EXPECT_EQ(GetValue(plug.get(), kAudioUnitProperty_ParameterStringFromValue, kGlobal, 0, &outOfRange),
            kAudioUnitErr_InvalidElement);
}

TEST_F(PropertiesTest, ParameterValueFromStringMapsTextsAndNumbers)
{
  const struct
  {
    AudioUnitParameterID param;
    const char* text;
    float value;
  } rows[] = {{kWave, "pulse", 2.0f}, {kWave, "Pulse", -7.0f}, {kDetune, "0.3", -0.3f}};
  for (const auto& row : rows)
  {
    CFStringRef string = makeString(row.text);
    AudioUnitParameterValueFromString request = {row.param, string, -7.0f};
    EXPECT_EQ(GetValue(plug.get(), kAudioUnitProperty_ParameterValueFromString, kGlobal, 0, &request), noErr);
    EXPECT_FLOAT_EQ(request.outValue, row.value) << row.text;
    CFRelease(string);
  }
  AudioUnitParameterValueFromString outOfRange = {kNTestInstrumentParams, nullptr, 0.0f};
  EXPECT_EQ(GetValue(plug.get(), kAudioUnitProperty_ParameterValueFromString, kGlobal, 0, &outOfRange),
            kAudioUnitErr_InvalidElement);
}

TEST_F(PropertiesTest, ElementNamesComeFromTheBusLabels)
{
  TestEffect effect(TestInstanceInfo());
  const struct
  {
    IPlugAU* unit;
    AudioUnitScope scope;
    AudioUnitElement element;
    ComponentResult result;
    const char* name;
  } rows[] = {{plug.get(), kOutput, 0, noErr, "output 1"},
              {plug.get(), kOutput, 1, kAudioUnitErr_InvalidElement, nullptr},
              {plug.get(), kGlobal, 0, kAudioUnitErr_InvalidScope, nullptr},
              {&effect, kInput, 1, noErr, "aux input"}};
  for (const auto& row : rows)
  {
    CFStringRef name = nullptr;
    EXPECT_EQ(GetValue(row.unit, kAudioUnitProperty_ElementName, row.scope, row.element, &name), row.result)
        << "scope " << row.scope << " element " << row.element;
    if (row.name)
    {
      EXPECT_EQ(text(name), row.name);
    }
  }
}

TEST_F(PropertiesTest, StreamFormatsAreAcceptedOnlyForLegalFloatPCM)
{
  auto format = valueOf<AudioStreamBasicDescription>(plug.get(), kAudioUnitProperty_StreamFormat, kOutput);
  EXPECT_EQ(format.mChannelsPerFrame, 2u);
  EXPECT_EQ(format.mFormatFlags, kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved);

  AudioStreamBasicDescription integer = format;
  integer.mFormatFlags = kAudioFormatFlagIsNonInterleaved;
  EXPECT_EQ(SetValue(plug.get(), kAudioUnitProperty_StreamFormat, kOutput, 0, integer), kAudioUnitErr_InvalidProperty);
  format = valueOf<AudioStreamBasicDescription>(plug.get(), kAudioUnitProperty_StreamFormat, kOutput);
  EXPECT_EQ(format.mChannelsPerFrame, 0u);

  AudioStreamBasicDescription stereo;
  MakeDefaultASBD(&stereo, 48000.0, 2, false);
  const int resets = plug->mResets;
  EXPECT_EQ(SetValue(plug.get(), kAudioUnitProperty_StreamFormat, kOutput, 0, stereo), noErr);
  EXPECT_DOUBLE_EQ(plug->GetSampleRate(), 48000.0);
  EXPECT_EQ(plug->mResets, resets + 1);
}

TEST_F(PropertiesTest, SampleRateBlockSizeAndBypassChangesResetThePlugIn)
{
  const int resets = plug->mResets;
  EXPECT_EQ(SetValue(plug.get(), kAudioUnitProperty_SampleRate, kGlobal, 0, 96000.0), noErr);
  EXPECT_DOUBLE_EQ(plug->GetSampleRate(), 96000.0);
  EXPECT_EQ(plug->mResets, resets + 2);
  EXPECT_EQ(SetValue(plug.get(), kAudioUnitProperty_MaximumFramesPerSlice, kGlobal, 0, uint32_t{256}), noErr);
  EXPECT_EQ(plug->GetBlockSize(), 256);
  EXPECT_EQ(plug->mResets, resets + 3);

  EXPECT_EQ(SetValue(plug.get(), kAudioUnitProperty_BypassEffect, kGlobal, 0, uint32_t{1}), noErr);
  EXPECT_EQ(valueOf<uint32_t>(plug.get(), kAudioUnitProperty_BypassEffect, kGlobal), 1u);
  EXPECT_EQ(SetValue(plug.get(), kAudioUnitProperty_BypassEffect, kGlobal, 0, uint32_t{0}), noErr);
  EXPECT_EQ(plug->mActivations, (std::vector<bool>{false, true}));
  EXPECT_EQ(plug->mResets, resets + 5);
}

TEST_F(PropertiesTest, HostIdentifierSetsTheHostBeforeTellingThePlugIn)
{
  AUHostIdentifier identifier = {makeString("Logic Pro X"), {0, 0, 0x35, 10}};
  EXPECT_EQ(SetValue(plug.get(), kAudioUnitProperty_AUHostIdentifier, kGlobal, 0, identifier), noErr);
  CFRelease(identifier.hostName);
  EXPECT_EQ(plug->mHostAtIdentification, std::vector<EHost>{kHostLogic});
  EXPECT_EQ(plug->GetHostVersion(false), (10 << 16) | (3 << 8) | 5);
}

TEST_F(PropertiesTest, TheCurrentPresetIgnoresUnknownNumbers)
{
  AUPreset preset = {1, nullptr};
  EXPECT_EQ(SetValue(plug.get(), kAudioUnitProperty_PresentPreset, kGlobal, 0, preset), noErr);
  preset.presetNumber = 77;
  EXPECT_EQ(SetValue(plug.get(), kAudioUnitProperty_CurrentPreset, kGlobal, 0, preset), noErr);
  EXPECT_EQ(plug->GetCurrentPresetIdx(), 1);
}
