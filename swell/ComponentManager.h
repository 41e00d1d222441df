#pragma once
// Component registration, instances and the calls between a host and a
// component: what the Audio Unit adapter expects of its platform, with the
// platform's names. A front-end registers the instrument's entry once, then
// opens instances through the host model.

#include "AudioUnitTypes.h"
#include "PropertyList.h"

#include <string>

// A registered component. Registrations live for the whole process.
struct ComponentRecord
{
  ComponentDescription mDescription;
  std::string mName;
  ComponentRoutineProcPtr mEntry;
  std::string mBundleIdentifier;
  // The folder holding the component's resources (init.fxb, images).
  std::string mResourcePath;
};
using Component = const ComponentRecord*;

// Registers the component and its bundle (identifier → resource folder).
// Null without an entry. Any thread.
Component RegisterComponent(const ComponentDescription& description, const char* name, ComponentRoutineProcPtr entry,
                            const char* bundleIdentifier, const char* resourcePath);

// The next registered component after `previous` (null: the first) matching
// `looking`, whose zero type, subtype and manufacturer match anything. Any thread.
Component FindNextComponent(Component previous, const ComponentDescription& looking);

// Creates an instance and calls the entry with the open selector; on an error
// from the entry the instance is discarded and the error returned. Not on a
// render thread.
OSStatus OpenAComponent(Component component, ComponentInstance* outInstance);
// Calls the entry with the close selector and destroys the instance, ending
// its event subscriptions first. Not on a render thread.
OSStatus CloseComponent(ComponentInstance instance);

// The component's own pointer for the instance (its plug-in object). Any
// thread, lock-free.
void SetComponentInstanceStorage(ComponentInstance instance, void* storage);
void* GetComponentInstanceStorage(ComponentInstance instance);

// The registered description of an open instance; badComponentInstance for
// an unknown handle. Not on a render thread.
OSStatus GetComponentInfo(ComponentInstance instance, ComponentDescription* outDescription);

// Calls the instance's entry with its storage. Takes no lock and allocates
// nothing, so the render selector may go through it.
ComponentResult CallComponent(ComponentInstance instance, ComponentParameters& params);

template <class... Args>
ComponentResult CallComponentSelector(ComponentInstance instance, int16_t selector, Args... args)
{
  static_assert(sizeof...(Args) < kComponentParamCapacity);
  ComponentParameters params{selector, int32_t(sizeof...(Args)), {ComponentArg(instance), ComponentArg(args)...}};
  return CallComponent(instance, params);
}

// --- The host's calls into an Audio Unit, each one entry call.

inline OSStatus AudioUnitInitialize(AudioUnit unit)
{
  return CallComponentSelector(unit, kAudioUnitInitializeSelect);
}
inline OSStatus AudioUnitUninitialize(AudioUnit unit)
{
  return CallComponentSelector(unit, kAudioUnitUninitializeSelect);
}
inline OSStatus AudioUnitGetPropertyInfo(AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope,
                                         AudioUnitElement element, uint32_t* outSize, Boolean* outWritable)
{
  return CallComponentSelector(unit, kAudioUnitGetPropertyInfoSelect, id, scope, element, outSize, outWritable);
}
inline OSStatus AudioUnitGetProperty(AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope,
                                     AudioUnitElement element, void* outData, uint32_t* ioSize)
{
  return CallComponentSelector(unit, kAudioUnitGetPropertySelect, id, scope, element, outData, ioSize);
}
inline OSStatus AudioUnitSetProperty(AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope,
                                     AudioUnitElement element, const void* data, uint32_t size)
{
  return CallComponentSelector(unit, kAudioUnitSetPropertySelect, id, scope, element, data, size);
}
inline OSStatus AudioUnitGetParameter(AudioUnit unit, AudioUnitParameterID id, AudioUnitScope scope,
                                      AudioUnitElement element, AudioUnitParameterValue* outValue)
{
  return CallComponentSelector(unit, kAudioUnitGetParameterSelect, id, scope, element, outValue);
}
inline OSStatus AudioUnitSetParameter(AudioUnit unit, AudioUnitParameterID id, AudioUnitScope scope,
                                      AudioUnitElement element, AudioUnitParameterValue value, uint32_t bufferOffset)
{
  return CallComponentSelector(unit, kAudioUnitSetParameterSelect, id, scope, element, value, bufferOffset);
}
inline OSStatus AudioUnitScheduleParameters(AudioUnit unit, const AudioUnitParameterEvent* events, uint32_t count)
{
  return CallComponentSelector(unit, kAudioUnitScheduleParametersSelect, events, count);
}
inline OSStatus AudioUnitAddPropertyListener(AudioUnit unit, AudioUnitPropertyID id,
                                             AudioUnitPropertyListenerProc listener, void* userData)
{
  return CallComponentSelector(unit, kAudioUnitAddPropertyListenerSelect, id, listener, userData);
}
inline OSStatus AudioUnitRemovePropertyListenerWithUserData(AudioUnit unit, AudioUnitPropertyID id,
                                                            AudioUnitPropertyListenerProc listener, void* userData)
{
  return CallComponentSelector(unit, kAudioUnitRemovePropertyListenerWithUserDataSelect, id, listener, userData);
}
inline OSStatus AudioUnitAddRenderNotify(AudioUnit unit, AURenderCallback proc, void* refCon)
{
  return CallComponentSelector(unit, kAudioUnitAddRenderNotifySelect, proc, refCon);
}
inline OSStatus AudioUnitRemoveRenderNotify(AudioUnit unit, AURenderCallback proc, void* refCon)
{
  return CallComponentSelector(unit, kAudioUnitRemoveRenderNotifySelect, proc, refCon);
}
inline OSStatus AudioUnitRender(AudioUnit unit, AudioUnitRenderActionFlags* actionFlags,
                                const AudioTimeStamp* timeStamp, uint32_t bus, uint32_t frames, AudioBufferList* data)
{
  return CallComponentSelector(unit, kAudioUnitRenderSelect, actionFlags, timeStamp, bus, frames, data);
}
inline OSStatus MusicDeviceMIDIEvent(AudioUnit unit, uint32_t status, uint32_t data1, uint32_t data2,
                                     uint32_t sampleOffset)
{
  return CallComponentSelector(unit, kMusicDeviceMIDIEventSelect, status, data1, data2, sampleOffset);
}
inline OSStatus MusicDeviceSysEx(AudioUnit unit, const uint8_t* data, uint32_t length)
{
  return CallComponentSelector(unit, kMusicDeviceSysExSelect, data, length);
}

// --- Parameter and gesture notifications.
//
// A host model subscribes to an instance; the component announces changes with
// AUEventListenerNotify, which every subscriber of the event's unit receives
// except the sender. Notifying takes no lock and allocates nothing, so any
// thread may notify.

constexpr int kMaxEventSubscribers = 4;

using AUEventSubscriberProc = void (*)(void* userData, void* sendingObject, const AudioUnitEvent* event);

// Null when the instance is unknown or already has kMaxEventSubscribers. Not on
// a render thread.
AUEventListenerRef AUEventListenerSubscribe(AudioUnit unit, AUEventSubscriberProc proc, void* userData);
// Once this returns, the procedure is not running and will not be called
// again. Not on a render thread; never from inside the subscriber's procedure.
void AUEventListenerUnsubscribe(AUEventListenerRef listener);
OSStatus AUEventListenerNotify(AUEventListenerRef sendingListener, void* sendingObject, const AudioUnitEvent* event);

// --- Bundles: the resource folder registered under an identifier. The main
// bundle stands for the host process (identifier: the executable's name).

CFTypeID CFBundleGetTypeID();
// Registers (or moves) a bundle. Any thread.
void RegisterBundle(const char* identifier, const char* resourcePath);
// Borrowed; null when nothing is registered under the identifier.
CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef identifier);
CFBundleRef CFBundleGetMainBundle();
CFStringRef CFBundleGetIdentifier(CFBundleRef bundle); // borrowed
CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle);    // the resource folder
// Empty when nothing is registered under the identifier.
std::string GetBundleResourcePath(const char* identifier);

// The host process's identifier: its executable's name.
std::string GetHostProcessIdentifier();

// The platform version in the classic 0xMMmb form. The interfaces the adapter
// gates on it (the Cocoa view) always exist here.
int32_t GetOperatingSystemVersion();
