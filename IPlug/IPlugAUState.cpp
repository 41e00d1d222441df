// The host's saved state, the factory presets offered to it, and which host it is.

#include "IPlugAU.h"

#include "CFAUPreset.h"
#include "ComponentManager.h"
#include "IPlugAUDictionary.h"

namespace
{
constexpr const char* kVersionKey = "version";
constexpr const char* kTypeKey = "type";
constexpr const char* kSubtypeKey = "subtype";
constexpr const char* kManufacturerKey = "manufacturer";
constexpr const char* kNameKey = "name";
constexpr const char* kDataKey = "data";

int asInt(OSType code)
{
  return static_cast<int>(code);
}
} // namespace

ComponentResult IPlugAU::GetState(CFPropertyListRef* plist)
{
  ComponentDescription desc;
  const ComponentResult result = GetComponentInfo(mCI, &desc);
  if (result != noErr) return result;

  CFMutableDictionaryRef dict = CFDictionaryCreateMutable(kCFAllocatorDefault, 0);
  PutNumberInDict(dict, kVersionKey, GetEffectVersion(false));
  PutNumberInDict(dict, kTypeKey, asInt(desc.componentType));
  PutNumberInDict(dict, kSubtypeKey, asInt(desc.componentSubType));
  PutNumberInDict(dict, kManufacturerKey, asInt(desc.componentManufacturer));
  PutStrInDict(dict, kNameKey, GetPresetName(GetCurrentPresetIdx()));
  ByteChunk chunk;
  if (SerializeState(&chunk)) PutDataInDict(dict, kDataKey, chunk);
  *plist = dict;
  return noErr;
}

ComponentResult IPlugAU::SetState(CFPropertyListRef plist)
{
  ComponentDescription desc;
  const ComponentResult result = GetComponentInfo(mCI, &desc);
  if (result != noErr) return result;

  const CFDictionaryRef dict = AsDictionary(plist);
  int version, type, subtype, manufacturer;
  WDL_String name;
  const bool complete = dict && GetNumberFromDict(dict, kVersionKey, &version) &&
                        GetNumberFromDict(dict, kTypeKey, &type) && GetNumberFromDict(dict, kSubtypeKey, &subtype) &&
                        GetNumberFromDict(dict, kManufacturerKey, &manufacturer) &&
                        GetStrFromDict(dict, kNameKey, &name);
  // A project saved while this component carried an earlier ID is ours too.
  const bool ownSubtype = subtype == asInt(desc.componentSubType) ||
                          (asInt(desc.componentSubType) == GetUniqueID() && IsOwnUniqueID(subtype));
  if (!complete || type != asInt(desc.componentType) || !ownSubtype ||
      manufacturer != asInt(desc.componentManufacturer))
    return kAudioUnitErr_InvalidPropertyValue;

  const bool named = RestorePreset(name.Get());
  ByteChunk chunk;
  if (!GetDataFromDict(dict, kDataKey, &chunk) || UnserializeState(&chunk, 0) == 0)
    return kAudioUnitErr_InvalidPropertyValue;
  // A program this instance lacks (renamed, or loaded from a file) comes back
  // as the current one under its saved name, or the project would lose it.
  if (!named && *name.Get()) ModifyCurrentPreset(name.Get());
  RedrawParamControls();
  return noErr;
}

ComponentResult IPlugAU::getFactoryPresets(CFArrayRef* presets)
{
  const int n = NPresets();
  CFMutableArrayRef array = CFArrayCreateMutable(kCFAllocatorDefault, n, &kCFAUPresetArrayCallBacks);
  if (!array) return coreFoundationUnknownErr;
  for (int i = 0; i < n; ++i)
  {
    CFStringRef name = CFStringCreateWithCString(kCFAllocatorDefault, GetPresetName(i), kCFStringEncodingUTF8);
    if (CFAUPresetRef preset = CFAUPresetCreate(kCFAllocatorDefault, i, name))
    {
      CFArrayAppendValue(array, preset);
      CFAUPresetRelease(preset);
    }
    CFRelease(name);
  }
  *presets = array;
  return noErr;
}

EHost IPlugAU::GetHost()
{
  if (mHost != kHostUninit) return mHost;
  WDL_String identifier;
  if (CFBundleRef mainBundle = CFBundleGetMainBundle()) CopyCString(CFBundleGetIdentifier(mainBundle), &identifier);
  SetHost(identifier.Get(), 0);
  return mHost;
}

void IPlugAU::HostSpecificInit()
{
  GetHost();
  OnHostIdentified();
}
