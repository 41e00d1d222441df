#include "HostModel.h"

#include <algorithm>
#include <cstring>

namespace
{
// The text of a string the component created for the host, which releases it.
std::string takeString(CFStringRef string)
{
  std::string text = string ? CFStringGetCStringPtr(string, kCFStringEncodingUTF8) : "";
  CFRelease(string);
  return text;
}

template <class Record> std::string takeStringOf(OSStatus result, Record& record, CFStringRef Record::*field)
{
  return result == noErr ? takeString(record.*field) : std::string();
}
} // namespace

HostModel::HostModel(HostModelCallbacks callbacks) : mCallbacks(std::move(callbacks)) {}

HostModel::~HostModel()
{
  Close();
}

OSStatus HostModel::Open(Component component)
{
  Close();
  OSStatus result = OpenAComponent(component, &mUnit);
  if (result != noErr)
  {
    mUnit = nullptr;
    return result;
  }
  uint32_t size = sizeof mRender;
  if (AudioUnitGetProperty(mUnit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global, kAudioUnitRenderSelect,
                           &mRender, &size) != noErr ||
      !mRender)
  {
    Close();
    return kAudioUnitErr_InvalidProperty;
  }
  mRenderStorage = GetComponentInstanceStorage(mUnit);
  size = sizeof mMidi;
  if (AudioUnitGetProperty(mUnit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global, kMusicDeviceMIDIEventSelect,
                           &mMidi, &size) != noErr)
    mMidi = nullptr;
  mSampleTime = 0.0;
  HostCallbackInfo transport = {this, beatAndTempo, musicalTimeLocation, transportState};
  setGlobalProperty(kAudioUnitProperty_HostCallbacks, &transport, sizeof transport);
  AddPropertyListener(kAudioUnitProperty_PresentPreset, onPresentPresetChanged, this);
  mEvents = AUEventListenerSubscribe(mUnit, onEvent, this);
  return noErr;
}

void HostModel::Close()
{
  if (!mUnit) return;
  CloseEditor();
  AUEventListenerUnsubscribe(mEvents);
  CloseComponent(mUnit);
  mUnit = nullptr;
  mEvents = nullptr;
  mRender = nullptr;
  mMidi = nullptr;
  mRenderStorage = nullptr;
}

OSStatus HostModel::SetSampleRate(double sampleRate)
{
  OSStatus result = setGlobalProperty(kAudioUnitProperty_SampleRate, &sampleRate, sizeof sampleRate);
  if (result == noErr) mSampleRate = sampleRate;
  return result;
}

OSStatus HostModel::SetMaxFrames(uint32_t frames)
{
  OSStatus result = setGlobalProperty(kAudioUnitProperty_MaximumFramesPerSlice, &frames, sizeof frames);
  if (result == noErr) mMaxFrames = frames;
  return result;
}

OSStatus HostModel::SetStreamFormat(AudioUnitScope scope, AudioUnitElement bus, uint32_t channels)
{
  const uint32_t bytesPerSample = sizeof(float);
  AudioStreamBasicDescription format = {mSampleRate,
                                        kAudioFormatLinearPCM,
                                        kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked |
                                            kAudioFormatFlagIsNonInterleaved,
                                        bytesPerSample,
                                        1,
                                        bytesPerSample,
                                        channels,
                                        8 * bytesPerSample,
                                        0};
  return AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat, scope, bus, &format, sizeof format);
}

OSStatus HostModel::Initialize()
{
  return AudioUnitInitialize(mUnit);
}

OSStatus HostModel::Uninitialize()
{
  return AudioUnitUninitialize(mUnit);
}

OSStatus HostModel::AddPropertyListener(AudioUnitPropertyID id, AudioUnitPropertyListenerProc listener, void* userData)
{
  return AudioUnitAddPropertyListener(mUnit, id, listener, userData);
}

OSStatus HostModel::AddRenderNotify(AURenderCallback proc, void* refCon)
{
  return AudioUnitAddRenderNotify(mUnit, proc, refCon);
}

OSStatus HostModel::SetMidiOutput(HostMidiOutput output, void* userData)
{
  mMidiOutput = output;
  mMidiOutputData = userData;
  const AUMIDIOutputCallbackStruct callback = {output ? onMidiOutput : nullptr, this};
  return setGlobalProperty(kAudioUnitProperty_MIDIOutputCallback, &callback, sizeof callback);
}

OSStatus HostModel::onMidiOutput(void* userData, const AudioTimeStamp*, uint32_t, const MIDIPacketList* packets)
{
  const auto* self = static_cast<const HostModel*>(userData);
  for (uint32_t i = 0; i < packets->numPackets; ++i)
  {
    const MIDIPacket& packet = packets->packet[i];
    self->mMidiOutput(self->mMidiOutputData, packet.data, packet.length, uint32_t(packet.timeStamp));
  }
  return noErr;
}

uint32_t HostModel::ComponentVersion() const
{
  return uint32_t(CallComponentSelector(mUnit, kComponentVersionSelect));
}

OSStatus HostModel::SendMidi(uint8_t status, uint8_t data1, uint8_t data2, uint32_t sampleOffset)
{
  return MusicDeviceMIDIEvent(mUnit, status, data1, data2, sampleOffset);
}

OSStatus HostModel::SendMidiForRender(uint8_t status, uint8_t data1, uint8_t data2, uint32_t sampleOffset)
{
  if (!mMidi) return SendMidi(status, data1, data2, sampleOffset);
  return mMidi(mRenderStorage, status, data1, data2, sampleOffset);
}

uint32_t HostModel::ParameterCount() const
{
  uint32_t size = 0;
  AudioUnitGetPropertyInfo(mUnit, kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0, &size, nullptr);
  return size / sizeof(AudioUnitParameterID);
}

OSStatus HostModel::GetParameter(AudioUnitParameterID id, AudioUnitParameterValue* outValue) const
{
  return AudioUnitGetParameter(mUnit, id, kAudioUnitScope_Global, 0, outValue);
}

OSStatus HostModel::SetParameter(AudioUnitParameterID id, AudioUnitParameterValue value)
{
  return AudioUnitSetParameter(mUnit, id, kAudioUnitScope_Global, 0, value, 0);
}

OSStatus HostModel::ScheduleParameters(const AudioUnitParameterEvent* events, uint32_t count)
{
  return AudioUnitScheduleParameters(mUnit, events, count);
}

OSStatus HostModel::GetParameterInfo(AudioUnitParameterID id, HostParameterInfo& info) const
{
  AudioUnitParameterInfo record{};
  OSStatus result = getGlobalProperty(kAudioUnitProperty_ParameterInfo, id, &record, sizeof record);
  if (result != noErr) return result;
  // The component hands over its strings; the flag says the name is ours to release.
  if ((record.flags & kAudioUnitParameterFlag_HasCFNameString) && record.cfNameString)
    info.mName = CFStringGetCStringPtr(record.cfNameString, kCFStringEncodingUTF8);
  else
    info.mName.assign(record.name, strnlen(record.name, sizeof record.name));
  if (record.flags & kAudioUnitParameterFlag_CFNameRelease) CFRelease(record.cfNameString);
  info.mUnitName = record.unit == kAudioUnitParameterUnit_CustomUnit ? takeString(record.unitName) : std::string();
  info.mUnit = record.unit;
  info.mMin = record.minValue;
  info.mMax = record.maxValue;
  info.mDefault = record.defaultValue;
  info.mFlags = record.flags;
  info.mClumpId = (record.flags & kAudioUnitParameterFlag_HasClump) ? record.clumpID : 0;
  return noErr;
}

OSStatus HostModel::GetParameterDefault(AudioUnitParameterID id, AudioUnitParameterValue* outValue) const
{
  return getGlobalProperty(kTessarynProperty_ParameterDefault, id, outValue, sizeof *outValue);
}

std::vector<std::string> HostModel::ParameterValueStrings(AudioUnitParameterID id) const
{
  CFArrayRef strings = nullptr;
  std::vector<std::string> texts;
  if (getGlobalProperty(kAudioUnitProperty_ParameterValueStrings, id, &strings, sizeof strings) != noErr) return texts;
  for (CFIndex i = 0; i < CFArrayGetCount(strings); ++i)
    texts.emplace_back(
        CFStringGetCStringPtr(static_cast<CFStringRef>(CFArrayGetValueAtIndex(strings, i)), kCFStringEncodingUTF8));
  CFRelease(strings);
  return texts;
}

std::string HostModel::ParameterValueText(AudioUnitParameterID id, AudioUnitParameterValue value) const
{
  AudioUnitParameterStringFromValue request = {id, &value, nullptr};
  OSStatus result = getGlobalProperty(kAudioUnitProperty_ParameterStringFromValue, 0, &request, sizeof request);
  return takeStringOf(result, request, &AudioUnitParameterStringFromValue::outString);
}

bool HostModel::ParameterValueFromText(AudioUnitParameterID id, const char* text,
                                       AudioUnitParameterValue* outValue) const
{
  CFStringRef string = CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8);
  AudioUnitParameterValueFromString request = {id, string, *outValue};
  OSStatus result = getGlobalProperty(kAudioUnitProperty_ParameterValueFromString, 0, &request, sizeof request);
  CFRelease(string);
  if (result == noErr) *outValue = request.outValue;
  return result == noErr;
}

std::string HostModel::ParameterName(AudioUnitParameterID id, int32_t desiredLength) const
{
  AudioUnitParameterIDName request = {id, desiredLength, nullptr};
  OSStatus result = getGlobalProperty(kAudioUnitProperty_ParameterIDName, 0, &request, sizeof request);
  return takeStringOf(result, request, &AudioUnitParameterIDName::outName);
}

std::string HostModel::ClumpName(uint32_t clumpId) const
{
  AudioUnitParameterNameInfo request = {clumpId, kAudioUnitParameterName_Full, nullptr};
  OSStatus result = getGlobalProperty(kAudioUnitProperty_ParameterClumpName, 0, &request, sizeof request);
  return takeStringOf(result, request, &AudioUnitParameterNameInfo::outName);
}

HostParameterNotes HostModel::ParameterNotes(AudioUnitParameterID id) const
{
  TessarynParameterNotes record{};
  HostParameterNotes notes;
  if (getGlobalProperty(kTessarynProperty_ParameterNotes, id, &record, sizeof record) != noErr) return notes;
  notes.mDescription = takeString(record.description);
  notes.mUnit = takeString(record.unitName);
  notes.mHasNamedValue = record.valueName != nullptr;
  notes.mValueName = takeString(record.valueName);
  notes.mNamedValue = record.namedValue;
  return notes;
}

OSStatus HostModel::GetState(CFPropertyListRef* outState) const
{
  *outState = nullptr;
  return getGlobalProperty(kAudioUnitProperty_ClassInfo, 0, outState, sizeof *outState);
}

OSStatus HostModel::SetState(CFPropertyListRef state)
{
  return setGlobalProperty(kAudioUnitProperty_ClassInfo, &state, sizeof state);
}

OSStatus HostModel::SaveState(std::vector<uint8_t>& bytes) const
{
  CFPropertyListRef state = nullptr;
  OSStatus result = GetState(&state);
  if (result != noErr) return result;
  CFDataRef data = PropertyListCreateData(state);
  CFRelease(state);
  if (!data) return kAudioUnitErr_InvalidPropertyValue;
  const uint8_t* first = CFDataGetBytePtr(data);
  bytes.assign(first, first + CFDataGetLength(data));
  CFRelease(data);
  return noErr;
}

OSStatus HostModel::LoadState(const uint8_t* bytes, size_t size)
{
  CFPropertyListRef state = PropertyListCreateFromBytes(bytes, size);
  if (!state) return kAudioUnitErr_InvalidPropertyValue;
  OSStatus result = SetState(state);
  CFRelease(state);
  return result;
}

std::vector<HostPreset> HostModel::FactoryPresets() const
{
  CFArrayRef records = nullptr;
  std::vector<HostPreset> presets;
  if (getGlobalProperty(kAudioUnitProperty_FactoryPresets, 0, &records, sizeof records) != noErr) return presets;
  for (CFIndex i = 0; i < CFArrayGetCount(records); ++i)
  {
    auto* record = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(records, i));
    const char* name = record->presetName ? CFStringGetCStringPtr(record->presetName, kCFStringEncodingUTF8) : "";
    presets.push_back({record->presetNumber, name});
  }
  CFRelease(records);
  return presets;
}

OSStatus HostModel::SelectPreset(int32_t number)
{
  AUPreset preset = {number, nullptr};
  return setGlobalProperty(kAudioUnitProperty_CurrentPreset, &preset, sizeof preset);
}

OSStatus HostModel::CurrentPreset(HostPreset& preset) const
{
  AUPreset record = {0, nullptr};
  OSStatus result = getGlobalProperty(kAudioUnitProperty_PresentPreset, 0, &record, sizeof record);
  if (result == noErr) preset = {record.presetNumber, takeString(record.presetName)};
  return result;
}

void HostModel::SetTransport(const HostTransport& transport)
{
  mTransportChanged = transport.mPlaying != mTransport.mPlaying;
  mTransport = transport;
}

OSStatus HostModel::Render(float* const* outputs, uint32_t channels, uint32_t frames)
{
  if (!mRender || channels > kMaxChannels || mMaxFrames == 0) return kAudioUnitErr_InvalidPropertyValue;
  float* slice[kMaxChannels];
  for (uint32_t done = 0; done < frames;)
  {
    uint32_t count = std::min(frames - done, mMaxFrames);
    for (uint32_t c = 0; c < channels; ++c)
      slice[c] = outputs[c] + done;
    OSStatus result = renderSlice(slice, channels, count);
    if (result != noErr) return result;
    done += count;
  }
  return noErr;
}

OSStatus HostModel::renderSlice(float* const* outputs, uint32_t channels, uint32_t frames)
{
  AudioBufferList* list = mBuffers.Get();
  list->mNumberBuffers = channels;
  for (uint32_t c = 0; c < channels; ++c)
    list->mBuffers[c] = {1, uint32_t(frames * sizeof(float)), outputs[c]};
  AudioTimeStamp time{};
  time.mSampleTime = mSampleTime;
  time.mFlags = kAudioTimeStampSampleTimeValid;
  AudioUnitRenderActionFlags flags = 0;
  OSStatus result = mRender(mRenderStorage, &flags, &time, 0, frames, list);
  if (result == noErr) mSampleTime += frames;
  return result;
}

OSStatus HostModel::getGlobalProperty(AudioUnitPropertyID id, AudioUnitElement element, void* data, uint32_t size) const
{
  return AudioUnitGetProperty(mUnit, id, kAudioUnitScope_Global, element, data, &size);
}

OSStatus HostModel::setGlobalProperty(AudioUnitPropertyID id, const void* data, uint32_t size)
{
  return AudioUnitSetProperty(mUnit, id, kAudioUnitScope_Global, 0, data, size);
}

void HostModel::onEvent(void* userData, void*, const AudioUnitEvent* event)
{
  auto* self = static_cast<HostModel*>(userData);
  AudioUnitParameterID id = event->mArgument.mParameter.mParameterID;
  switch (event->mEventType)
  {
  case kAudioUnitEvent_ParameterValueChange:
  {
    AudioUnitParameterValue value = 0.0f;
    if (self->mCallbacks.mParamChanged && self->GetParameter(id, &value) == noErr)
      self->mCallbacks.mParamChanged(id, value);
    break;
  }
  case kAudioUnitEvent_BeginParameterChangeGesture:
  case kAudioUnitEvent_EndParameterChangeGesture:
    if (self->mCallbacks.mParamGesture)
      self->mCallbacks.mParamGesture(id, event->mEventType == kAudioUnitEvent_BeginParameterChangeGesture);
    break;
  }
}

void HostModel::onPresentPresetChanged(void* userData, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement)
{
  auto* self = static_cast<HostModel*>(userData);
  HostPreset preset;
  if (self->mCallbacks.mProgramChanged && self->CurrentPreset(preset) == noErr)
    self->mCallbacks.mProgramChanged(preset.mNumber);
}

OSStatus HostModel::LoadBankFile(const char* path)
{
  return setGlobalProperty(kTessarynProperty_LoadBankFile, &path, sizeof path);
}

OSStatus HostModel::LoadProgramFile(const char* path)
{
  return setGlobalProperty(kTessarynProperty_LoadProgramFile, &path, sizeof path);
}

OSStatus HostModel::SaveBankFile(const char* path)
{
  return setGlobalProperty(kTessarynProperty_SaveBankFile, &path, sizeof path);
}

OSStatus HostModel::OpenEditor(unsigned long parent, bool hostIdle, double hostScale)
{
  CloseEditor();
  AudioUnitCocoaViewInfo info{};
  OSStatus result = getGlobalProperty(kAudioUnitProperty_CocoaUI, 0, &info, sizeof info);
  if (result != noErr) return result;
  // Factory classes are found by name in this process; the bundle adds nothing.
  if (info.mCocoaAUViewBundleLocation) CFRelease(info.mCocoaAUViewBundleLocation);
  const std::string className = takeString(info.mCocoaAUViewClass[0]);
  std::unique_ptr<AUViewFactory> factory = MakeViewFactory(className.c_str());
  if (!factory) return kAudioUnitErr_InvalidPropertyValue;
  if (!factory->uiViewForAudioUnit(mUnit, parent, hostIdle, hostScale).mWindow) return kAudioUnitErr_InvalidProperty;
  mEditor = std::move(factory);
  return noErr;
}

void HostModel::IdleEditor()
{
  if (mEditor) mEditor->idleView();
}

AUX11View HostModel::Editor() const
{
  return mEditor ? mEditor->view() : AUX11View{};
}

void HostModel::CloseEditor()
{
  if (!mEditor) return;
  mEditor->closeView();
  mEditor.reset();
}

OSStatus HostModel::PerformPendingWork()
{
  const uint32_t perform = 1;
  return setGlobalProperty(kTessarynProperty_PerformPendingWork, &perform, sizeof perform);
}

OSStatus HostModel::beatAndTempo(void* userData, double* outBeat, double* outTempo)
{
  const HostTransport& transport = static_cast<HostModel*>(userData)->mTransport;
  if (outBeat) *outBeat = transport.mBeat;
  if (outTempo) *outTempo = transport.mTempo;
  return noErr;
}

OSStatus HostModel::musicalTimeLocation(void* userData, uint32_t* outSamplesToNextBeat, float* outNumerator,
                                        uint32_t* outDenominator, double* outDownBeat)
{
  const HostTransport& transport = static_cast<HostModel*>(userData)->mTransport;
  if (outSamplesToNextBeat) *outSamplesToNextBeat = transport.mSamplesToNextBeat;
  if (outNumerator) *outNumerator = transport.mNumerator;
  if (outDenominator) *outDenominator = transport.mDenominator;
  if (outDownBeat) *outDownBeat = transport.mDownBeat;
  return noErr;
}

OSStatus HostModel::transportState(void* userData, Boolean* outPlaying, Boolean* outStateChanged,
                                   double* outSamplePosition, Boolean* outCycling, double* outCycleStart,
                                   double* outCycleEnd)
{
  auto* self = static_cast<HostModel*>(userData);
  const HostTransport& transport = self->mTransport;
  if (outPlaying) *outPlaying = transport.mPlaying;
  if (outStateChanged) *outStateChanged = self->mTransportChanged;
  if (outSamplePosition) *outSamplePosition = transport.mSamplePosition;
  if (outCycling) *outCycling = transport.mCycling;
  if (outCycleStart) *outCycleStart = transport.mCycleStart;
  if (outCycleEnd) *outCycleEnd = transport.mCycleEnd;
  return noErr;
}
