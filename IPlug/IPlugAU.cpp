#include "IPlugAU.h"

#include "ComponentManager.h"
#include "IGraphics.h"
#include "IMidiMsg.h"

#include <cmath>

namespace
{
// Parameter-block arguments arrive as pointer-sized integers.
template <class T> T ptrArg(const intptr_t* args, int i)
{
  return reinterpret_cast<T>(args[i]);
}

int intArg(const intptr_t* args, int i)
{
  return static_cast<int>(args[i]);
}

uint32_t uintArg(const intptr_t* args, int i)
{
  return static_cast<uint32_t>(args[i]);
}

// Instances of every plug-in in the process are built one at a time.
WDL_Mutex& creationMutex()
{
  static WDL_Mutex mutex;
  return mutex;
}

IPlugAU* plugFrom(void* plug)
{
  return static_cast<IPlugAU*>(plug);
}

// Note pitches and velocities from a host become MIDI bytes.
bool inMidiRange(float value)
{
  return value >= 0.0f && value <= 127.0f;
}
} // namespace

IPlugAU::IPlugAU(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
                 const char* effectName, const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
                 int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, int plugScChans)
    : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion, uniqueID, mfrID,
                latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPIAU),
      mInstanceInfo(instanceInfo)
{
  makeBuses(plugScChans);
}

IPlugAU::~IPlugAU()
{
  mRenderNotify.Empty(true);
  mInBuses.Empty(true);
  mOutBuses.Empty(true);
  mInBusConnections.Empty(true);
  mPropertyListeners.Empty(true);
}

struct IPlugAU::Selector
{
  int mWhat;
  ComponentResult (IPlugAU::*mHandler)(const intptr_t* args);
  bool mCanDo;
};

const IPlugAU::Selector* IPlugAU::findSelector(int what)
{
  // Rows whose can-do answer is false are still served: hosts call them
  // without asking first.
  static const Selector kSelectors[] = {
      {kComponentVersionSelect, &IPlugAU::doVersion, false},
      {kAudioUnitInitializeSelect, &IPlugAU::doInitialize, true},
      {kAudioUnitUninitializeSelect, &IPlugAU::doUninitialize, true},
      {kAudioUnitGetPropertyInfoSelect, &IPlugAU::doGetPropertyInfo, true},
      {kAudioUnitGetPropertySelect, &IPlugAU::doGetProperty, true},
      {kAudioUnitSetPropertySelect, &IPlugAU::doSetProperty, true},
      {kAudioUnitGetParameterSelect, &IPlugAU::doGetParameter, true},
      {kAudioUnitSetParameterSelect, &IPlugAU::doSetParameter, true},
      {kAudioUnitResetSelect, &IPlugAU::doNothing, true},
      {kAudioUnitAddPropertyListenerSelect, &IPlugAU::doAddPropertyListener, true},
      {kAudioUnitRemovePropertyListenerSelect, &IPlugAU::doRemovePropertyListener, true},
      {kAudioUnitRenderSelect, &IPlugAU::doRender, true},
      {kAudioUnitAddRenderNotifySelect, &IPlugAU::doAddRenderNotify, true},
      {kAudioUnitRemoveRenderNotifySelect, &IPlugAU::doRemoveRenderNotify, true},
      {kAudioUnitScheduleParametersSelect, &IPlugAU::doScheduleParameters, true},
      {kAudioUnitRemovePropertyListenerWithUserDataSelect, &IPlugAU::doRemovePropertyListenerWithUserData, false},
      {kMusicDeviceMIDIEventSelect, &IPlugAU::doMidiEvent, false},
      {kMusicDeviceSysExSelect, &IPlugAU::doSysEx, false},
      {kMusicDevicePrepareInstrumentSelect, &IPlugAU::doNothing, false},
      {kMusicDeviceReleaseInstrumentSelect, &IPlugAU::doNothing, false},
      {kMusicDeviceStartNoteSelect, &IPlugAU::doStartNote, false},
      {kMusicDeviceStopNoteSelect, &IPlugAU::doStopNote, false},
  };
  for (const Selector& selector : kSelectors)
    if (selector.mWhat == what) return &selector;
  return nullptr;
}

bool IPlugAU::canDo(int selector)
{
  const Selector* row = findSelector(selector);
  return row && row->mCanDo;
}

ComponentResult IPlugAU::IPlugAUEntry(ComponentParameters* params, void* storage, MakePlugFn makePlug)
{
  const int what = params->what;
  const intptr_t* args = params->params + 1;
  IPlugAU* plug = plugFrom(storage);
  switch (what)
  {
  case kComponentOpenSelect:
    return openInstance(params, makePlug);
  case kComponentCloseSelect:
    return closeInstance(plug);
  case kComponentCanDoSelect:
    return canDo(intArg(args, 0)) ? 1 : 0;
  default:
    break;
  }
  const Selector* row = findSelector(what);
  if (!row) return badComponentSelector;
  if (!plug) return badComponentInstance;
  WDL_MutexLock lock(&plug->mMutex);
  return (plug->*row->mHandler)(args);
}

ComponentResult IPlugAU::openInstance(ComponentParameters* params, MakePlugFn makePlug)
{
  IPlugAU* plug = nullptr;
  {
    WDL_MutexLock lock(&creationMutex());
    if (makePlug) plug = makePlug();
  }
  if (!plug) return badComponentInstance;
  plug->HostSpecificInit();
  plug->PruneUninitializedPresets();
  plug->mCI = reinterpret_cast<AudioUnit>(params->params[0]);
  SetComponentInstanceStorage(plug->mCI, plug);
  return noErr;
}

ComponentResult IPlugAU::closeInstance(IPlugAU* plug)
{
  if (plug)
  {
    plug->ClearConnections();
    delete plug;
  }
  return noErr;
}

ComponentResult IPlugAU::doInitialize(const intptr_t*)
{
  if (!CheckLegalIO()) return badComponentSelector;
  mActive = true;
  OnParamReset();
  OnActivate(true);
  return noErr;
}

ComponentResult IPlugAU::doUninitialize(const intptr_t*)
{
  mActive = false;
  OnActivate(false);
  return noErr;
}

ComponentResult IPlugAU::doGetPropertyInfo(const intptr_t* args)
{
  uint32_t localSize = 0;
  Boolean localWritable = false;
  uint32_t* size = ptrArg<uint32_t*>(args, 3);
  Boolean* writable = ptrArg<Boolean*>(args, 4);
  if (!size) size = &localSize;
  if (!writable) writable = &localWritable;
  *writable = false;
  return GetProperty(uintArg(args, 0), uintArg(args, 1), uintArg(args, 2), size, writable, nullptr);
}

ComponentResult IPlugAU::doGetProperty(const intptr_t* args)
{
  Boolean writable = false;
  uint32_t localSize = 0;
  uint32_t* size = ptrArg<uint32_t*>(args, 4);
  return GetProperty(uintArg(args, 0), uintArg(args, 1), uintArg(args, 2), size ? size : &localSize, &writable,
                     ptrArg<void*>(args, 3));
}

ComponentResult IPlugAU::doSetProperty(const intptr_t* args)
{
  uint32_t size = uintArg(args, 4);
  return SetProperty(uintArg(args, 0), uintArg(args, 1), uintArg(args, 2), &size, ptrArg<const void*>(args, 3));
}

ComponentResult IPlugAU::doGetParameter(const intptr_t* args)
{
  return GetParamProc(this, uintArg(args, 0), uintArg(args, 1), uintArg(args, 2),
                      ptrArg<AudioUnitParameterValue*>(args, 3));
}

ComponentResult IPlugAU::doSetParameter(const intptr_t* args)
{
  return SetParamProc(this, uintArg(args, 0), uintArg(args, 1), uintArg(args, 2), ComponentArgToFloat(args[3]), 0);
}

ComponentResult IPlugAU::doVersion(const intptr_t*)
{
  return GetEffectVersion(false);
}

ComponentResult IPlugAU::doNothing(const intptr_t*)
{
  return noErr;
}

int IPlugAU::findListener(AudioUnitPropertyID propID, AudioUnitPropertyListenerProc proc, const void* userData,
                          bool matchUserData) const
{
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i)
  {
    const PropertyListener* listener = mPropertyListeners.Get(i);
    if (listener->mPropID == propID && listener->mListenerProc == proc &&
        (!matchUserData || listener->mProcArgs == userData))
      return i;
  }
  return -1;
}

ComponentResult IPlugAU::doAddPropertyListener(const intptr_t* args)
{
  const PropertyListener listener{uintArg(args, 0), ptrArg<AudioUnitPropertyListenerProc>(args, 1),
                                  ptrArg<void*>(args, 2)};
  if (findListener(listener.mPropID, listener.mListenerProc, nullptr, false) < 0)
  {
    PropertyListener* copy = new PropertyListener(listener);
    if (!mPropertyListeners.Add(copy)) delete copy;
  }
  return noErr;
}

ComponentResult IPlugAU::doRemovePropertyListener(const intptr_t* args)
{
  mPropertyListeners.Delete(
      findListener(uintArg(args, 0), ptrArg<AudioUnitPropertyListenerProc>(args, 1), nullptr, false), true);
  return noErr;
}

ComponentResult IPlugAU::doRemovePropertyListenerWithUserData(const intptr_t* args)
{
  mPropertyListeners.Delete(
      findListener(uintArg(args, 0), ptrArg<AudioUnitPropertyListenerProc>(args, 1), ptrArg<void*>(args, 2), true),
      true);
  return noErr;
}

ComponentResult IPlugAU::doRender(const intptr_t* args)
{
  return RenderProc(this, ptrArg<AudioUnitRenderActionFlags*>(args, 0), ptrArg<const AudioTimeStamp*>(args, 1),
                    uintArg(args, 2), uintArg(args, 3), ptrArg<AudioBufferList*>(args, 4));
}

ComponentResult IPlugAU::doAddRenderNotify(const intptr_t* args)
{
  RenderNotify* notify = new RenderNotify{ptrArg<AURenderCallback>(args, 0), ptrArg<void*>(args, 1)};
  if (!mRenderNotify.Add(notify)) delete notify;
  return noErr;
}

ComponentResult IPlugAU::doRemoveRenderNotify(const intptr_t* args)
{
  const AURenderCallback proc = ptrArg<AURenderCallback>(args, 0);
  for (int i = 0; i < mRenderNotify.GetSize(); ++i)
  {
    if (mRenderNotify.Get(i)->mProc == proc)
    {
      mRenderNotify.Delete(i, true);
      break;
    }
  }
  return noErr;
}

ComponentResult IPlugAU::doScheduleParameters(const intptr_t* args)
{
  const AudioUnitParameterEvent* events = ptrArg<const AudioUnitParameterEvent*>(args, 0);
  const uint32_t nEvents = uintArg(args, 1);
  if (!events && nEvents > 0) return kAudioUnitErr_InvalidPropertyValue;
  for (uint32_t i = 0; i < nEvents; ++i)
  {
    const AudioUnitParameterEvent& event = events[i];
    if (event.eventType != kParameterEvent_Immediate) continue;
    const ComponentResult result =
        SetParamProc(this, event.parameter, event.scope, event.element, event.eventValues.immediate.value, 0);
    if (result != noErr) return result;
  }
  return noErr;
}

ComponentResult IPlugAU::doMidiEvent(const intptr_t* args)
{
  return MIDIEventProc(this, uintArg(args, 0), uintArg(args, 1), uintArg(args, 2), uintArg(args, 3));
}

ComponentResult IPlugAU::MIDIEventProc(void* plug, uint32_t status, uint32_t data1, uint32_t data2,
                                       uint32_t offsetFrames)
{
  IMidiMsg msg(static_cast<int>(offsetFrames), static_cast<uint8_t>(status & 0xFF), static_cast<uint8_t>(data1 & 0xFF),
               static_cast<uint8_t>(data2 & 0xFF));
  plugFrom(plug)->ProcessMidiMsg(&msg);
  return noErr;
}

ComponentResult IPlugAU::doSysEx(const intptr_t* args)
{
  if (!ptrArg<const uint8_t*>(args, 0) && intArg(args, 1) != 0) return kAudioUnitErr_InvalidPropertyValue;
  ISysEx sysEx(0, ptrArg<const uint8_t*>(args, 0), intArg(args, 1));
  ProcessSysEx(&sysEx);
  return noErr;
}

ComponentResult IPlugAU::doStartNote(const intptr_t* args)
{
  NoteInstanceID* noteID = ptrArg<NoteInstanceID*>(args, 2);
  const MusicDeviceNoteParams* noteParams = ptrArg<const MusicDeviceNoteParams*>(args, 4);
  if (!noteID || !noteParams || !inMidiRange(noteParams->mPitch) || !inMidiRange(noteParams->mVelocity))
    return kAudioUnitErr_InvalidPropertyValue;
  const int note = static_cast<int>(noteParams->mPitch);
  *noteID = static_cast<NoteInstanceID>(note);
  IMidiMsg msg;
  msg.MakeNoteOnMsg(note, static_cast<int>(noteParams->mVelocity), intArg(args, 3), 0);
  ProcessMidiMsg(&msg);
  return noErr;
}

ComponentResult IPlugAU::doStopNote(const intptr_t* args)
{
  IMidiMsg msg;
  msg.MakeNoteOffMsg(intArg(args, 1), intArg(args, 2), 0);
  ProcessMidiMsg(&msg);
  return noErr;
}

ComponentResult IPlugAU::GetParamProc(void* plug, AudioUnitParameterID paramID, AudioUnitScope scope, AudioUnitElement,
                                      AudioUnitParameterValue* value)
{
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
  if (!value) return kAudioUnitErr_InvalidPropertyValue;
  IPlugAU* self = plugFrom(plug);
  WDL_MutexLock lock(&self->mMutex);
  const IParam* param = self->GetParam(static_cast<int>(paramID));
  if (!param) return kAudioUnitErr_InvalidElement;
  *value = static_cast<AudioUnitParameterValue>(param->Value());
  return noErr;
}

ComponentResult IPlugAU::SetParamProc(void* plug, AudioUnitParameterID paramID, AudioUnitScope scope, AudioUnitElement,
                                      AudioUnitParameterValue value, uint32_t)
{
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
  if (std::isnan(value)) return kAudioUnitErr_InvalidPropertyValue;
  IPlugAU* self = plugFrom(plug);
  WDL_MutexLock lock(&self->mMutex);
  const int idx = static_cast<int>(paramID);
  IParam* param = self->GetParam(idx);
  if (!param) return kAudioUnitErr_InvalidElement;
  param->Set(value);
  if (IGraphics* gui = self->GetGUI()) gui->SetParameterFromPlug(idx, value, false);
  self->OnParamChange(idx);
  return noErr;
}

void SendAUEvent(AudioUnitEventType type, AudioUnit ci, int paramIdx)
{
  AudioUnitEvent event = {};
  event.mEventType = type;
  event.mArgument.mParameter.mAudioUnit = ci;
  event.mArgument.mParameter.mParameterID = static_cast<AudioUnitParameterID>(paramIdx);
  event.mArgument.mParameter.mScope = kAudioUnitScope_Global;
  event.mArgument.mParameter.mElement = 0;
  AUEventListenerNotify(nullptr, nullptr, &event);
}

void IPlugAU::BeginInformHostOfParamChange(int idx)
{
  SendAUEvent(kAudioUnitEvent_BeginParameterChangeGesture, mCI, idx);
}

void IPlugAU::InformHostOfParamChange(int idx, double)
{
  SendAUEvent(kAudioUnitEvent_ParameterValueChange, mCI, idx);
}

void IPlugAU::EndInformHostOfParamChange(int idx)
{
  SendAUEvent(kAudioUnitEvent_EndParameterChangeGesture, mCI, idx);
}

void IPlugAU::InformHostOfProgramChange()
{
  InformListeners(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global);
}

void IPlugAU::InformListeners(AudioUnitPropertyID propID, AudioUnitScope scope)
{
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i)
  {
    const PropertyListener* listener = mPropertyListeners.Get(i);
    if (listener->mPropID == propID) listener->mListenerProc(listener->mProcArgs, mCI, propID, scope, 0);
  }
}
