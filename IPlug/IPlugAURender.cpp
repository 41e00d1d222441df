// Buses, connections, stream formats, the render procedure and host transport.

#include "IPlugAU.h"

#include "ComponentManager.h"
#include "IMidiMsg.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace
{
constexpr int kDefaultBlockSize = 1024;
constexpr int kMaxBusChannels = 128;

void disconnect(IPlugAU::BusChannels* bus)
{
  bus->mConnected = false;
  bus->mNHostChannels = -1;
}

// 0 for anything but a channel message.
uint16_t channelMessageLength(uint8_t status)
{
  if (status < 0x80 || status >= 0xF0) return 0;
  const uint8_t kind = status & 0xF0;
  return kind == 0xC0 || kind == 0xD0 ? 2 : 3;
}

template <class T> void addOwned(WDL_PtrList<T>* list, T* item)
{
  if (!list->Add(item)) delete item;
}

// What the three host transport procedures report; each query is false when
// the host gave no procedure for it.
struct BeatAndTempo
{
  double mBeat = 0.0;
  double mTempo = 0.0;
};

struct TransportState
{
  Boolean mIsPlaying = false;
  Boolean mChanged = false;
  Boolean mIsCycling = false;
  double mSamplePos = 0.0;
  double mCycleStart = 0.0;
  double mCycleEnd = 0.0;
};

struct TimeLocation
{
  uint32_t mSamplesToNextBeat = 0;
  float mNumerator = 0.0f;
  uint32_t mDenominator = 0;
  double mDownBeat = 0.0;
};

bool queryBeatAndTempo(const HostCallbackInfo& host, BeatAndTempo* out)
{
  if (!host.beatAndTempoProc) return false;
  host.beatAndTempoProc(host.hostUserData, &out->mBeat, &out->mTempo);
  return true;
}

bool queryTransportState(const HostCallbackInfo& host, TransportState* out)
{
  if (!host.transportStateProc) return false;
  host.transportStateProc(host.hostUserData, &out->mIsPlaying, &out->mChanged, &out->mSamplePos, &out->mIsCycling,
                          &out->mCycleStart, &out->mCycleEnd);
  return true;
}

bool queryTimeLocation(const HostCallbackInfo& host, TimeLocation* out)
{
  if (!host.musicalTimeLocationProc) return false;
  host.musicalTimeLocationProc(host.hostUserData, &out->mSamplesToNextBeat, &out->mNumerator, &out->mDenominator,
                               &out->mDownBeat);
  return true;
}

int boundedBusChannels(int nHostChannels, int firstChannel, int nPlugChannelsTotal)
{
  return std::clamp(std::min(nHostChannels, nPlugChannelsTotal - firstChannel), 0, kMaxBusChannels);
}
} // namespace

void IPlugAU::makeBuses(int plugScChans)
{
  const int nIn = NInChannels();
  const int nOut = NOutChannels();
  const bool sideChain = plugScChans > 0 && nIn > 0;
  if (sideChain)
  {
    addOwned(&mInBuses, new BusChannels{false, -1, nIn - plugScChans, 0});
    addOwned(&mInBuses, new BusChannels{false, -1, plugScChans, nIn - plugScChans});
    SetInputBusLabel(0, "main input");
  }
  else if (nIn > 0)
  {
    addOwned(&mInBuses, new BusChannels{false, -1, nIn, 0});
    SetInputBusLabel(0, "input");
  }
  if (nIn > 0) SetInputBusLabel(1, "aux input");
  for (int i = 0; i < mInBuses.GetSize(); ++i)
    addOwned(&mInBusConnections, new InputBusConnection);

  if (IsInst())
  {
    for (int i = 0; 2 * i < nOut; ++i)
    {
      addOwned(&mOutBuses, new BusChannels{false, -1, std::min(nOut - 2 * i, 2), 2 * i});
      WDL_String label;
      label.SetFormatted(0, "output %i", i + 1);
      SetOutputBusLabel(i, label.Get());
    }
  }
  else if (nOut > 0)
  {
    addOwned(&mOutBuses, new BusChannels{false, -1, nOut, 0});
    SetOutputBusLabel(0, "output");
  }
  AssessInputConnections();
  SetBlockSize(kDefaultBlockSize);
}

void IPlugAU::ClearConnections()
{
  for (int i = 0; i < mInBuses.GetSize(); ++i)
    disconnect(mInBuses.Get(i));
  for (int i = 0; i < mInBusConnections.GetSize(); ++i)
    *mInBusConnections.Get(i) = {};
  for (int i = 0; i < mOutBuses.GetSize(); ++i)
    disconnect(mOutBuses.Get(i));
}

int IPlugAU::NHostChannelsConnected(const WDL_PtrList<BusChannels>& buses, int excludeIdx) const
{
  bool found = false;
  int n = 0;
  for (int i = 0; i < buses.GetSize(); ++i)
  {
    const int nHost = buses.Get(i)->mNHostChannels;
    if (i == excludeIdx || nHost < 0) continue;
    found = true;
    n += nHost;
  }
  return found ? n : -1;
}

bool IPlugAU::CheckLegalIO() const
{
  const int nIn = NHostChannelsConnected(mInBuses, -1);
  const int nOut = NHostChannelsConnected(mOutBuses, -1);
  return (nIn == 0 && nOut == 0) || LegalIO(nIn, nOut);
}

bool IPlugAU::CheckLegalIO(AudioUnitScope scope, int busIdx, int nChannels) const
{
  if (scope == kAudioUnitScope_Input)
  {
    const int nIn = std::max(NHostChannelsConnected(mInBuses, busIdx), 0) + nChannels;
    const int nOut = mActive ? NHostChannelsConnected(mOutBuses, -1) : -1;
    return LegalIO(nIn, nOut);
  }
  const int nIn = mActive ? NHostChannelsConnected(mInBuses, -1) : -1;
  const int nOut = std::max(NHostChannelsConnected(mOutBuses, busIdx), 0) + nChannels;
  return LegalIO(nIn, nOut);
}

IPlugAU::BusChannels* IPlugAU::GetBus(AudioUnitScope scope, AudioUnitElement element) const
{
  const int idx = static_cast<int>(element);
  if (scope == kAudioUnitScope_Input) return mInBuses.Get(idx);
  if (scope == kAudioUnitScope_Output || scope == kAudioUnitScope_Global) return mOutBuses.Get(idx);
  return nullptr;
}

void IPlugAU::AssessInputConnections()
{
  WDL_MutexLock lock(&mMutex);
  SetInputChannelConnections(0, NInChannels(), false);
  for (int i = 0; i < mInBuses.GetSize(); ++i)
  {
    BusChannels* bus = mInBuses.Get(i);
    InputBusConnection* connection = mInBusConnections.Get(i);
    if (!connection) continue;
    if (connection->mUpstreamRenderProc && connection->mUpstreamObj)
      connection->mInputType = DirectFastProc;
    else if (connection->mUpstreamUnit)
      connection->mInputType = DirectNoFastProc;
    else if (connection->mUpstreamRenderCallback.inputProc)
      connection->mInputType = RenderCallback;
    else
      connection->mInputType = NotConnected;

    bus->mConnected = connection->mInputType != NotConnected;
    if (!bus->mConnected) continue;
    if (bus->mNHostChannels < 0) bus->mNHostChannels = bus->mNPlugChannels;
    SetInputChannelConnections(bus->mPlugChannelStartIdx, bus->mNHostChannels, true);
    SetInputChannelConnections(bus->mPlugChannelStartIdx + bus->mNHostChannels,
                               std::max(bus->mNPlugChannels - bus->mNHostChannels, 0), false);
  }
}

void MakeDefaultASBD(AudioStreamBasicDescription* asbd, double sampleRate, int nChannels, bool interleaved)
{
  *asbd = {};
  asbd->mSampleRate = sampleRate;
  asbd->mFormatID = kAudioFormatLinearPCM;
  asbd->mFormatFlags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked;
  if (!interleaved) asbd->mFormatFlags |= kAudioFormatFlagIsNonInterleaved;
  asbd->mBitsPerChannel = 8 * sizeof(float);
  asbd->mFramesPerPacket = 1;
  asbd->mChannelsPerFrame = static_cast<uint32_t>(nChannels);
  const uint32_t bytesPerFrame = sizeof(float) * (interleaved ? static_cast<uint32_t>(nChannels) : 1);
  asbd->mBytesPerFrame = bytesPerFrame;
  asbd->mBytesPerPacket = bytesPerFrame;
}

AudioChannelLayoutTag GetTagForNumChannels(int nChannels)
{
  switch (nChannels)
  {
  case 1:
    return kAudioChannelLayoutTag_Mono;
  case 2:
    return kAudioChannelLayoutTag_Stereo;
  default:
    return kAudioChannelLayoutTag_Unknown;
  }
}

int IPlugAU::GetChannelLayoutTags(AudioUnitScope scope, AudioUnitElement element, AudioChannelLayoutTag* tag) const
{
  const bool accepted = scope == kAudioUnitScope_Output || (scope == kAudioUnitScope_Input && mInBuses.Get(0));
  if (!accepted) return 0;
  const BusChannels* bus = mOutBuses.Get(static_cast<int>(element));
  if (!bus) return 0;
  if (tag) *tag = GetTagForNumChannels(bus->mNPlugChannels);
  return 1;
}

ComponentResult IPlugAU::setStreamFormat(AudioUnitScope scope, AudioUnitElement element,
                                         const AudioStreamBasicDescription* format)
{
  BusChannels* bus = GetBus(scope, element);
  if (!bus) return kAudioUnitErr_InvalidProperty;
  const int nChannels = static_cast<int>(format->mChannelsPerFrame);
  // Channels and rate are what the render runs on: only the same format is
  // accepted while the host may be rendering.
  if (mActive)
    return nChannels == bus->mNHostChannels && !(format->mSampleRate > 0.0 && format->mSampleRate != GetSampleRate())
               ? noErr
               : kAudioUnitErr_Initialized;
  bus->mNHostChannels = 0;
  const bool acceptable = nChannels >= 1 && CheckLegalIO(scope, static_cast<int>(element), nChannels) &&
                          format->mFormatID == kAudioFormatLinearPCM &&
                          (format->mFormatFlags & (kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked)) != 0;
  if (acceptable)
  {
    bus->mNHostChannels = nChannels;
    if (format->mSampleRate > 0.0) SetSampleRate(format->mSampleRate);
  }
  AssessInputConnections();
  return acceptable ? noErr : kAudioUnitErr_InvalidProperty;
}

ComponentResult IPlugAU::makeConnection(AudioUnitScope scope, const AudioUnitConnection* connection)
{
  InputBusConnection* input = mInBusConnections.Get(static_cast<int>(connection->destInputNumber));
  if (scope > kAudioUnitScope_Input || !input) return kAudioUnitErr_InvalidProperty;
  *input = {};
  if (!connection->sourceAudioUnit)
  {
    AssessInputConnections();
    return noErr;
  }
  AudioStreamBasicDescription format;
  uint32_t size = sizeof(format);
  ComponentResult result = AudioUnitGetProperty(connection->sourceAudioUnit, kAudioUnitProperty_StreamFormat,
                                                kAudioUnitScope_Output, connection->sourceOutputNumber, &format, &size);
  if (result == noErr) result = setStreamFormat(kAudioUnitScope_Input, connection->destInputNumber, &format);
  if (result == noErr)
  {
    input->mUpstreamUnit = connection->sourceAudioUnit;
    input->mUpstreamBusIdx = static_cast<int>(connection->sourceOutputNumber);
    AudioUnitRenderProc proc = nullptr;
    size = sizeof(proc);
    if (AudioUnitGetProperty(connection->sourceAudioUnit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                             kAudioUnitRenderSelect, &proc, &size) == noErr)
    {
      input->mUpstreamRenderProc = proc;
      input->mUpstreamObj = GetComponentInstanceStorage(connection->sourceAudioUnit);
    }
  }
  AssessInputConnections();
  return result == noErr ? noErr : kAudioUnitErr_InvalidProperty;
}

ComponentResult IPlugAU::setRenderCallback(AudioUnitScope scope, AudioUnitElement element,
                                           const AURenderCallbackStruct* callback)
{
  InputBusConnection* input = mInBusConnections.Get(static_cast<int>(element));
  if (scope != kAudioUnitScope_Input || !input) return kAudioUnitErr_InvalidProperty;
  *input = {};
  if (callback->inputProc) input->mUpstreamRenderCallback = *callback;
  AssessInputConnections();
  return noErr;
}

ComponentResult IPlugAU::RenderProc(void* plug, AudioUnitRenderActionFlags*, const AudioTimeStamp* timeStamp,
                                    uint32_t outputBusIdx, uint32_t nFrames, AudioBufferList* bufferList)
{
  return static_cast<IPlugAU*>(plug)->render(timeStamp, outputBusIdx, nFrames, bufferList);
}

ComponentResult IPlugAU::render(const AudioTimeStamp* timeStamp, uint32_t outputBusIdx, uint32_t nFrames,
                                AudioBufferList* bufferList)
{
  if (!timeStamp || !bufferList || !(timeStamp->mFlags & kAudioTimeStampSampleTimeValid) ||
      outputBusIdx >= static_cast<uint32_t>(NOutputBuses()) || nFrames > static_cast<uint32_t>(GetBlockSize()))
    return kAudioUnitErr_InvalidPropertyValue;

  notifyRender(kAudioUnitRenderAction_PreRender, timeStamp, outputBusIdx, nFrames, bufferList);
  if (timeStamp->mSampleTime != mLastRenderSampleTime)
  {
    const ComponentResult result = pullInputs(timeStamp, nFrames);
    if (result != noErr) return result;
    mLastRenderSampleTime = timeStamp->mSampleTime;
  }

  const int busIdx = static_cast<int>(outputBusIdx);
  attachOutputs(busIdx, nFrames, bufferList);

  int nLeadingConnected = 0;
  while (nLeadingConnected < NOutputBuses() && mOutBuses.Get(nLeadingConnected)->mConnected)
    ++nLeadingConnected;
  if (busIdx == nLeadingConnected - 1)
  {
    // Only the last connected bus runs the instrument, so that every bus
    // rendered for this time stamp has its buffers attached first.
    const int nBusesAfter = NOutputBuses() - busIdx - 1;
    if (nBusesAfter > 0) SetOutputChannelConnections(2 * (busIdx + 1), 2 * nBusesAfter, false);
    if (IsBypassed())
      PassThroughBuffers(0.0f, static_cast<int>(nFrames));
    else
      ProcessBuffers(0.0f, static_cast<int>(nFrames));
  }
  notifyRender(kAudioUnitRenderAction_PostRender, timeStamp, outputBusIdx, nFrames, bufferList);
  return noErr;
}

void IPlugAU::notifyRender(AudioUnitRenderActionFlags flags, const AudioTimeStamp* timeStamp, uint32_t outputBusIdx,
                           uint32_t nFrames, AudioBufferList* bufferList)
{
  for (int i = 0; i < mRenderNotify.GetSize(); ++i)
  {
    const RenderNotify* notify = mRenderNotify.Get(i);
    AudioUnitRenderActionFlags actionFlags = flags;
    notify->mProc(notify->mRefCon, &actionFlags, timeStamp, outputBusIdx, nFrames, bufferList);
  }
}

ComponentResult IPlugAU::pullInputs(const AudioTimeStamp* timeStamp, uint32_t nFrames)
{
  for (int i = 0; i < mInBuses.GetSize(); ++i)
  {
    const BusChannels* bus = mInBuses.Get(i);
    if (!bus->mConnected) continue;
    AudioBufferList128 storage;
    AudioBufferList* list = storage.Get();
    const int nChannels = boundedBusChannels(bus->mNHostChannels, bus->mPlugChannelStartIdx, NInChannels());
    list->mNumberBuffers = static_cast<uint32_t>(nChannels);
    for (int k = 0; k < nChannels; ++k)
      list->mBuffers[k] = {1, static_cast<uint32_t>(sizeof(float) * nFrames), nullptr};

    const ComponentResult result = pullInput(i, timeStamp, nFrames, list);
    if (result != noErr) return result;
    for (int k = 0; k < nChannels; ++k)
    {
      float* data = static_cast<float*>(list->mBuffers[k].mData);
      AttachInputBuffers(bus->mPlugChannelStartIdx + k, 1, &data, static_cast<int>(nFrames));
    }
  }
  return noErr;
}

ComponentResult IPlugAU::pullInput(int busIdx, const AudioTimeStamp* timeStamp, uint32_t nFrames, AudioBufferList* list)
{
  const InputBusConnection* connection = mInBusConnections.Get(busIdx);
  const uint32_t upstreamBus = static_cast<uint32_t>(connection->mUpstreamBusIdx);
  AudioUnitRenderActionFlags flags = 0;
  switch (connection->mInputType)
  {
  case DirectFastProc:
    return connection->mUpstreamRenderProc(connection->mUpstreamObj, &flags, timeStamp, upstreamBus, nFrames, list);
  case DirectNoFastProc:
    return AudioUnitRender(connection->mUpstreamUnit, &flags, timeStamp, upstreamBus, nFrames, list);
  case RenderCallback:
  {
    const int first = mInBuses.Get(busIdx)->mPlugChannelStartIdx;
    for (uint32_t k = 0; k < list->mNumberBuffers; ++k)
      list->mBuffers[k].mData = mInScratchBuf.Get() + (first + k) * nFrames;
    const AURenderCallbackStruct& callback = connection->mUpstreamRenderCallback;
    return callback.inputProc(callback.inputProcRefCon, &flags, timeStamp, static_cast<uint32_t>(busIdx), nFrames,
                              list);
  }
  case NotConnected:
    break;
  }
  return noErr;
}

void IPlugAU::attachOutputs(int busIdx, uint32_t nFrames, AudioBufferList* bufferList)
{
  BusChannels* bus = mOutBuses.Get(busIdx);
  const int first = bus->mPlugChannelStartIdx;
  const int nBuffers = static_cast<int>(bufferList->mNumberBuffers);
  // A host that never set a stream format gets the bus's own channel count.
  const int nHost = bus->mNHostChannels < 0 ? bus->mNPlugChannels : bus->mNHostChannels;
  if (!bus->mConnected || nHost != nBuffers)
  {
    const int n = std::min(nHost, nBuffers);
    SetOutputChannelConnections(first, n, true);
    SetOutputChannelConnections(first + n, std::max(bus->mNPlugChannels - n, 0), false);
    bus->mConnected = true;
  }
  const int nAttached = std::min(nBuffers, NOutChannels() - first);
  for (int k = 0; k < nAttached; ++k)
  {
    AudioBuffer& buffer = bufferList->mBuffers[k];
    if (!buffer.mData) buffer.mData = mOutScratchBuf.Get() + (first + k) * nFrames;
    float* data = static_cast<float*>(buffer.mData);
    AttachOutputBuffers(first + k, 1, &data);
  }
}

bool IPlugAU::SetBlockSize(int blockSize)
{
  const int oldSize = GetBlockSize();
  if (resizeScratchBuffers(blockSize) && IPlugBase::SetBlockSize(blockSize)) return true;
  resizeScratchBuffers(oldSize);
  return false;
}

bool IPlugAU::resizeScratchBuffers(int blockSize)
{
  const int frames = std::max(blockSize, 0);
  const long long nIn = static_cast<long long>(NInChannels()) * frames;
  const long long nOut = static_cast<long long>(NOutChannels()) * frames;
  if (nIn > INT_MAX || nOut > INT_MAX) return false;
  mInScratchBuf.Resize(static_cast<int>(nIn));
  mOutScratchBuf.Resize(static_cast<int>(nOut));
  std::fill_n(mInScratchBuf.Get(), mInScratchBuf.GetSize(), 0.0f);
  std::fill_n(mOutScratchBuf.Get(), mOutScratchBuf.GetSize(), 0.0f);
  return mInScratchBuf.GetSize() == nIn && mOutScratchBuf.GetSize() == nOut;
}

void IPlugAU::SetSampleRate(double sampleRate)
{
  IPlugBase::SetSampleRate(sampleRate);
  Reset();
}

void IPlugAU::SetLatency(int samples)
{
  InformListeners(kAudioUnitProperty_Latency, kAudioUnitScope_Global);
  IPlugBase::SetLatency(samples);
}

bool IPlugAU::SendMidiMsg(IMidiMsg* pMsg)
{
  const AUMIDIOutputCallback proc = mMidiOutputProc.load(std::memory_order_acquire);
  const uint16_t length = channelMessageLength(pMsg->mStatus);
  if (!proc || length == 0) return false;
  MIDIPacketList list{1, {}};
  MIDIPacket& packet = list.packet[0];
  packet.timeStamp = static_cast<uint64_t>(std::max(pMsg->mOffset, 0));
  packet.length = length;
  const uint8_t bytes[] = {pMsg->mStatus, pMsg->mData1, pMsg->mData2};
  std::copy(bytes, bytes + length, packet.data);
  const AudioTimeStamp time{};
  return proc(mMidiOutputData.load(std::memory_order_acquire), &time, 0, &list) == noErr;
}

void IPlugAU::ResizeGraphics(int, int)
{
  if (GetGUI()) OnWindowResize();
}

double IPlugAU::GetSamplePos()
{
  // Rounded to whole samples but kept in a double, so long sessions do not overflow.
  TransportState state;
  return queryTransportState(mHostCallbacks, &state) ? std::floor(state.mSamplePos + 0.5) : 0.0;
}

double IPlugAU::GetTempo()
{
  BeatAndTempo now;
  if (queryBeatAndTempo(mHostCallbacks, &now) && now.mTempo > 0.0) mLastTempo = now.mTempo;
  return mLastTempo;
}

void IPlugAU::GetTimeSig(int* numerator, int* denominator)
{
  TimeLocation location;
  if (!queryTimeLocation(mHostCallbacks, &location)) return;
  *numerator = static_cast<int>(location.mNumerator);
  *denominator = static_cast<int>(location.mDenominator);
}

void IPlugAU::GetTime(ITimeInfo* info)
{
  // Zero means "not known" to hosts, so it never replaces a position.
  BeatAndTempo now;
  if (queryBeatAndTempo(mHostCallbacks, &now))
  {
    if (now.mTempo > 0.0) info->mTempo = now.mTempo;
    if (now.mBeat > 0.0) info->mPPQPos = now.mBeat;
  }
  TransportState state;
  if (queryTransportState(mHostCallbacks, &state))
  {
    if (state.mSamplePos > 0.0) info->mSamplePos = state.mSamplePos;
    if (state.mCycleStart > 0.0) info->mCycleStart = state.mCycleStart;
    if (state.mCycleEnd > 0.0) info->mCycleEnd = state.mCycleEnd;
    info->mTransportIsRunning = state.mIsPlaying;
    info->mTransportLoopEnabled = state.mIsCycling;
  }
  TimeLocation location;
  if (queryTimeLocation(mHostCallbacks, &location))
  {
    info->mNumerator = static_cast<int>(location.mNumerator);
    info->mDenominator = static_cast<int>(location.mDenominator);
    if (location.mDownBeat > 0.0) info->mLastBar = location.mDownBeat;
  }
}
