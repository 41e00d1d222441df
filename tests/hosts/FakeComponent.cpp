#include "FakeComponent.h"

namespace
{
OSStatus render(void* storage, AudioUnitRenderActionFlags*, const AudioTimeStamp* time, uint32_t, uint32_t frames,
                AudioBufferList* data)
{
  auto& unit = *static_cast<FakeUnit*>(storage);
  if (frames > unit.mMaxFrames || !(time->mFlags & kAudioTimeStampSampleTimeValid))
    return kAudioUnitErr_InvalidPropertyValue;
  for (uint32_t b = 0; b < data->mNumberBuffers; ++b)
    for (uint32_t i = 0; i < frames; ++i)
      static_cast<float*>(data->mBuffers[b].mData)[i] = float((time->mSampleTime + i) / 1000.0);
  unit.mRenderTimes.push_back(time->mSampleTime);
  return noErr;
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

ComponentResult fakeEntry(ComponentParameters* params, void* storage)
{
  auto* unit = static_cast<FakeUnit*>(storage);
  if (params->what == kComponentOpenSelect)
  {
    unit = new FakeUnit;
    unit->mRenderTimes.reserve(64);
    SetComponentInstanceStorage(ComponentParam<AudioUnit>(params, 0), unit);
  }
  unit->mSelectors.push_back(params->what);
  switch (params->what)
  {
  case kComponentCloseSelect:
    delete unit;
    return noErr;
  case kAudioUnitGetPropertySelect:
    if (ComponentParam<uint32_t>(params, 1) != kAudioUnitProperty_FastDispatch ||
        ComponentParam<uint32_t>(params, 3) != kAudioUnitRenderSelect)
      return kAudioUnitErr_InvalidProperty;
    *ComponentParam<AudioUnitRenderProc*>(params, 4) = render;
    return noErr;
  case kAudioUnitSetPropertySelect:
    return setProperty(*unit, ComponentParam<uint32_t>(params, 1), ComponentParam<uint32_t>(params, 2),
                       ComponentParam<const void*>(params, 4));
  }
  return noErr;
}
} // namespace

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
