#pragma once
// The host's side of an Audio Unit component: what a workstation would do with
// the instrument, for front-ends that are not Audio Unit hosts (plug-in
// wrappers, the standalone application, the renderer, tests). It opens an
// instance of a registered component, configures and initialises it, delivers
// MIDI and parameters, saves and restores state, offers the factory presets,
// supplies transport information and renders through the component's fast
// render procedure.
//
// Threads: "control" means one non-audio thread at a time and never while
// Render runs; "any non-audio" calls go through the component's entry, which
// takes the plug-in's lock; "audio" calls take no lock and allocate nothing.

#include "AUViewFactory.h"
#include "ComponentManager.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The transport as the front-end's host reports it, for the block about to render.
struct HostTransport
{
  double mTempo = 120.0;
  double mBeat = 0.0; // quarter notes since the start of the timeline
  double mSamplePosition = 0.0;
  bool mPlaying = false;
  bool mCycling = false;
  double mCycleStart = 0.0; // beats
  double mCycleEnd = 0.0;   // beats
  float mNumerator = 4.0f;
  uint32_t mDenominator = 4;
  double mDownBeat = 0.0; // beat of the current bar's first beat
  uint32_t mSamplesToNextBeat = 0;
};

struct HostParameterInfo
{
  std::string mName;
  std::string mUnitName; // only with kAudioUnitParameterUnit_CustomUnit
  AudioUnitParameterUnit mUnit = kAudioUnitParameterUnit_Generic;
  float mMin = 0.0f;
  float mMax = 0.0f;
  float mDefault = 0.0f; // the value at the time of the query
  AudioUnitParameterOptions mFlags = 0;
  uint32_t mClumpId = 0; // 0: no group
};

// The component's notes on a parameter (vendor property 64004); empty texts
// for components without them.
struct HostParameterNotes
{
  std::string mDescription;
  std::string mUnit; // also for integer parameters
  bool mHasNamedValue = false;
  float mNamedValue = 0.0f;
  std::string mValueName;
};

struct HostPreset
{
  int32_t mNumber = 0;
  std::string mName;
};

// Notifications from the component, called on whichever thread the component
// announced the change (a host thread, the user-interface thread); never on the
// audio thread by this model. Unset ones are skipped.
// MIDI the component sends (its MIDI thru): one channel message at a sample
// offset into the next render, on the thread that made it, which is the audio
// thread for what SendMidiForRender delivers.
using HostMidiOutput = void (*)(void* userData, const uint8_t* bytes, uint32_t size, uint32_t sampleOffset);

struct HostModelCallbacks
{
  std::function<void(AudioUnitParameterID id, AudioUnitParameterValue value)> mParamChanged;
  std::function<void(AudioUnitParameterID id, bool begins)> mParamGesture;
  std::function<void(int32_t program)> mProgramChanged;
};

class HostModel
{
public:
  static constexpr uint32_t kMaxChannels = 128;

  explicit HostModel(HostModelCallbacks callbacks = {});
  ~HostModel(); // closes the editor and the instance; control thread
  HostModel(const HostModel&) = delete;
  HostModel& operator=(const HostModel&) = delete;

  // --- Lifecycle; control thread.
  // Opens an instance, hands it the transport procedures, subscribes to its
  // notifications and fetches its fast render procedure (without one the
  // instance is closed again and kAudioUnitErr_InvalidProperty returned).
  OSStatus Open(Component component);
  void Close();
  bool IsOpen() const { return mUnit != nullptr; }
  AudioUnit Unit() const { return mUnit; }

  OSStatus SetSampleRate(double sampleRate);
  OSStatus SetMaxFrames(uint32_t frames);
  // Non-interleaved 32-bit float at the current sample rate.
  OSStatus SetStreamFormat(AudioUnitScope scope, AudioUnitElement bus, uint32_t channels);
  OSStatus Initialize();
  OSStatus Uninitialize();

  OSStatus AddPropertyListener(AudioUnitPropertyID id, AudioUnitPropertyListenerProc listener, void* userData);
  OSStatus AddRenderNotify(AURenderCallback proc, void* refCon);
  // Before rendering; null stops the output.
  OSStatus SetMidiOutput(HostMidiOutput output, void* userData);
  // The component's packed version word (major, minor, bug-fix bytes).
  uint32_t ComponentVersion() const;

  // --- MIDI and parameters; any non-audio thread.
  OSStatus SendMidi(uint8_t status, uint8_t data1, uint8_t data2, uint32_t sampleOffset);
  uint32_t ParameterCount() const;
  OSStatus GetParameter(AudioUnitParameterID id, AudioUnitParameterValue* outValue) const;
  OSStatus SetParameter(AudioUnitParameterID id, AudioUnitParameterValue value);
  OSStatus ScheduleParameters(const AudioUnitParameterEvent* events, uint32_t count);

  // --- Parameter descriptions; any non-audio thread. Texts are empty on failure.
  OSStatus GetParameterInfo(AudioUnitParameterID id, HostParameterInfo& info) const;
  // The parameter's own default (not the current value of the info record);
  // fails for components that do not tell it.
  OSStatus GetParameterDefault(AudioUnitParameterID id, AudioUnitParameterValue* outValue) const;
  std::vector<std::string> ParameterValueStrings(AudioUnitParameterID id) const;
  std::string ParameterValueText(AudioUnitParameterID id, AudioUnitParameterValue value) const;
  // False when the component refuses; *outValue is left alone then.
  bool ParameterValueFromText(AudioUnitParameterID id, const char* text, AudioUnitParameterValue* outValue) const;
  std::string ParameterName(AudioUnitParameterID id, int32_t desiredLength = kAudioUnitParameterName_Full) const;
  std::string ClumpName(uint32_t clumpId) const;
  HostParameterNotes ParameterNotes(AudioUnitParameterID id) const;

  // --- State and presets; any non-audio thread.
  // The state dictionary, owned by the caller.
  OSStatus GetState(CFPropertyListRef* outState) const;
  OSStatus SetState(CFPropertyListRef state);
  // The state dictionary in the byte form of the property-list layer.
  OSStatus SaveState(std::vector<uint8_t>& bytes) const;
  // Bytes that are not a property list give kAudioUnitErr_InvalidPropertyValue.
  OSStatus LoadState(const uint8_t* bytes, size_t size);
  std::vector<HostPreset> FactoryPresets() const;
  // Selects through the current-preset property, so the program-change
  // callback (present preset) is not called for the host's own choice.
  OSStatus SelectPreset(int32_t number);
  OSStatus CurrentPreset(HostPreset& preset) const;

  // --- The instrument's own program and bank files, read and written by the
  // instrument (vendor properties 64000/64001/64005); control thread.
  // kAudioUnitErr_InvalidProperty when the component has no such readers or
  // writer; its own status when it rejects the file or cannot write it.
  OSStatus LoadBankFile(const char* path);
  OSStatus LoadProgramFile(const char* path);
  // Every program, the current one with its live edits; the file is replaced
  // whole or left as it was.
  OSStatus SaveBankFile(const char* path);

  // --- The instrument's editor, through the view factory class the component
  // names; the front-end's UI thread, which must be the same thread for every
  // call from OpenEditor to CloseEditor. parent: the X window to embed it in,
  // 0 for a top-level window. With hostIdle the caller drives the editor with
  // IdleEditor; otherwise it runs a thread of its own. hostScale 0 leaves the
  // scale to the desktop and the user. kAudioUnitErr_InvalidProperty when the
  // component offers no editor.
  OSStatus OpenEditor(unsigned long parent, bool hostIdle = false, double hostScale = 0.0);
  // Handles the editor's events and draws what is due; never waits.
  void IdleEditor();
  // Window 0 when no editor is open (also once the user closed a top-level one).
  AUX11View Editor() const;
  void CloseEditor();

  // --- A non-real-time worker thread: lets the instrument apply, under its
  // lock, what its audio thread handed over instead of waiting for it.
  OSStatus PerformPendingWork();

  // --- Audio thread.
  // MIDI for the next Render through the component's fast MIDI procedure,
  // which takes no lock; through the entry when the component has none.
  OSStatus SendMidiForRender(uint8_t status, uint8_t data1, uint8_t data2, uint32_t sampleOffset);
  // The transport for the next Render.
  void SetTransport(const HostTransport& transport);
  // Renders `frames` frames of every channel into non-interleaved buffers, in
  // slices of the maximum frame count; the sample time advances by what was
  // rendered. At most kMaxChannels channels. No lock, no allocation.
  OSStatus Render(float* const* outputs, uint32_t channels, uint32_t frames);
  double SampleTime() const { return mSampleTime; }

private:
  OSStatus renderSlice(float* const* outputs, uint32_t channels, uint32_t frames);
  OSStatus getGlobalProperty(AudioUnitPropertyID id, AudioUnitElement element, void* data, uint32_t size) const;
  OSStatus setGlobalProperty(AudioUnitPropertyID id, const void* data, uint32_t size);

  static void onEvent(void* userData, void* sendingObject, const AudioUnitEvent* event);
  static OSStatus onMidiOutput(void* userData, const AudioTimeStamp* timeStamp, uint32_t midiOutNum,
                               const MIDIPacketList* packets);
  static void onPresentPresetChanged(void* userData, AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope,
                                     AudioUnitElement element);
  static OSStatus beatAndTempo(void* userData, double* outBeat, double* outTempo);
  static OSStatus musicalTimeLocation(void* userData, uint32_t* outSamplesToNextBeat, float* outNumerator,
                                      uint32_t* outDenominator, double* outDownBeat);
  static OSStatus transportState(void* userData, Boolean* outPlaying, Boolean* outStateChanged,
                                 double* outSamplePosition, Boolean* outCycling, double* outCycleStart,
                                 double* outCycleEnd);

  const HostModelCallbacks mCallbacks;
  HostMidiOutput mMidiOutput = nullptr;
  void* mMidiOutputData = nullptr;
  AudioUnit mUnit = nullptr;
  AUEventListenerRef mEvents = nullptr;
  AudioUnitRenderProc mRender = nullptr;
  MusicDeviceMIDIEventProc mMidi = nullptr;
  void* mRenderStorage = nullptr;
  double mSampleRate = 44100.0;
  uint32_t mMaxFrames = 1024;
  double mSampleTime = 0.0;
  HostTransport mTransport;
  bool mTransportChanged = false;
  AudioBufferList128 mBuffers{};
  std::unique_ptr<AUViewFactory> mEditor;
};
