#pragma once
// Records, procedure types and numbers of the Audio Unit programming interface,
// our own definitions of them. Both sides of a component (the adapter inside
// the plug-in and the host model) use only these, so every layout and number
// here is part of the contract between them.

#include "CFTypes.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

using OSStatus = int32_t;
using ComponentResult = int32_t;
using OSType = uint32_t;

using AudioUnitPropertyID = uint32_t;
using AudioUnitScope = uint32_t;
using AudioUnitElement = uint32_t;
using AudioUnitParameterID = uint32_t;
using AudioUnitParameterValue = float;
using AudioUnitRenderActionFlags = uint32_t;
using AudioUnitParameterUnit = uint32_t;
using AudioUnitParameterOptions = uint32_t;
using AudioUnitEventType = uint32_t;
using AUParameterEventType = uint32_t;
using AudioChannelLayoutTag = uint32_t;
using MusicDeviceInstrumentID = uint32_t;
using MusicDeviceGroupID = uint32_t;
using NoteInstanceID = uint32_t;

// A component instance is an opaque handle owned by the component manager.
struct ComponentInstanceRecord;
using ComponentInstance = ComponentInstanceRecord*;
using AudioUnit = ComponentInstance;
using AudioComponentInstance = ComponentInstance;

constexpr uint32_t MakeFourCharCode(const char (&code)[5])
{
  return (uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) | (uint32_t(uint8_t(code[2])) << 8) |
         uint32_t(uint8_t(code[3]));
}

// ---------------------------------------------------------------------------
// The entry call.

constexpr int kComponentParamCapacity = 8;

// One call into a component's entry. params[0] is the component instance
// handle; params[1..] are the call's arguments in call order (see the selector
// table below). Pointers and integers are stored as they are; a 32-bit float
// travels as its bit pattern (ComponentArgFromFloat / ComponentArgToFloat).
struct ComponentParameters
{
  int16_t what;
  int32_t paramCount;
  intptr_t params[kComponentParamCapacity];
};

inline intptr_t ComponentArgFromFloat(float value)
{
  return intptr_t(std::bit_cast<uint32_t>(value));
}

inline float ComponentArgToFloat(intptr_t arg)
{
  return std::bit_cast<float>(uint32_t(arg));
}

// Any argument to its slot: pointers and integers as they are, floats by bits.
template <class T> intptr_t ComponentArg(T value)
{
  if constexpr (std::is_pointer_v<T>)
    return reinterpret_cast<intptr_t>(value);
  else if constexpr (std::is_floating_point_v<T>)
    return ComponentArgFromFloat(float(value));
  else
    return static_cast<intptr_t>(value);
}

// The argument at params[index] as the type the caller passed it as.
template <class T> T ComponentParam(const ComponentParameters* params, int index)
{
  intptr_t arg = params->params[index];
  if constexpr (std::is_pointer_v<T>)
    return reinterpret_cast<T>(arg);
  else if constexpr (std::is_floating_point_v<T>)
    return T(ComponentArgToFloat(arg));
  else
    return static_cast<T>(arg);
}

using ComponentRoutineProcPtr = ComponentResult (*)(ComponentParameters* params, void* storage);

struct ComponentDescription
{
  OSType componentType;
  OSType componentSubType;
  OSType componentManufacturer;
  uint32_t componentFlags;
  uint32_t componentFlagsMask;
};

// Selector numbers; the arguments after the instance handle, in params[1..]:
enum : int16_t
{
  kComponentOpenSelect = -1,    // (none)
  kComponentCloseSelect = -2,   // (none)
  kComponentCanDoSelect = -3,   // selector asked about
  kComponentVersionSelect = -4, // (none)

  kAudioUnitInitializeSelect = 1,              // (none)
  kAudioUnitUninitializeSelect = 2,            // (none)
  kAudioUnitGetPropertyInfoSelect = 3,         // id, scope, element, uint32_t* outSize, Boolean* outWritable
  kAudioUnitGetPropertySelect = 4,             // id, scope, element, void* outData, uint32_t* ioSize
  kAudioUnitSetPropertySelect = 5,             // id, scope, element, const void* data, uint32_t size
  kAudioUnitGetParameterSelect = 6,            // parameter id, scope, element, AudioUnitParameterValue* outValue
  kAudioUnitSetParameterSelect = 7,            // parameter id, scope, element, value (float bits), buffer offset
  kAudioUnitResetSelect = 9,                   // scope, element
  kAudioUnitAddPropertyListenerSelect = 10,    // id, AudioUnitPropertyListenerProc, void* userData
  kAudioUnitRemovePropertyListenerSelect = 11, // id, AudioUnitPropertyListenerProc
  kAudioUnitRenderSelect = 14, // AudioUnitRenderActionFlags*, const AudioTimeStamp*, bus, frames, AudioBufferList*
  kAudioUnitAddRenderNotifySelect = 15,                    // AURenderCallback, void* refCon
  kAudioUnitRemoveRenderNotifySelect = 16,                 // AURenderCallback, void* refCon
  kAudioUnitScheduleParametersSelect = 17,                 // const AudioUnitParameterEvent*, uint32_t count
  kAudioUnitRemovePropertyListenerWithUserDataSelect = 18, // id, AudioUnitPropertyListenerProc, void* userData

  kMusicDeviceMIDIEventSelect = 0x101,         // status, data1, data2, sample offset
  kMusicDeviceSysExSelect = 0x102,             // const uint8_t* data, uint32_t length
  kMusicDevicePrepareInstrumentSelect = 0x103, // instrument id
  kMusicDeviceReleaseInstrumentSelect = 0x104, // instrument id
  // instrument id, group id, NoteInstanceID* outNote, sample offset, const MusicDeviceNoteParams*
  kMusicDeviceStartNoteSelect = 0x105,
  kMusicDeviceStopNoteSelect = 0x106, // group id, NoteInstanceID, sample offset

  // Legacy view component: view handle at params[0]; AudioUnit, window, parent
  // control, const Float32Point* location, const Float32Point* size, void** outControl.
  kAudioUnitCarbonViewCreateSelect = 0x301,
};

// ---------------------------------------------------------------------------
// Numbers.

enum : OSType
{
  kAudioUnitType_MusicDevice = MakeFourCharCode("aumu"),
  kAudioUnitCarbonViewComponentType = MakeFourCharCode("auvw"),
  kAudioFormatLinearPCM = MakeFourCharCode("lpcm"),
};

enum : AudioUnitScope
{
  kAudioUnitScope_Global = 0,
  kAudioUnitScope_Input = 1,
  kAudioUnitScope_Output = 2,
};

enum : AudioUnitPropertyID
{
  kAudioUnitProperty_ClassInfo = 0,
  kAudioUnitProperty_MakeConnection = 1,
  kAudioUnitProperty_SampleRate = 2,
  kAudioUnitProperty_ParameterList = 3,
  kAudioUnitProperty_ParameterInfo = 4,
  kAudioUnitProperty_FastDispatch = 5,
  kAudioUnitProperty_StreamFormat = 8,
  kAudioUnitProperty_ElementCount = 11,
  kAudioUnitProperty_Latency = 12,
  kAudioUnitProperty_SupportedNumChannels = 13,
  kAudioUnitProperty_MaximumFramesPerSlice = 14,
  kAudioUnitProperty_ParameterValueStrings = 16,
  kAudioUnitProperty_GetUIComponentList = 18,
  kAudioUnitProperty_AudioChannelLayout = 19,
  kAudioUnitProperty_TailTime = 20,
  kAudioUnitProperty_BypassEffect = 21,
  kAudioUnitProperty_LastRenderError = 22,
  kAudioUnitProperty_SetRenderCallback = 23,
  kAudioUnitProperty_FactoryPresets = 24,
  kAudioUnitProperty_HostCallbacks = 27,
  kAudioUnitProperty_CurrentPreset = 28,
  kAudioUnitProperty_ElementName = 30,
  kAudioUnitProperty_CocoaUI = 31,
  kAudioUnitProperty_SupportedChannelLayoutTags = 32,
  kAudioUnitProperty_ParameterStringFromValue = 33,
  kAudioUnitProperty_ParameterIDName = 34,
  kAudioUnitProperty_ParameterClumpName = 35,
  kAudioUnitProperty_PresentPreset = 36,
  kAudioUnitProperty_OfflineRender = 37,
  kAudioUnitProperty_ParameterValueFromString = 38,
  kAudioUnitProperty_AUHostIdentifier = 46,
  kAudioUnitProperty_MIDIOutputCallback = 48,
  kMusicDeviceProperty_InstrumentCount = 1000,
  // This system's own: a front-end hands the instrument the path of a bank
  // (FXB) or program (FXP) file for its own readers, as a const char* record
  // holding a UTF-8 path; global scope, set only. No standard property loads
  // such files.
  kTessarynProperty_LoadBankFile = 64000,
  kTessarynProperty_LoadProgramFile = 64001,
  // Set (global scope, a UInt32 of any value): applies under the plug-in lock what the
  // audio thread handed over because it never waits for that lock (program
  // changes, learned controllers). For a host's non-real-time worker thread.
  kTessarynProperty_PerformPendingWork = 64002,
  // Also ours: the default of the parameter numbered by the element, in its
  // own units, as a Float32; global scope, get only. The standard parameter
  // info carries the current value in its default field instead.
  kTessarynProperty_ParameterDefault = 64003,
  // Ours too: what a host may show beside the parameter numbered by the
  // element, as a TessarynParameterNotes record; global scope, get only.
  kTessarynProperty_ParameterNotes = 64004,
  // Set only, global scope, a const char* record holding a UTF-8 path: the
  // instrument writes its whole program list to that bank (FXB) file, the
  // current program with its live edits, replacing the file whole or not at
  // all.
  kTessarynProperty_SaveBankFile = 64005,
};

// Status numbers, as signed 32-bit values.
enum : OSStatus
{
  noErr = 0,
  kAudioUnitErr_InvalidProperty = -10879,
  kAudioUnitErr_InvalidElement = -10877,
  kAudioUnitErr_InvalidScope = -10866,
  kAudioUnitErr_InvalidPropertyValue = -10851,
  kAudioUnitErr_PropertyNotInUse = -10850,
  kAudioUnitErr_Initialized = -10849,
  kAudioUnitErr_InvalidParameter = -10878,
  coreFoundationUnknownErr = -4960,
  badComponentInstance = int32_t(0x80008001u),
  badComponentSelector = int32_t(0x80008002u),
};

enum : AudioUnitParameterUnit
{
  kAudioUnitParameterUnit_Generic = 0,
  kAudioUnitParameterUnit_Indexed = 1,
  kAudioUnitParameterUnit_Boolean = 2,
  kAudioUnitParameterUnit_CustomUnit = 26,
};

enum : AudioUnitParameterOptions
{
  kAudioUnitParameterFlag_CFNameRelease = 0x00000010,
  kAudioUnitParameterFlag_HasClump = 0x00100000,
  kAudioUnitParameterFlag_HasCFNameString = 0x08000000,
  kAudioUnitParameterFlag_IsElementMeta = 0x20000000,
  kAudioUnitParameterFlag_IsReadable = 0x40000000,
  kAudioUnitParameterFlag_IsWritable = 0x80000000,
};

enum : AudioUnitRenderActionFlags
{
  kAudioUnitRenderAction_PreRender = 4,
  kAudioUnitRenderAction_PostRender = 8,
};

enum : AudioUnitEventType
{
  kAudioUnitEvent_ParameterValueChange = 0,
  kAudioUnitEvent_BeginParameterChangeGesture = 1,
  kAudioUnitEvent_EndParameterChangeGesture = 2,
};

enum : AUParameterEventType
{
  kParameterEvent_Immediate = 1,
  kParameterEvent_Ramped = 2,
};

enum : uint32_t
{
  kAudioFormatFlagIsFloat = 1,
  kAudioFormatFlagIsPacked = 8,
  kAudioFormatFlagIsNonInterleaved = 32,
};

enum : uint32_t
{
  kAudioTimeStampSampleTimeValid = 1,
  kAudioTimeStampHostTimeValid = 2,
  kAudioTimeStampRateScalarValid = 4,
};

enum : AudioChannelLayoutTag
{
  kAudioChannelLayoutTag_Mono = (100u << 16) | 1,
  kAudioChannelLayoutTag_Stereo = (101u << 16) | 2,
  kAudioChannelLayoutTag_Unknown = 0xFFFF0000u,
};

// ---------------------------------------------------------------------------
// Audio records.

struct AudioTimeStamp
{
  double mSampleTime;
  uint64_t mHostTime;
  double mRateScalar;
  uint64_t mWordClockTime;
  uint32_t mFlags;
  uint32_t mReserved;
};

struct AudioBuffer
{
  uint32_t mNumberChannels;
  uint32_t mDataByteSize;
  void* mData;
};

// mBuffers is a flexible trailing array: a list of n buffers occupies the room
// of AudioBufferListFixed<n>.
struct AudioBufferList
{
  uint32_t mNumberBuffers;
  AudioBuffer mBuffers[1];
};

// Storage for a buffer list of up to N buffers, for callers that must not
// allocate (the render path pulls inputs into a local one of 128).
template <uint32_t N> struct AudioBufferListFixed
{
  static_assert(N >= 1);
  AudioBufferList mList;
  AudioBuffer mMore[N - 1];

  AudioBufferList* Get() { return &mList; }
};
using AudioBufferList128 = AudioBufferListFixed<128>;
static_assert(offsetof(AudioBufferList128, mMore) == offsetof(AudioBufferList, mBuffers) + sizeof(AudioBuffer));

struct AudioStreamBasicDescription
{
  double mSampleRate;
  uint32_t mFormatID;
  uint32_t mFormatFlags;
  uint32_t mBytesPerPacket;
  uint32_t mFramesPerPacket;
  uint32_t mBytesPerFrame;
  uint32_t mChannelsPerFrame;
  uint32_t mBitsPerChannel;
  uint32_t mReserved;
};
static_assert(sizeof(AudioStreamBasicDescription) == 40);

struct AUChannelInfo
{
  int16_t inChannels;
  int16_t outChannels;
};

// ---------------------------------------------------------------------------
// Procedures.

using AURenderCallback = OSStatus (*)(void* refCon, AudioUnitRenderActionFlags* actionFlags,
                                      const AudioTimeStamp* timeStamp, uint32_t bus, uint32_t frames,
                                      AudioBufferList* data);

using AudioUnitPropertyListenerProc = void (*)(void* userData, AudioUnit unit, AudioUnitPropertyID id,
                                               AudioUnitScope scope, AudioUnitElement element);

// Fast-dispatch procedures (property 5, element = selector): called with the
// component's instance storage instead of its handle, and without the entry.
using AudioUnitRenderProc = OSStatus (*)(void* storage, AudioUnitRenderActionFlags* actionFlags,
                                         const AudioTimeStamp* timeStamp, uint32_t bus, uint32_t frames,
                                         AudioBufferList* data);
using AudioUnitGetParameterProc = OSStatus (*)(void* storage, AudioUnitParameterID id, AudioUnitScope scope,
                                               AudioUnitElement element, AudioUnitParameterValue* outValue);
using AudioUnitSetParameterProc = OSStatus (*)(void* storage, AudioUnitParameterID id, AudioUnitScope scope,
                                               AudioUnitElement element, AudioUnitParameterValue value,
                                               uint32_t bufferOffset);
// This system's own addition to the table: MIDI without the entry's lock, for
// the render thread.
using MusicDeviceMIDIEventProc = OSStatus (*)(void* storage, uint32_t status, uint32_t data1, uint32_t data2,
                                              uint32_t offsetSampleFrame);

// MIDI the instrument sends, handed to the host through property 48 on the
// thread that made it (the render thread when it answers the render's MIDI).
// A packet's time stamp is its sample offset into the next render.
struct MIDIPacket
{
  uint64_t timeStamp;
  uint16_t length;
  uint8_t data[256];
};

struct MIDIPacketList
{
  uint32_t numPackets;
  MIDIPacket packet[1];
};

using AUMIDIOutputCallback = OSStatus (*)(void* userData, const AudioTimeStamp* timeStamp, uint32_t midiOutNum,
                                          const MIDIPacketList* packets);

// Transport procedures the host supplies through property 27.
using HostCallback_GetBeatAndTempo = OSStatus (*)(void* hostUserData, double* outCurrentBeat, double* outCurrentTempo);
using HostCallback_GetMusicalTimeLocation = OSStatus (*)(void* hostUserData, uint32_t* outDeltaSampleOffsetToNextBeat,
                                                         float* outTimeSigNumerator, uint32_t* outTimeSigDenominator,
                                                         double* outCurrentMeasureDownBeat);
using HostCallback_GetTransportState = OSStatus (*)(void* hostUserData, Boolean* outIsPlaying,
                                                    Boolean* outTransportStateChanged,
                                                    double* outCurrentSampleInTimeLine, Boolean* outIsCycling,
                                                    double* outCycleStartBeat, double* outCycleEndBeat);

// ---------------------------------------------------------------------------
// Property data records.

struct HostCallbackInfo
{
  void* hostUserData;
  HostCallback_GetBeatAndTempo beatAndTempoProc;
  HostCallback_GetMusicalTimeLocation musicalTimeLocationProc;
  HostCallback_GetTransportState transportStateProc;
};
static_assert(sizeof(HostCallbackInfo) == 32);

struct AUMIDIOutputCallbackStruct
{
  AUMIDIOutputCallback midiOutputCallback;
  void* userData;
};

// Property 64004. The strings are new, the caller releases them; the unit is
// also given for integer parameters, whose standard info says only "indexed".
// valueName, when not null, names the value namedValue (a setting that
// switches something off, say).
struct TessarynParameterNotes
{
  CFStringRef description;
  CFStringRef unitName;
  CFStringRef valueName;
  AudioUnitParameterValue namedValue;
};

struct AURenderCallbackStruct
{
  AURenderCallback inputProc;
  void* inputProcRefCon;
};

struct AudioUnitConnection
{
  AudioUnit sourceAudioUnit;
  uint32_t sourceOutputNumber;
  uint32_t destInputNumber;
};

struct AudioUnitParameterInfo
{
  char name[52];
  CFStringRef unitName;
  uint32_t clumpID;
  CFStringRef cfNameString;
  AudioUnitParameterUnit unit;
  AudioUnitParameterValue minValue;
  AudioUnitParameterValue maxValue;
  AudioUnitParameterValue defaultValue;
  AudioUnitParameterOptions flags;
};
static_assert(sizeof(AudioUnitParameterInfo) == 104);

struct AUPreset
{
  int32_t presetNumber;
  CFStringRef presetName;
};

struct AudioUnitParameterEvent
{
  AudioUnitScope scope;
  AudioUnitElement element;
  AudioUnitParameterID parameter;
  AUParameterEventType eventType;
  union
  {
    struct
    {
      int32_t startBufferOffset;
      uint32_t durationInFrames;
      AudioUnitParameterValue startValue;
      AudioUnitParameterValue endValue;
    } ramp;
    struct
    {
      uint32_t bufferOffset;
      AudioUnitParameterValue value;
    } immediate;
  } eventValues;
};
static_assert(sizeof(AudioUnitParameterEvent) == 32);

struct AudioUnitParameterStringFromValue // property 33
{
  AudioUnitParameterID inParamID;
  const AudioUnitParameterValue* inValue;
  CFStringRef outString;
};

struct AudioUnitParameterIDName // properties 34 and 35 (inID is the clump id there)
{
  AudioUnitParameterID inID;
  int32_t inDesiredLength;
  CFStringRef outName;
};
using AudioUnitParameterNameInfo = AudioUnitParameterIDName;
constexpr int32_t kAudioUnitParameterName_Full = -1;

struct AudioUnitParameterValueFromString // property 38
{
  AudioUnitParameterID inParamID;
  CFStringRef inString;
  AudioUnitParameterValue outValue;
};

struct AudioUnitCocoaViewInfo // property 31
{
  CFURLRef mCocoaAUViewBundleLocation;
  CFStringRef mCocoaAUViewClass[1];
};

// The host's version in the classic packed form: major, then minor in the high
// nibble and bug-fix in the low nibble of minorAndBugRev.
struct NumVersion
{
  uint8_t nonRelRev;
  uint8_t stage;
  uint8_t minorAndBugRev;
  uint8_t majorRev;
};

struct AUHostIdentifier // property 46
{
  CFStringRef hostName;
  NumVersion hostVersion;
};

struct NoteParamsControlValue
{
  uint32_t mID;
  AudioUnitParameterValue mValue;
};

struct MusicDeviceNoteParams // argument of start note
{
  uint32_t argCount;
  float mPitch;
  float mVelocity;
  NoteParamsControlValue mControls[1];
};

// ---------------------------------------------------------------------------
// Parameter and gesture notifications (AUEventListenerNotify).

struct AudioUnitParameter
{
  AudioUnit mAudioUnit;
  AudioUnitParameterID mParameterID;
  AudioUnitScope mScope;
  AudioUnitElement mElement;
};

struct AudioUnitEvent
{
  AudioUnitEventType mEventType;
  union
  {
    AudioUnitParameter mParameter;
  } mArgument;
};

struct AUEventListenerRecord;
using AUEventListenerRef = AUEventListenerRecord*;
