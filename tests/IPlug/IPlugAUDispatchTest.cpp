#include "AUTestHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{
struct DispatchTest : ::testing::Test
{
  std::unique_ptr<TestInstrument> plug = std::make_unique<TestInstrument>(TestInstanceInfo());
};

struct ListenerCall
{
  void* mUserData;
  AudioUnitPropertyID mID;
  AudioUnitScope mScope;
};
std::vector<ListenerCall> gListenerCalls;

void recordListener(void* userData, AudioUnit, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement)
{
  gListenerCalls.push_back({userData, id, scope});
}

std::vector<AudioUnitRenderActionFlags> gNotifyCalls;

OSStatus recordNotify(void*, AudioUnitRenderActionFlags* flags, const AudioTimeStamp*, uint32_t, uint32_t,
                      AudioBufferList*)
{
  gNotifyCalls.push_back(*flags);
  return noErr;
}

AudioUnitParameterEvent immediateEvent(AudioUnitParameterID id, AudioUnitScope scope, float value)
{
  AudioUnitParameterEvent event = {};
  event.scope = scope;
  event.parameter = id;
  event.eventType = kParameterEvent_Immediate;
  event.eventValues.immediate.value = value;
  return event;
}
} // namespace

TEST_F(DispatchTest, SelectorsWithoutActionAnswerBadSelectorAndQuietOnesSucceed)
{
  for (int selector : {0x107, 1234})
    EXPECT_EQ(CallEntry(plug.get(), selector), badComponentSelector) << selector;
  for (int selector : {int{kAudioUnitResetSelect}, 0x103, 0x104})
    EXPECT_EQ(CallEntry(plug.get(), selector, {0, 0}), noErr);
  EXPECT_EQ(CallEntry(plug.get(), kComponentVersionSelect), 0x00010203);
}

TEST_F(DispatchTest, InitialiseResetsEveryParameterThenActivates)
{
  EXPECT_EQ(CallEntry(plug.get(), kAudioUnitInitializeSelect), noErr);
  EXPECT_TRUE(plug->IsActive());
  EXPECT_EQ(plug->mParamChanges, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(plug->mActivations, std::vector<bool>{true});

  EXPECT_EQ(CallEntry(plug.get(), kAudioUnitUninitializeSelect), noErr);
  EXPECT_FALSE(plug->IsActive());
  EXPECT_EQ(plug->mActivations, (std::vector<bool>{true, false}));
}

TEST(DispatchEffectTest, InitialiseRefusesChannelCountsNoPairAllows)
{
  TestEffect effect(TestInstanceInfo());
  AudioStreamBasicDescription mono, stereo;
  MakeDefaultASBD(&mono, 44100.0, 1, false);
  MakeDefaultASBD(&stereo, 44100.0, 2, false);
  ASSERT_EQ(SetValue(&effect, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0, mono), noErr);
  ASSERT_EQ(SetValue(&effect, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, stereo), noErr);

  EXPECT_EQ(CallEntry(&effect, kAudioUnitInitializeSelect), badComponentSelector);
  EXPECT_FALSE(effect.IsActive());

  ASSERT_EQ(SetValue(&effect, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0, stereo), noErr);
  EXPECT_EQ(CallEntry(&effect, kAudioUnitInitializeSelect), noErr);
}

TEST_F(DispatchTest, AddingTheSameListenerTwiceKeepsOneRecord)
{
  gListenerCalls.clear();
  int userData = 0;
  const intptr_t proc = reinterpret_cast<intptr_t>(&recordListener);
  CallEntry(plug.get(), kAudioUnitAddPropertyListenerSelect, {kAudioUnitProperty_PresentPreset, proc, Arg(&userData)});
  CallEntry(plug.get(), kAudioUnitAddPropertyListenerSelect, {kAudioUnitProperty_PresentPreset, proc, Arg(&userData)});
  CallEntry(plug.get(), kAudioUnitAddPropertyListenerSelect, {kAudioUnitProperty_Latency, proc, 0});

  plug->InformHostOfProgramChange();
  ASSERT_EQ(gListenerCalls.size(), 1u);
  EXPECT_EQ(gListenerCalls[0].mUserData, &userData);
  EXPECT_EQ(gListenerCalls[0].mID, kAudioUnitProperty_PresentPreset);
  plug->SetLatency(64);
  EXPECT_EQ(gListenerCalls.size(), 2u);
}

TEST_F(DispatchTest, TheSameRenderNotifyAddedTwiceIsCalledTwiceBeforeAndAfterRendering)
{
  gNotifyCalls.clear();
  const intptr_t proc = reinterpret_cast<intptr_t>(&recordNotify);
  CallEntry(plug.get(), kAudioUnitAddRenderNotifySelect, {proc, 1});
  CallEntry(plug.get(), kAudioUnitAddRenderNotifySelect, {proc, 2});
  HostBuffers out(2, 16);
  ASSERT_EQ(Render(plug.get(), 0.0, 0, 16, out.List()), noErr);
  EXPECT_EQ(gNotifyCalls, (std::vector<AudioUnitRenderActionFlags>{4, 4, 8, 8}));

  gNotifyCalls.clear();
  EXPECT_EQ(CallEntry(plug.get(), kAudioUnitRemoveRenderNotifySelect, {proc, 99}), noErr);
  ASSERT_EQ(Render(plug.get(), 16.0, 0, 16, out.List()), noErr);
  EXPECT_EQ(gNotifyCalls, (std::vector<AudioUnitRenderActionFlags>{4, 8}));
}

TEST_F(DispatchTest, ScheduleParametersSkipsRampsAndStopsAtTheFirstRefusal)
{
  AudioUnitParameterEvent events[3] = {immediateEvent(kLevel, kAudioUnitScope_Global, 0.9f),
                                       immediateEvent(kDetune, kAudioUnitScope_Global, 0.25f),
                                       immediateEvent(kWave, kAudioUnitScope_Global, 2.0f)};
  events[0].eventType = kParameterEvent_Ramped;
  EXPECT_EQ(CallEntry(plug.get(), kAudioUnitScheduleParametersSelect, {Arg(events), 3}), noErr);
  EXPECT_DOUBLE_EQ(plug->GetParam(kLevel)->Value(), 0.5);
  EXPECT_DOUBLE_EQ(plug->GetParam(kDetune)->Value(), 0.25);
  EXPECT_DOUBLE_EQ(plug->GetParam(kWave)->Value(), 2.0);

  events[0] = immediateEvent(kLevel, kAudioUnitScope_Input, 0.1f);
  events[1] = immediateEvent(kDetune, kAudioUnitScope_Global, -0.5f);
  EXPECT_EQ(CallEntry(plug.get(), kAudioUnitScheduleParametersSelect, {Arg(events), 2}), kAudioUnitErr_InvalidProperty);
  EXPECT_DOUBLE_EQ(plug->GetParam(kDetune)->Value(), 0.25);
}

TEST_F(DispatchTest, ParametersAreReadAndWrittenInTheirOwnRangeAndClamped)
{
  float value = -1.0f;
  EXPECT_EQ(CallEntry(plug.get(), kAudioUnitSetParameterSelect,
                      {kCutoff, kAudioUnitScope_Global, 0, ComponentArgFromFloat(50000.0f), 7}),
            noErr);
  EXPECT_EQ(CallEntry(plug.get(), kAudioUnitGetParameterSelect, {kCutoff, kAudioUnitScope_Global, 0, Arg(&value)}),
            noErr);
  EXPECT_FLOAT_EQ(value, 20000.0f);
  EXPECT_EQ(plug->mParamChanges.back(), kCutoff);

  const struct
  {
    AudioUnitParameterID id;
    AudioUnitScope scope;
    ComponentResult result;
  } refusals[] = {{kLevel, kAudioUnitScope_Input, kAudioUnitErr_InvalidProperty},
                  {0xFFFFFFFFu, kAudioUnitScope_Global, kAudioUnitErr_InvalidElement}};
  for (const auto& r : refusals)
  {
    EXPECT_EQ(CallEntry(plug.get(), kAudioUnitGetParameterSelect, {r.id, r.scope, 0, Arg(&value)}), r.result);
    EXPECT_EQ(CallEntry(plug.get(), kAudioUnitSetParameterSelect, {r.id, r.scope, 0, ComponentArgFromFloat(1.0f), 0}),
              r.result);
  }
}

TEST_F(DispatchTest, StartAndStopNoteBecomeNoteMessagesAndSysExPassesWhole)
{
  NoteInstanceID noteID = 0;
  const MusicDeviceNoteParams noteParams = {2, 61.7f, 99.9f, {}};
  CallEntry(plug.get(), kMusicDeviceStartNoteSelect, {0, 0, Arg(&noteID), 5, Arg(&noteParams)});
  CallEntry(plug.get(), kMusicDeviceStopNoteSelect, {0, static_cast<intptr_t>(noteID), 9});
  EXPECT_EQ(noteID, 61u);
  ASSERT_EQ(plug->mMidi.size(), 2u);
  const IMidiMsg& on = plug->mMidi[0];
  const IMidiMsg& off = plug->mMidi[1];
  EXPECT_EQ((std::vector<int>{on.mStatus, on.mData1, on.mData2, on.mOffset}), (std::vector<int>{0x90, 61, 99, 5}));
  EXPECT_EQ((std::vector<int>{off.mStatus, off.mData1, off.mData2, off.mOffset}), (std::vector<int>{0x80, 61, 0, 9}));

  const uint8_t sysEx[] = {0xF0, 0x7E, 0xF7};
  EXPECT_EQ(CallEntry(plug.get(), kMusicDeviceSysExSelect, {Arg(sysEx), 3}), noErr);
  EXPECT_EQ(plug->mSysExSize, 3);
}
