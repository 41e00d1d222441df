// The property table: what the host may ask of and tell an instance.

#include "IPlugAU.h"

#include "ComponentManager.h"
#include "IGraphics.h"
#include "IPlugAUDictionary.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace
{
constexpr AudioUnitScope kGlobal = kAudioUnitScope_Global;
constexpr AudioUnitScope kInput = kAudioUnitScope_Input;
constexpr AudioUnitScope kOutput = kAudioUnitScope_Output;

// The oldest system whose hosts load Cocoa views.
constexpr int32_t kFirstCocoaViewOSVersion = 0x1050;
constexpr int kMaxParamIDNameLength = 31;

// Writes a plain value when the host gave room for it; the size is reported either way.
template <class T> ComponentResult answer(uint32_t* size, void* data, const T& value)
{
  *size = sizeof(T);
  if (data) memcpy(data, &value, sizeof(T));
  return noErr;
}

// The parameter text requests: the host passes a record to fill. Other scopes
// learn the size only.
template <class Request>
ComponentResult answerRequest(IPlugAU* plug, ComponentResult (IPlugAU::*handler)(Request*), bool global, uint32_t* size,
                              void* data)
{
  *size = sizeof(Request);
  if (!global) return noErr;
  if (!data) return kAudioUnitErr_InvalidProperty;
  return (plug->*handler)(static_cast<Request*>(data));
}

template <class T> const T& valueAt(const void* data)
{
  return *static_cast<const T*>(data);
}

CFStringRef makeString(const char* text)
{
  return CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8);
}
} // namespace

ComponentResult IPlugAU::GetProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                     uint32_t* size, Boolean* writable, void* data)
{
  const bool global = scope == kGlobal;
  switch (propID)
  {
  case kAudioUnitProperty_ClassInfo:
    *size = sizeof(CFPropertyListRef);
    *writable = true;
    return data ? GetState(static_cast<CFPropertyListRef*>(data)) : noErr;
  case kAudioUnitProperty_MakeConnection:
    if (scope > kInput) return kAudioUnitErr_InvalidProperty;
    *size = sizeof(AudioUnitConnection);
    *writable = true;
    return noErr;
  case kAudioUnitProperty_SampleRate:
    *writable = true;
    return answer(size, data, static_cast<double>(GetSampleRate()));
  case kAudioUnitProperty_ParameterList:
  {
    const int n = global ? NParams() : 0;
    *size = static_cast<uint32_t>(n) * sizeof(AudioUnitParameterID);
    for (int i = 0; data && i < n; ++i)
      static_cast<AudioUnitParameterID*>(data)[i] = static_cast<AudioUnitParameterID>(i);
    return noErr;
  }
  case kAudioUnitProperty_ParameterInfo:
    if (const ComponentResult result = parameterElementResult(global, element)) return result;
    *size = sizeof(AudioUnitParameterInfo);
    return data ? getParameterInfo(element, static_cast<AudioUnitParameterInfo*>(data)) : noErr;
  case kTessarynProperty_ParameterDefault:
    if (const ComponentResult result = parameterElementResult(global, element)) return result;
    return answer(size, data, static_cast<AudioUnitParameterValue>(GetParam(static_cast<int>(element))->GetDefault()));
  case kTessarynProperty_ParameterNotes:
    if (const ComponentResult result = parameterElementResult(global, element)) return result;
    *size = sizeof(TessarynParameterNotes);
    return data ? getParameterNotes(element, static_cast<TessarynParameterNotes*>(data)) : noErr;
  case kAudioUnitProperty_FastDispatch:
  {
    *size = sizeof(void*);
    void* proc = nullptr;
    if (element == kAudioUnitRenderSelect)
      proc = reinterpret_cast<void*>(&RenderProc);
    else if (element == kAudioUnitSetParameterSelect)
      proc = reinterpret_cast<void*>(&SetParamProc);
    else if (element == kAudioUnitGetParameterSelect)
      proc = reinterpret_cast<void*>(&GetParamProc);
    else if (element == kMusicDeviceMIDIEventSelect)
      proc = reinterpret_cast<void*>(&MIDIEventProc);
    else
      return kAudioUnitErr_InvalidElement;
    return answer(size, data, proc);
  }
  case kAudioUnitProperty_StreamFormat:
  {
    const BusChannels* bus = GetBus(scope, element);
    if (!bus) return kAudioUnitErr_InvalidProperty;
    *writable = true;
    AudioStreamBasicDescription asbd;
    const int nChannels = bus->mNHostChannels < 0 ? bus->mNPlugChannels : bus->mNHostChannels;
    MakeDefaultASBD(&asbd, GetSampleRate(), nChannels, false);
    return answer(size, data, asbd);
  }
  case kAudioUnitProperty_ElementCount:
  {
    uint32_t count = 0;
    if (global)
      count = 1;
    else if (scope == kInput)
      count = static_cast<uint32_t>(NInputBuses());
    else if (scope == kOutput)
      count = static_cast<uint32_t>(NOutputBuses());
    return answer(size, data, count);
  }
  case kAudioUnitProperty_Latency:
    if (!global) return kAudioUnitErr_InvalidProperty;
    return answer(size, data, static_cast<double>(GetLatency()) / GetSampleRate());
  case kAudioUnitProperty_SupportedNumChannels:
  {
    if (!global) return kAudioUnitErr_InvalidProperty;
    const int n = mChannelIO.GetSize();
    *size = static_cast<uint32_t>(n) * sizeof(AUChannelInfo);
    for (int i = 0; data && i < n; ++i)
    {
      const ChannelIO* io = mChannelIO.Get(i);
      static_cast<AUChannelInfo*>(data)[i] = {static_cast<int16_t>(io->mIn), static_cast<int16_t>(io->mOut)};
    }
    return noErr;
  }
  case kAudioUnitProperty_MaximumFramesPerSlice:
    if (!global) return kAudioUnitErr_InvalidProperty;
    *writable = true;
    return answer(size, data, static_cast<uint32_t>(GetBlockSize()));
  case kAudioUnitProperty_ParameterValueStrings:
    if (!global) return kAudioUnitErr_InvalidProperty;
    if (element >= static_cast<uint32_t>(NParams())) return kAudioUnitErr_InvalidElement;
    if (GetParam(static_cast<int>(element))->GetNDisplayTexts() == 0)
    {
      *size = 0;
      return kAudioUnitErr_InvalidProperty;
    }
    *size = sizeof(CFArrayRef);
    return data ? getParameterValueStrings(element, static_cast<CFArrayRef*>(data)) : noErr;
  case kAudioUnitProperty_GetUIComponentList:
  {
    if (!GetGUI()) return kAudioUnitErr_InvalidProperty;
    const ComponentDescription view{kAudioUnitCarbonViewComponentType, static_cast<OSType>(GetUniqueID()),
                                    static_cast<OSType>(GetMfrID()), 0, 0};
    return answer(size, data, view);
  }
  case kAudioUnitProperty_AudioChannelLayout:
    return kAudioUnitErr_InvalidPropertyValue;
  case kAudioUnitProperty_TailTime:
    if (!global) return kAudioUnitErr_InvalidProperty;
    *writable = GetTailSize() > 0;
    return answer(size, data, static_cast<double>(GetTailSize()) / GetSampleRate());
  case kAudioUnitProperty_BypassEffect:
    if (!global) return kAudioUnitErr_InvalidProperty;
    *writable = true;
    return answer(size, data, static_cast<uint32_t>(IsBypassed() ? 1 : 0));
  case kAudioUnitProperty_LastRenderError:
    if (!global) return kAudioUnitErr_InvalidProperty;
    return answer(size, data, static_cast<OSStatus>(noErr));
  case kAudioUnitProperty_SetRenderCallback:
    if (scope > kInput || element >= static_cast<uint32_t>(mInBusConnections.GetSize()))
      return kAudioUnitErr_InvalidProperty;
    *size = sizeof(AURenderCallbackStruct);
    *writable = true;
    return noErr;
  case kAudioUnitProperty_FactoryPresets:
    *size = sizeof(CFArrayRef);
    return data ? getFactoryPresets(static_cast<CFArrayRef*>(data)) : noErr;
  case kAudioUnitProperty_HostCallbacks:
    if (!global) return kAudioUnitErr_InvalidProperty;
    *size = sizeof(HostCallbackInfo);
    *writable = true;
    return noErr;
  case kAudioUnitProperty_CurrentPreset:
  case kAudioUnitProperty_PresentPreset:
  {
    *size = sizeof(AUPreset);
    *writable = true;
    if (!data) return noErr;
    const int idx = GetCurrentPresetIdx();
    return answer(size, data, AUPreset{idx, makeString(GetPresetName(idx))});
  }
  case kAudioUnitProperty_ElementName:
    *size = sizeof(CFStringRef);
    if (!data) return kAudioUnitErr_InvalidProperty;
    return getElementName(scope, element, static_cast<CFStringRef*>(data));
  case kAudioUnitProperty_CocoaUI:
    if (!GetGUI() || GetOperatingSystemVersion() < kFirstCocoaViewOSVersion) return kAudioUnitErr_InvalidProperty;
    *size = sizeof(AudioUnitCocoaViewInfo);
    return data ? getCocoaUI(static_cast<AudioUnitCocoaViewInfo*>(data)) : noErr;
  case kAudioUnitProperty_SupportedChannelLayoutTags:
  {
    if (!IsInst() || NOutputBuses() == 1) return kAudioUnitErr_InvalidProperty;
    AudioChannelLayoutTag tag = 0;
    if (!GetChannelLayoutTags(scope, element, data ? &tag : nullptr)) return kAudioUnitErr_InvalidProperty;
    *writable = true;
    return answer(size, data, tag);
  }
  case kAudioUnitProperty_ParameterStringFromValue:
    return answerRequest(this, &IPlugAU::getParameterStringFromValue, global, size, data);
  case kAudioUnitProperty_ParameterIDName:
    return answerRequest(this, &IPlugAU::getParameterIDName, global, size, data);
  case kAudioUnitProperty_ParameterClumpName:
    return answerRequest(this, &IPlugAU::getParameterClumpName, global, size, data);
  case kAudioUnitProperty_ParameterValueFromString:
    return answerRequest(this, &IPlugAU::getParameterValueFromString, global, size, data);
  case kMusicDeviceProperty_InstrumentCount:
    if (!global || !IsInst()) return kAudioUnitErr_InvalidProperty;
    return answer(size, data, static_cast<uint32_t>(1));
  default:
    return kAudioUnitErr_InvalidProperty;
  }
}

ComponentResult IPlugAU::SetProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                     uint32_t*, const void* data)
{
  InformListeners(propID, scope);
  if (!data) return kAudioUnitErr_InvalidPropertyValue;
  switch (propID)
  {
  case kAudioUnitProperty_ClassInfo:
    return SetState(valueAt<CFPropertyListRef>(data));
  case kAudioUnitProperty_MakeConnection:
    return makeConnection(scope, static_cast<const AudioUnitConnection*>(data));
  case kAudioUnitProperty_SampleRate:
    return setSampleRateProperty(valueAt<double>(data));
  case kAudioUnitProperty_StreamFormat:
    return setStreamFormat(scope, element, static_cast<const AudioStreamBasicDescription*>(data));
  case kAudioUnitProperty_MaximumFramesPerSlice:
    return setMaxFramesProperty(valueAt<uint32_t>(data));
  case kAudioUnitProperty_BypassEffect:
    // The render reads the flag as it goes; Reset while initialised only asks
    // the render to restart its state.
    mIsBypassed = valueAt<uint32_t>(data) != 0;
    OnActivate(!mIsBypassed);
    Reset();
    return noErr;
  case kAudioUnitProperty_SetRenderCallback:
    return setRenderCallback(scope, element, static_cast<const AURenderCallbackStruct*>(data));
  case kAudioUnitProperty_HostCallbacks:
    if (scope != kGlobal) return kAudioUnitErr_InvalidProperty;
    memcpy(&mHostCallbacks, data, sizeof(HostCallbackInfo));
    return noErr;
  case kAudioUnitProperty_CurrentPreset:
  case kAudioUnitProperty_PresentPreset:
    RestorePreset(static_cast<int>(valueAt<AUPreset>(data).presetNumber));
    return noErr;
  case kAudioUnitProperty_OfflineRender:
    mIsOffline = valueAt<uint32_t>(data) != 0;
    return noErr;
  case kAudioUnitProperty_AUHostIdentifier:
    return setHostIdentifier(static_cast<const AUHostIdentifier*>(data));
  case kAudioUnitProperty_MIDIOutputCallback:
  {
    if (scope != kGlobal) return kAudioUnitErr_InvalidScope;
    const auto& output = valueAt<AUMIDIOutputCallbackStruct>(data);
    mMidiOutputProc.store(nullptr, std::memory_order_release);
    mMidiOutputData.store(output.userData, std::memory_order_release);
    mMidiOutputProc.store(output.midiOutputCallback, std::memory_order_release);
    return noErr;
  }
  case kTessarynProperty_PerformPendingWork:
    PerformPendingWork();
    return noErr;
  case kTessarynProperty_LoadBankFile:
  case kTessarynProperty_LoadProgramFile:
    if (scope != kGlobal) return kAudioUnitErr_InvalidScope;
    if (!valueAt<const char*>(data)) return kAudioUnitErr_InvalidPropertyValue;
    return LoadFileFromHost(propID == kTessarynProperty_LoadBankFile ? kHostBankFile : kHostProgramFile,
                            valueAt<const char*>(data));
  case kTessarynProperty_SaveBankFile:
    if (scope != kGlobal) return kAudioUnitErr_InvalidScope;
    if (!valueAt<const char*>(data)) return kAudioUnitErr_InvalidPropertyValue;
    return saveBankForHost(valueAt<const char*>(data));
  default:
    return kAudioUnitErr_InvalidProperty;
  }
}

// The render advances what a new rate or block size rebuilds (tables, buffers,
// the MIDI queue), so neither may change while the host may be rendering.
ComponentResult IPlugAU::setSampleRateProperty(double sampleRate)
{
  if (!(sampleRate > 0.0) || !std::isfinite(sampleRate)) return kAudioUnitErr_InvalidPropertyValue;
  if (mActive) return sampleRate == GetSampleRate() ? noErr : kAudioUnitErr_Initialized;
  SetSampleRate(sampleRate);
  Reset();
  return noErr;
}

ComponentResult IPlugAU::setMaxFramesProperty(uint32_t frames)
{
  if (frames > static_cast<uint32_t>(INT_MAX)) return kAudioUnitErr_InvalidPropertyValue;
  const int blockSize = static_cast<int>(frames);
  if (mActive) return blockSize == GetBlockSize() ? noErr : kAudioUnitErr_Initialized;
  if (!SetBlockSize(blockSize)) return kAudioUnitErr_InvalidPropertyValue;
  Reset();
  return noErr;
}

ComponentResult IPlugAU::LoadFileFromHost(EHostFileKind, const char*)
{
  return kAudioUnitErr_InvalidProperty;
}

// As the instrument's own bank command does, the current program takes its
// live edits first, so the file holds the sound as it is heard.
ComponentResult IPlugAU::saveBankForHost(const char* path)
{
  ModifyCurrentPreset(nullptr);
  WDL_String file(path);
  return SaveBankAsFXB(&file) ? noErr : kAudioUnitErr_InvalidPropertyValue;
}

ComponentResult IPlugAU::getParameterInfo(AudioUnitElement element, AudioUnitParameterInfo* info)
{
  const IParam* param = GetParam(static_cast<int>(element));
  memset(info, 0, sizeof(AudioUnitParameterInfo));
  info->flags = kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_HasCFNameString |
                kAudioUnitParameterFlag_CFNameRelease;
  if (param->GetCanAutomate()) info->flags |= kAudioUnitParameterFlag_IsWritable;
  if (param->GetIsMeta()) info->flags |= kAudioUnitParameterFlag_IsElementMeta;

  const char* name = param->GetNameForHost();
  info->cfNameString = makeString(name);
  snprintf(info->name, sizeof(info->name), "%s", name);

  switch (param->Type())
  {
  case kTypeInt:
  case kTypeEnum:
    info->unit = kAudioUnitParameterUnit_Indexed;
    break;
  case kTypeBool:
    info->unit = kAudioUnitParameterUnit_Boolean;
    break;
  default:
    if (const char* label = param->GetLabelForHost(); *label)
    {
      info->unit = kAudioUnitParameterUnit_CustomUnit;
      info->unitName = makeString(label);
    }
    else
    {
      info->unit = kAudioUnitParameterUnit_Generic;
    }
  }

  double minValue, maxValue;
  param->GetBounds(&minValue, &maxValue);
  info->minValue = static_cast<AudioUnitParameterValue>(minValue);
  info->maxValue = static_cast<AudioUnitParameterValue>(maxValue);
  info->defaultValue = static_cast<AudioUnitParameterValue>(param->Value());

  if (const char* group = param->GetParamGroupForHost(); *group)
  {
    info->flags |= kAudioUnitParameterFlag_HasClump;
    info->clumpID = static_cast<uint32_t>(clumpIdFor(group));
  }
  return noErr;
}

ComponentResult IPlugAU::parameterElementResult(bool global, AudioUnitElement element) const
{
  if (!global) return kAudioUnitErr_InvalidProperty;
  return element < static_cast<uint32_t>(NParams()) ? noErr : kAudioUnitErr_InvalidElement;
}

ComponentResult IPlugAU::getParameterNotes(AudioUnitElement element, TessarynParameterNotes* notes)
{
  const IParamNotes source = GetParamNotes(static_cast<int>(element));
  notes->description = makeString(source.mDescription);
  notes->unitName = makeString(GetParam(static_cast<int>(element))->GetLabel());
  notes->valueName = source.mValueName ? makeString(source.mValueName) : nullptr;
  notes->namedValue = static_cast<AudioUnitParameterValue>(source.mNamedValue);
  return noErr;
}

int IPlugAU::clumpIdFor(const char* group)
{
  for (int i = mParamGroups.GetSize() - 1; i >= 0; --i)
    if (strcmp(mParamGroups.Get(i), group) == 0) return i + 1;
  mParamGroups.Add(group);
  return mParamGroups.GetSize();
}

ComponentResult IPlugAU::getParameterValueStrings(AudioUnitElement element, CFArrayRef* strings)
{
  const IParam* param = GetParam(static_cast<int>(element));
  const int n = param->GetNDisplayTexts();
  CFMutableArrayRef array = CFArrayCreateMutable(nullptr, n, &kCFTypeArrayCallBacks);
  for (int i = 0; i < n; ++i)
  {
    CFStringRef text = makeString(param->GetDisplayTextAtIdx(i));
    CFArrayAppendValue(array, text);
    CFRelease(text);
  }
  *strings = array;
  return noErr;
}

ComponentResult IPlugAU::getParameterStringFromValue(AudioUnitParameterStringFromValue* request)
{
  const IParam* param = GetParam(static_cast<int>(request->inParamID));
  if (!param || !request->inValue) return kAudioUnitErr_InvalidElement;
  param->GetDisplayForHost(*request->inValue, false, mParamDisplayStr, true);
  request->outString = makeString(mParamDisplayStr);
  return noErr;
}

ComponentResult IPlugAU::getParameterIDName(AudioUnitParameterIDName* request)
{
  const IParam* param = GetParam(static_cast<int>(request->inID));
  if (!param) return kAudioUnitErr_InvalidElement;
  char name[kMaxParamIDNameLength + 1];
  snprintf(name, sizeof(name), "%s", param->GetNameForHost());
  if (request->inDesiredLength != kAudioUnitParameterName_Full && request->inDesiredLength >= 0 &&
      request->inDesiredLength < kMaxParamIDNameLength)
    name[request->inDesiredLength] = '\0';
  request->outName = makeString(name);
  return noErr;
}

ComponentResult IPlugAU::getParameterClumpName(AudioUnitParameterNameInfo* request)
{
  const int clumpID = static_cast<int>(request->inID);
  if (clumpID < 1) return kAudioUnitErr_PropertyNotInUse;
  const char* group = mParamGroups.Get(clumpID - 1);
  if (!group) return kAudioUnitErr_InvalidElement;
  request->outName = makeString(group);
  return noErr;
}

ComponentResult IPlugAU::getParameterValueFromString(AudioUnitParameterValueFromString* request)
{
  const IParam* param = GetParam(static_cast<int>(request->inParamID));
  if (!param || !request->inString) return kAudioUnitErr_InvalidElement;
  WDL_String text;
  CopyCString(request->inString, &text);
  if (param->GetNDisplayTexts())
  {
    int index;
    if (param->MapDisplayText(text.Get(), &index)) request->outValue = static_cast<AudioUnitParameterValue>(index);
    return noErr;
  }
  const double value = strtod(text.Get(), nullptr);
  request->outValue = static_cast<AudioUnitParameterValue>(param->GetNegateDisplay() ? -value : value);
  return noErr;
}

ComponentResult IPlugAU::getElementName(AudioUnitScope scope, AudioUnitElement element, CFStringRef* name)
{
  const WDL_String* label;
  if (scope == kOutput)
  {
    label = GetOutputBusLabel(static_cast<int>(element));
  }
  else if (scope == kInput)
  {
    if (element > 1) return kAudioUnitErr_InvalidElement;
    label = GetInputBusLabel(static_cast<int>(element));
  }
  else
  {
    return kAudioUnitErr_InvalidScope;
  }
  if (!label) return kAudioUnitErr_InvalidElement;
  *name = makeString(label->Get());
  return noErr;
}

ComponentResult IPlugAU::getCocoaUI(AudioUnitCocoaViewInfo* info)
{
  CFStringRef identifier = makeString(mInstanceInfo.mOSXBundleID.Get());
  CFBundleRef bundle = CFBundleGetBundleWithIdentifier(identifier);
  CFRelease(identifier);
  info->mCocoaAUViewBundleLocation = bundle ? CFBundleCopyBundleURL(bundle) : nullptr;
  info->mCocoaAUViewClass[0] = makeString(mInstanceInfo.mCocoaViewFactoryClassName.Get());
  return noErr;
}

ComponentResult IPlugAU::setHostIdentifier(const AUHostIdentifier* identifier)
{
  WDL_String name;
  CopyCString(identifier->hostName, &name);
  const NumVersion& v = identifier->hostVersion;
  const int version = (v.majorRev << 16) + ((v.minorAndBugRev & 0xF0) << 4) + (v.minorAndBugRev & 0x0F);
  SetHost(name.Get(), version);
  OnHostIdentified();
  return noErr;
}
