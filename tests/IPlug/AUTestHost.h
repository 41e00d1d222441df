#pragma once
// What a host does with an Audio Unit, reduced to helpers for tests: call the
// entry with a selector and arguments, get and set properties, render.

#include "TestPlugins.h"

#include <cstring>
#include <initializer_list>

// Calls plug's entry as the host does after open, with storage = the object.
inline ComponentResult CallEntry(IPlugAU* plug, int what, std::initializer_list<intptr_t> args = {})
{
  ComponentParameters params = {};
  params.what = static_cast<int16_t>(what);
  params.paramCount = static_cast<int32_t>(args.size());
  params.params[0] = reinterpret_cast<intptr_t>(plug->GetComponentInstance());
  int i = 1;
  for (intptr_t arg : args)
    params.params[i++] = arg;
  return IPlugAU::IPlugAUEntry(&params, plug, nullptr);
}

template <class T> intptr_t Arg(T* pointer)
{
  return reinterpret_cast<intptr_t>(pointer);
}

struct PropertyInfo
{
  ComponentResult mResult;
  uint32_t mSize;
  bool mWritable;
};

inline PropertyInfo GetInfo(IPlugAU* plug, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element)
{
  uint32_t size = 0xDEAD;
  Boolean writable = true;
  const ComponentResult result =
      CallEntry(plug, kAudioUnitGetPropertyInfoSelect, {id, scope, element, Arg(&size), Arg(&writable)});
  return {result, size, writable != 0};
}

template <class T>
ComponentResult GetValue(IPlugAU* plug, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                         T* value)
{
  uint32_t size = sizeof(T);
  return CallEntry(plug, kAudioUnitGetPropertySelect, {id, scope, element, Arg(value), Arg(&size)});
}

template <class T>
ComponentResult SetValue(IPlugAU* plug, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                         const T& value)
{
  return CallEntry(plug, kAudioUnitSetPropertySelect, {id, scope, element, Arg(&value), sizeof(T)});
}

inline AudioTimeStamp SampleTime(double sampleTime)
{
  AudioTimeStamp stamp = {};
  stamp.mSampleTime = sampleTime;
  stamp.mFlags = kAudioTimeStampSampleTimeValid;
  return stamp;
}

// Host-side output buffers: nBuffers channels of nFrames floats each.
struct HostBuffers
{
  HostBuffers(int nBuffers, int nFrames);
  HostBuffers(const HostBuffers&) = delete;
  HostBuffers& operator=(const HostBuffers&) = delete;
  void Clear() { memset(mSamples, 0, sizeof(mSamples)); }
  AudioBufferList* List() { return mStorage.Get(); }
  float* Channel(int k) { return static_cast<float*>(mStorage.Get()->mBuffers[k].mData); }

  AudioBufferList128 mStorage = {};
  float mSamples[4][1024] = {};
};

inline HostBuffers::HostBuffers(int nBuffers, int nFrames)
{
  mStorage.Get()->mNumberBuffers = static_cast<uint32_t>(nBuffers);
  for (int k = 0; k < nBuffers; ++k)
    mStorage.Get()->mBuffers[k] = {1, static_cast<uint32_t>(sizeof(float) * nFrames), mSamples[k]};
}

inline ComponentResult Render(IPlugAU* plug, double sampleTime, int bus, int nFrames, AudioBufferList* list)
{
  AudioUnitRenderActionFlags flags = 0;
  const AudioTimeStamp stamp = SampleTime(sampleTime);
  return CallEntry(plug, kAudioUnitRenderSelect, {Arg(&flags), Arg(&stamp), bus, nFrames, Arg(list)});
}
