#include "FakeComponent.h"

#include <cstring>
#include <string>

namespace
{
const char* const kParamNames[FakeUnit::kParams] = {"Cutoff", "Mode", "Level"};
const char* const kModeTexts[] = {"Saw", "Pulse"};

CFStringRef makeString(const std::string& text)
{
  return CFStringCreateWithCString(kCFAllocatorDefault, text.c_str(), kCFStringEncodingUTF8);
}

OSStatus getParam(void* storage, AudioUnitParameterID id, AudioUnitScope, AudioUnitElement, float* outValue)
{
  if (id >= FakeUnit::kParams) return kAudioUnitErr_InvalidElement;
  *outValue = static_cast<FakeUnit*>(storage)->mParams[id];
  return noErr;
}

void notify(FakeUnit& unit, AudioUnitEventType type, AudioUnitParameterID id)
{
  AudioUnitEvent event{};
  event.mEventType = type;
  event.mArgument.mParameter = {unit.mUnit, id, kAudioUnitScope_Global, 0};
  AUEventListenerNotify(nullptr, nullptr, &event);
}

OSStatus setParam(void* storage, AudioUnitParameterID id, AudioUnitScope, AudioUnitElement, float value, uint32_t)
{
  if (id >= FakeUnit::kParams) return kAudioUnitErr_InvalidElement;
  auto& unit = *static_cast<FakeUnit*>(storage);
  unit.mParams[id] = value;
  notify(unit, kAudioUnitEvent_ParameterValueChange, id);
  return noErr;
}

OSStatus render(void* storage, AudioUnitRenderActionFlags*, const AudioTimeStamp* time, uint32_t, uint32_t frames,
                AudioBufferList* data)
{
  auto& unit = *static_cast<FakeUnit*>(storage);
  if (frames > unit.mMaxFrames || !(time->mFlags & kAudioTimeStampSampleTimeValid))
    return kAudioUnitErr_InvalidPropertyValue;
  AudioUnitRenderActionFlags pre = kAudioUnitRenderAction_PreRender;
  if (unit.mNotify) unit.mNotify(unit.mNotifyRefCon, &pre, time, 0, frames, data);
  if (unit.mHost.beatAndTempoProc)
  {
    double cycleStart, cycleEnd;
    Boolean cycling;
    unit.mHost.beatAndTempoProc(unit.mHost.hostUserData, &unit.mBeat, &unit.mTempo);
    unit.mHost.transportStateProc(unit.mHost.hostUserData, &unit.mPlaying, &unit.mTransportChanged,
                                  &unit.mSamplePosition, &cycling, &cycleStart, &cycleEnd);
    uint32_t toNextBeat;
    double downBeat;
    unit.mHost.musicalTimeLocationProc(unit.mHost.hostUserData, &toNextBeat, &unit.mNumerator, &unit.mDenominator,
                                       &downBeat);
  }
  for (uint32_t b = 0; b < data->mNumberBuffers; ++b)
    for (uint32_t i = 0; i < frames; ++i)
      static_cast<float*>(data->mBuffers[b].mData)[i] = float((time->mSampleTime + i) / 1000.0) + unit.mParams[0];
  unit.mRenderTimes.push_back(time->mSampleTime); // reserved by the tests that count allocations
  return noErr;
}

OSStatus getProperty(FakeUnit& unit, AudioUnitPropertyID id, AudioUnitElement element, void* data)
{
  switch (id)
  {
  case kAudioUnitProperty_FastDispatch:
    if (element != kAudioUnitRenderSelect) return kAudioUnitErr_InvalidElement;
    *static_cast<AudioUnitRenderProc*>(data) = render;
    return noErr;
  case kAudioUnitProperty_ParameterInfo:
  {
    if (element >= FakeUnit::kParams) return kAudioUnitErr_InvalidElement;
    auto& info = *static_cast<AudioUnitParameterInfo*>(data);
    info = {};
    std::strncpy(info.name, kParamNames[element], sizeof info.name - 1);
    info.cfNameString = makeString(kParamNames[element]);
    info.flags = kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_HasCFNameString |
                 kAudioUnitParameterFlag_CFNameRelease;
    info.unit = element == 1 ? kAudioUnitParameterUnit_Indexed : kAudioUnitParameterUnit_CustomUnit;
    if (info.unit == kAudioUnitParameterUnit_CustomUnit) info.unitName = makeString("Hz");
    return noErr;
  }
  case kAudioUnitProperty_ParameterValueStrings:
  {
    if (element != 1) return kAudioUnitErr_InvalidProperty;
    CFMutableArrayRef texts = CFArrayCreateMutable(kCFAllocatorDefault, 2, &kCFTypeArrayCallBacks);
    for (const char* text : kModeTexts)
    {
      CFStringRef string = makeString(text);
      CFArrayAppendValue(texts, string);
      CFRelease(string);
    }
    *static_cast<CFArrayRef*>(data) = texts;
    return noErr;
  }
  }
  return kAudioUnitErr_InvalidProperty;
}

OSStatus setProperty(FakeUnit& unit, AudioUnitPropertyID id, AudioUnitScope scope, const void* data)
{
  switch (id)
  {
  case kAudioUnitProperty_SampleRate:
    unit.mSampleRate = *static_cast<const double*>(data);
    return noErr;
  case kAudioUnitProperty_MaximumFramesPerSlice:
    unit.mMaxFrames = *static_cast<const uint32_t*>(data);
    return noErr;
  case kAudioUnitProperty_StreamFormat:
    if (scope != kAudioUnitScope_Output) return kAudioUnitErr_InvalidProperty;
    unit.mOutputFormat = *static_cast<const AudioStreamBasicDescription*>(data);
    return noErr;
  case kAudioUnitProperty_HostCallbacks:
    unit.mHost = *static_cast<const HostCallbackInfo*>(data);
    return noErr;
  }
  return kAudioUnitErr_InvalidProperty;
}

OSStatus scheduleParameters(FakeUnit& unit, const AudioUnitParameterEvent* events, uint32_t count)
{
  for (uint32_t i = 0; i < count; ++i)
    if (events[i].eventType == kParameterEvent_Immediate)
      setParam(&unit, events[i].parameter, events[i].scope, events[i].element, events[i].eventValues.immediate.value,
               0);
  return noErr;
}

ComponentResult fakeEntry(ComponentParameters* params, void* storage)
{
  auto* unit = static_cast<FakeUnit*>(storage);
  if (params->what == kComponentOpenSelect)
  {
    unit = new FakeUnit;
    unit->mUnit = ComponentParam<AudioUnit>(params, 0);
    unit->mRenderTimes.reserve(64);
    SetComponentInstanceStorage(unit->mUnit, unit);
  }
  unit->mSelectors.push_back(params->what);
  auto arg = [params](int index) { return params->params[index]; };
  switch (params->what)
  {
  case kComponentCloseSelect:
    delete unit;
    return noErr;
  case kAudioUnitGetPropertyInfoSelect:
    if (arg(1) != kAudioUnitProperty_ParameterList) return kAudioUnitErr_InvalidProperty;
    *ComponentParam<uint32_t*>(params, 4) = FakeUnit::kParams * sizeof(AudioUnitParameterID);
    return noErr;
  case kAudioUnitGetPropertySelect:
    return getProperty(*unit, uint32_t(arg(1)), uint32_t(arg(3)), ComponentParam<void*>(params, 4));
  case kAudioUnitSetPropertySelect:
    return setProperty(*unit, uint32_t(arg(1)), uint32_t(arg(2)), ComponentParam<const void*>(params, 4));
  case kAudioUnitGetParameterSelect:
    return getParam(unit, uint32_t(arg(1)), 0, 0, ComponentParam<float*>(params, 4));
  case kAudioUnitSetParameterSelect:
    return setParam(unit, uint32_t(arg(1)), 0, 0, ComponentParam<float>(params, 4), 0);
  case kAudioUnitScheduleParametersSelect:
    return scheduleParameters(*unit, ComponentParam<const AudioUnitParameterEvent*>(params, 1), uint32_t(arg(2)));
  case kAudioUnitAddRenderNotifySelect:
    unit->mNotify = ComponentParam<AURenderCallback>(params, 1);
    unit->mNotifyRefCon = ComponentParam<void*>(params, 2);
    return noErr;
  case kMusicDeviceMIDIEventSelect:
    unit->mMidi.push_back({uint32_t(arg(1)), uint32_t(arg(2)), uint32_t(arg(3)), uint32_t(arg(4))});
    return noErr;
  }
  return noErr;
}
} // namespace

void FakeUnit::moveControl(AudioUnitParameterID id, float value)
{
  notify(*this, kAudioUnitEvent_BeginParameterChangeGesture, id);
  setParam(this, id, 0, 0, value, 0);
  notify(*this, kAudioUnitEvent_EndParameterChangeGesture, id);
}

Component RegisterFakeComponent()
{
  static Component component =
      RegisterComponent({kAudioUnitType_MusicDevice, MakeFourCharCode("fake"), MakeFourCharCode("Test"), 0, 0}, "Fake",
                        fakeEntry, "org.tessaryn.fake-host-test", "/tmp");
  return component;
}

FakeUnit* FakeUnitOf(AudioUnit unit)
{
  return static_cast<FakeUnit*>(GetComponentInstanceStorage(unit));
}
