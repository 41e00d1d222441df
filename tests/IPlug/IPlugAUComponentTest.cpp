// The adapter as a registered component: open and close through the component
// manager, the state dictionary, factory presets, direct connections between
// two instances, and host identification.

#include "AUTestHost.h"

#include "CFAUPreset.h"
#include "ComponentManager.h"
#include "IPlugAUDictionary.h"
#include "TestGraphics.h"
#include "TestPlug.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
constexpr AudioUnitScope kGlobal = kAudioUnitScope_Global;

struct ComponentTest : ::testing::Test
{
  void SetUp() override
  {
    ASSERT_EQ(OpenAComponent(TestInstrumentComponent(), &unit), noErr);
    plug = static_cast<TestInstrument*>(GetComponentInstanceStorage(unit));
    ASSERT_NE(plug, nullptr);
  }
  void TearDown() override { EXPECT_EQ(CloseComponent(unit), noErr); }

  CFPropertyListRef saveState()
  {
    CFPropertyListRef state = nullptr;
    EXPECT_EQ(GetValue(plug, kAudioUnitProperty_ClassInfo, kGlobal, 0, &state), noErr);
    return state;
  }

  AudioUnit unit = nullptr;
  TestInstrument* plug = nullptr;
};

std::string text(CFStringRef string)
{
  return string ? CFStringGetCStringPtr(string, kCFStringEncodingUTF8) : "";
}
} // namespace

TEST_F(ComponentTest, OpeningPrunesUnusedProgramsAndIdentifiesTheHostProcess)
{
  EXPECT_EQ(plug->GetComponentInstance(), unit);
  EXPECT_EQ(plug->NPresets(), 2);
  const EHost expected = LookUpHost(GetHostProcessIdentifier().c_str());
  EXPECT_EQ(plug->mHostAtIdentification, std::vector<EHost>{expected});
  EXPECT_EQ(plug->GetHost(), expected);
}

TEST_F(ComponentTest, TheStateDictionaryCarriesIdentityProgramNameAndChunk)
{
  CFPropertyListRef state = saveState();
  const CFDictionaryRef dict = AsDictionary(state);
  ASSERT_NE(dict, nullptr);
  const struct
  {
    const char* key;
    int value;
  } numbers[] = {{"version", 0x00010203},
                 {"type", static_cast<int>(kAudioUnitType_MusicDevice)},
                 {"subtype", TestInstrument::kUniqueID}};
  for (const auto& n : numbers)
  {
    int value = 0;
    EXPECT_TRUE(GetNumberFromDict(dict, n.key, &value)) << n.key;
    EXPECT_EQ(value, n.value) << n.key;
  }
  WDL_String name;
  ByteChunk chunk;
  EXPECT_TRUE(GetStrFromDict(dict, "name", &name));
  EXPECT_TRUE(GetDataFromDict(dict, "data", &chunk));
  EXPECT_STREQ(name.Get(), "Init");
  EXPECT_EQ(chunk.Size(), static_cast<int>(kNTestInstrumentParams * sizeof(double)));
  CFRelease(state);
}

TEST_F(ComponentTest, AStateWhoseNameMatchesNoProgramStillLoadsItsData)
{
  plug->GetParam(kCutoff)->Set(880.0);
  CFPropertyListRef state = saveState();
  PutStrInDict(const_cast<CFMutableDictionaryRef>(AsDictionary(state)), "name", "Nobody's program");
  plug->GetParam(kCutoff)->Set(20.0);
  EXPECT_EQ(SetValue(plug, kAudioUnitProperty_ClassInfo, kGlobal, 0, state), noErr);
  EXPECT_EQ(plug->GetCurrentPresetIdx(), 0);
  EXPECT_DOUBLE_EQ(plug->GetParam(kCutoff)->Value(), 880.0);
  CFRelease(state);
}

TEST_F(ComponentTest, ForeignOrIncompleteStatesAreRefusedBeforeTheirDataIsLoaded)
{
  // A state without data is refused only after its program was selected by name.
  const struct
  {
    const char* key;
    int number;
    bool remove;
    double cutoffAfter;
  } edits[] = {{"subtype", 0x4F746872, false, 30.0}, {"data", 0, true, 1000.0}};
  for (const auto& edit : edits)
  {
    plug->GetParam(kCutoff)->Set(5000.0);
    CFPropertyListRef state = saveState();
    CFMutableDictionaryRef dict = const_cast<CFMutableDictionaryRef>(AsDictionary(state));
    if (edit.remove)
    {
      CFStringRef key = CFStringCreateWithCString(nullptr, edit.key, kCFStringEncodingUTF8);
      CFDictionaryRemoveValue(dict, key);
      CFRelease(key);
    }
    else
    {
      PutNumberInDict(dict, edit.key, edit.number);
    }
    plug->GetParam(kCutoff)->Set(30.0);
    EXPECT_EQ(SetValue(plug, kAudioUnitProperty_ClassInfo, kGlobal, 0, state), kAudioUnitErr_InvalidPropertyValue)
        << edit.key;
    EXPECT_DOUBLE_EQ(plug->GetParam(kCutoff)->Value(), edit.cutoffAfter) << edit.key;
    CFRelease(state);
  }
  CFStringRef notADictionary = CFStringCreateWithCString(nullptr, "state", kCFStringEncodingUTF8);
  EXPECT_EQ(SetValue(plug, kAudioUnitProperty_ClassInfo, kGlobal, 0, CFTypeRef(notADictionary)),
            kAudioUnitErr_InvalidPropertyValue);
  CFRelease(notADictionary);
}

TEST_F(ComponentTest, AFactoryPresetOutlivesItsArrayWhileRetained)
{
  CFArrayRef presets = nullptr;
  ASSERT_EQ(GetValue(plug, kAudioUnitProperty_FactoryPresets, kGlobal, 0, &presets), noErr);
  ASSERT_EQ(CFArrayGetCount(presets), 2);
  const auto* second = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(presets, 1));

  CFAUPresetRef kept = CFAUPresetRetain(second);
  EXPECT_EQ(kept->retainCount, 2);
  CFRelease(presets);
  EXPECT_EQ(kept->retainCount, 1);
  EXPECT_EQ(text(kept->auPreset.presetName), "Loud");
  CFAUPresetRelease(kept);
}

TEST_F(ComponentTest, AnEditorFollowsHostChanges)
{
  FakeGraphics* gui = new FakeGraphics;
  plug->AttachGraphics(gui);
  ASSERT_EQ(AudioUnitSetParameter(unit, kCutoff, kGlobal, 0, 30000.0f, 0), noErr);
  ASSERT_FALSE(gui->mCalls.empty());
  EXPECT_DOUBLE_EQ(gui->mCalls.back().value, 30000.0);
  EXPECT_DOUBLE_EQ(plug->GetParam(kCutoff)->Value(), 20000.0);
}

TEST_F(ComponentTest, AnotherAdapterInstanceConnectedDirectlyIsPulledThroughItsFastRender)
{
  AudioUnit effectUnit = nullptr;
  ASSERT_EQ(OpenAComponent(TestEffectComponent(), &effectUnit), noErr);
  auto* effect = static_cast<TestEffect*>(GetComponentInstanceStorage(effectUnit));
  const AudioUnitConnection connection = {unit, 0, 0};
  ASSERT_EQ(AudioUnitSetProperty(effectUnit, kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0, &connection,
                                 sizeof(connection)),
            noErr);
  EXPECT_TRUE(effect->GetBus(kAudioUnitScope_Input, 0)->mConnected);

  HostBuffers out(2, 64);
  AudioUnitRenderActionFlags flags = 0;
  const AudioTimeStamp stamp = SampleTime(0.0);
  ASSERT_EQ(AudioUnitRender(effectUnit, &flags, &stamp, 0, 64, out.List()), noErr);
  EXPECT_EQ(plug->mProcessCalls, 1);
  EXPECT_FLOAT_EQ(out.Channel(0)[63], 0.5f * 0.5f * 64 / 1000);
  EXPECT_FLOAT_EQ(out.Channel(1)[63], -0.5f * 0.5f * 64 / 1000);
  EXPECT_EQ(CloseComponent(effectUnit), noErr);
}
