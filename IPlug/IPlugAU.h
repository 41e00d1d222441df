#pragma once
// The Audio Unit host adapter: one object per component instance. The host
// reaches it through IPlugAUEntry with a selector and a parameter block;
// property, parameter and state requests run under the plug-in mutex, the
// render procedure runs without it.

#include "Containers.h"
#include "IPlugBase.h"

#include "AudioUnitTypes.h"
#include "PropertyList.h"

#include <atomic>

// Passed by each plug-in's factory to its constructor; the editor finds its
// resources through the bundle identifier.
struct IPlugInstanceInfo
{
  WDL_String mOSXBundleID;
  WDL_String mCocoaViewFactoryClassName;
};

class IPlugAU : public IPlugBase
{
public:
  // Builds one plug-in object. Called at open under the process-wide
  // creation lock, so two constructions never overlap.
  using MakePlugFn = IPlugAU* (*)();
  // Makes an editor's graphics context; the maker of tests has no window.
  using MakeGraphicsFn = IGraphics* (*)(IPlugBase* pPlug, int w, int h, int fps, const char* bundleID);

  enum EAUInputType
  {
    NotConnected = 0,
    DirectFastProc,
    DirectNoFastProc,
    RenderCallback
  };

  struct BusChannels
  {
    bool mConnected = false;
    int mNHostChannels = -1;
    int mNPlugChannels = 0;
    int mPlugChannelStartIdx = 0;
  };

  struct InputBusConnection
  {
    void* mUpstreamObj = nullptr;
    AudioUnit mUpstreamUnit = nullptr;
    int mUpstreamBusIdx = 0;
    AudioUnitRenderProc mUpstreamRenderProc = nullptr;
    AURenderCallbackStruct mUpstreamRenderCallback = {};
    EAUInputType mInputType = NotConnected;
  };

  struct PropertyListener
  {
    AudioUnitPropertyID mPropID;
    AudioUnitPropertyListenerProc mListenerProc;
    void* mProcArgs;
  };

  IPlugAU(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets, const char* effectName,
          const char* productName, const char* mfrName, int vendorVersion, int uniqueID, int mfrID, int latency,
          bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, int plugScChans);
  ~IPlugAU() override;

  // The editor's graphics context for pPlug, finding its images among the
  // bundle's resources: the X11 window host unless a maker was installed.
  // The creating thread; the caller owns the result until it attaches it.
  IGraphics* MakeGraphics(IPlugBase* pPlug, int w, int h, int fps, const char* bundleID);
  // Process-wide, for headless tests; null restores the window host.
  static void SetGraphicsMaker(MakeGraphicsFn maker);

  // The component entry: any host thread. Open and close run unlocked; every
  // other selector runs under the plug-in mutex. storage is the object
  // registered at open (ignored by open itself).
  static ComponentResult IPlugAUEntry(ComponentParameters* params, void* storage, MakePlugFn makePlug);

  // Fast-dispatch procedures handed to the host through property 5.
  // Parameter procedures lock; RenderProc and MIDIEventProc take no lock and
  // allocate nothing.
  static ComponentResult GetParamProc(void* plug, AudioUnitParameterID paramID, AudioUnitScope scope,
                                      AudioUnitElement element, AudioUnitParameterValue* value);
  static ComponentResult SetParamProc(void* plug, AudioUnitParameterID paramID, AudioUnitScope scope,
                                      AudioUnitElement element, AudioUnitParameterValue value, uint32_t offsetFrames);
  // MIDI without the lock, for the render thread; the entry's MIDI selector
  // does the same under the lock.
  static ComponentResult MIDIEventProc(void* plug, uint32_t status, uint32_t data1, uint32_t data2,
                                       uint32_t offsetFrames);
  static ComponentResult RenderProc(void* plug, AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp,
                                    uint32_t outputBusIdx, uint32_t nFrames, AudioBufferList* bufferList);

  // Property access as the host's get/set property selectors see it; callers
  // hold the plug-in mutex. A null data pointer asks for size and writability.
  ComponentResult GetProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                              uint32_t* dataSize, Boolean* writable, void* data);
  ComponentResult SetProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                              uint32_t* dataSize, const void* data);

  enum EHostFileKind
  {
    kHostBankFile = 0,
    kHostProgramFile
  };

  // A bank or program file named by a front-end through the vendor properties
  // 64000/64001; instruments with file readers override it. Caller holds the
  // plug-in mutex. Unsupported by default.
  virtual ComponentResult LoadFileFromHost(EHostFileKind kind, const char* path);

  ComponentResult GetState(CFPropertyListRef* plist);
  ComponentResult SetState(CFPropertyListRef plist);

  AudioUnit GetComponentInstance() const { return mCI; }
  bool IsActive() const { return mActive; }
  int NInputBuses() const { return mInBuses.GetSize(); }
  int NOutputBuses() const { return mOutBuses.GetSize(); }
  BusChannels* GetBus(AudioUnitScope scope, AudioUnitElement element) const;

  // Host notification (editor and dispatch threads).
  void BeginInformHostOfParamChange(int idx) override;
  void InformHostOfParamChange(int idx, double normalizedValue) override;
  void EndInformHostOfParamChange(int idx) override;
  void InformHostOfProgramChange() override;

  // Transport queries through the host callbacks of property 27 (render thread).
  double GetSamplePos() override;
  double GetTempo() override;
  void GetTimeSig(int* numerator, int* denominator) override;
  void GetTime(ITimeInfo* pTimeInfo) override;

  bool IsRenderingOffline() override { return mIsOffline; }
  EHost GetHost() override;
  void HostSpecificInit() override;
  void ResizeGraphics(int w, int h) override;
  void SetLatency(int samples) override;
  // Channel messages to the host's MIDI output (property 48), on the caller's
  // thread; false without one. No lock, no allocation.
  bool SendMidiMsg(IMidiMsg* pMsg) override;
  void SetSampleRate(double sampleRate) override;
  bool SetBlockSize(int blockSize) override;

  // Under the plug-in mutex, on a non-real-time thread: applies what the audio
  // thread handed over rather than wait for the mutex. Nothing by default.
  virtual void PerformPendingWork() {}

private:
  struct RenderNotify
  {
    AURenderCallback mProc;
    void* mRefCon;
  };

  struct Selector;
  static const Selector* findSelector(int what);
  static ComponentResult openInstance(ComponentParameters* params, MakePlugFn makePlug);
  static ComponentResult closeInstance(IPlugAU* plug);
  static bool canDo(int selector);

  // One handler per selector row; args are the call's arguments after the instance handle.
  ComponentResult doVersion(const intptr_t* args);
  ComponentResult doInitialize(const intptr_t* args);
  ComponentResult doUninitialize(const intptr_t* args);
  ComponentResult doGetPropertyInfo(const intptr_t* args);
  ComponentResult doGetProperty(const intptr_t* args);
  ComponentResult doSetProperty(const intptr_t* args);
  ComponentResult doGetParameter(const intptr_t* args);
  ComponentResult doSetParameter(const intptr_t* args);
  ComponentResult doNothing(const intptr_t* args);
  ComponentResult doAddPropertyListener(const intptr_t* args);
  ComponentResult doRemovePropertyListener(const intptr_t* args);
  ComponentResult doRemovePropertyListenerWithUserData(const intptr_t* args);
  ComponentResult doRender(const intptr_t* args);
  ComponentResult doAddRenderNotify(const intptr_t* args);
  ComponentResult doRemoveRenderNotify(const intptr_t* args);
  ComponentResult doScheduleParameters(const intptr_t* args);
  ComponentResult doMidiEvent(const intptr_t* args);
  ComponentResult doSysEx(const intptr_t* args);
  ComponentResult doStartNote(const intptr_t* args);
  ComponentResult doStopNote(const intptr_t* args);

  int findListener(AudioUnitPropertyID propID, AudioUnitPropertyListenerProc proc, const void* userData,
                   bool matchUserData) const;
  void InformListeners(AudioUnitPropertyID propID, AudioUnitScope scope);

  // Property rows that need more than a line (IPlugAUProperties.cpp).
  // noErr when element names a parameter of the global scope.
  ComponentResult parameterElementResult(bool global, AudioUnitElement element) const;
  ComponentResult getParameterInfo(AudioUnitElement element, AudioUnitParameterInfo* info);
  ComponentResult getParameterNotes(AudioUnitElement element, TessarynParameterNotes* notes);
  int clumpIdFor(const char* group);
  ComponentResult getParameterValueStrings(AudioUnitElement element, CFArrayRef* strings);
  ComponentResult getParameterStringFromValue(AudioUnitParameterStringFromValue* request);
  ComponentResult getParameterIDName(AudioUnitParameterIDName* request);
  ComponentResult getParameterClumpName(AudioUnitParameterNameInfo* request);
  ComponentResult getParameterValueFromString(AudioUnitParameterValueFromString* request);
  ComponentResult getElementName(AudioUnitScope scope, AudioUnitElement element, CFStringRef* name);
  ComponentResult getCocoaUI(AudioUnitCocoaViewInfo* info);
  ComponentResult getFactoryPresets(CFArrayRef* presets);
  ComponentResult setHostIdentifier(const AUHostIdentifier* identifier);
  // Property 64005; caller holds the plug-in mutex.
  ComponentResult saveBankForHost(const char* path);

  // Buses, connections and rendering (IPlugAURender.cpp).
  void makeBuses(int plugScChans);
  void ClearConnections();
  int NHostChannelsConnected(const WDL_PtrList<BusChannels>& buses, int excludeIdx) const;
  bool CheckLegalIO() const;
  bool CheckLegalIO(AudioUnitScope scope, int busIdx, int nChannels) const;
  void AssessInputConnections();
  ComponentResult setStreamFormat(AudioUnitScope scope, AudioUnitElement element,
                                  const AudioStreamBasicDescription* format);
  ComponentResult makeConnection(AudioUnitScope scope, const AudioUnitConnection* connection);
  ComponentResult setRenderCallback(AudioUnitScope scope, AudioUnitElement element,
                                    const AURenderCallbackStruct* callback);
  ComponentResult render(const AudioTimeStamp* timeStamp, uint32_t outputBusIdx, uint32_t nFrames,
                         AudioBufferList* bufferList);
  ComponentResult pullInputs(const AudioTimeStamp* timeStamp, uint32_t nFrames);
  ComponentResult pullInput(int busIdx, const AudioTimeStamp* timeStamp, uint32_t nFrames, AudioBufferList* list);
  bool resizeScratchBuffers(int blockSize);
  ComponentResult setSampleRateProperty(double sampleRate);
  ComponentResult setMaxFramesProperty(uint32_t frames);
  void attachOutputs(int busIdx, uint32_t nFrames, AudioBufferList* bufferList);
  void notifyRender(AudioUnitRenderActionFlags flags, const AudioTimeStamp* timeStamp, uint32_t outputBusIdx,
                    uint32_t nFrames, AudioBufferList* bufferList);
  int GetChannelLayoutTags(AudioUnitScope scope, AudioUnitElement element, AudioChannelLayoutTag* tag) const;

  AudioUnit mCI = nullptr;
  bool mActive = false;
  bool mIsOffline = false;
  IPlugInstanceInfo mInstanceInfo;
  WDL_PtrList<BusChannels> mInBuses;
  WDL_PtrList<BusChannels> mOutBuses;
  WDL_PtrList<InputBusConnection> mInBusConnections;
  WDL_PtrList<PropertyListener> mPropertyListeners;
  WDL_PtrList<RenderNotify> mRenderNotify;
  HostCallbackInfo mHostCallbacks = {};
  // Property 48, read by SendMidiMsg on the render thread without the lock:
  // the procedure is cleared while its data changes.
  std::atomic<AUMIDIOutputCallback> mMidiOutputProc{nullptr};
  std::atomic<void*> mMidiOutputData{nullptr};
  WDL_TypedBuf<float> mInScratchBuf;
  WDL_TypedBuf<float> mOutScratchBuf;
  double mLastRenderSampleTime = -1.0;
  double mLastTempo = 120.0;
  char mParamDisplayStr[IParam::kMaxDisplaySize] = {};
};

// The host-facing notification as a free function, for callers without an object.
void SendAUEvent(AudioUnitEventType type, AudioUnit ci, int paramIdx);

// Channel counts to stream formats and layout tags.
void MakeDefaultASBD(AudioStreamBasicDescription* asbd, double sampleRate, int nChannels, bool interleaved);
AudioChannelLayoutTag GetTagForNumChannels(int nChannels);
