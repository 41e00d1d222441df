#include "CFAUPreset.h"

#include <new>

namespace
{
CFAUPreset* mutablePreset(const void* preset)
{
  return static_cast<CFAUPreset*>(const_cast<void*>(preset));
}

CFStringRef copyName(CFStringRef name)
{
  return name ? CFStringCreateWithCString(kCFAllocatorDefault, CFStringGetCStringPtr(name, kCFStringEncodingUTF8),
                                          kCFStringEncodingUTF8)
              : nullptr;
}
} // namespace

CFAUPresetRef CFAUPresetCreate(CFAllocatorRef allocator, int32_t presetNumber, CFStringRef presetName)
{
  void* memory = CFAllocatorAllocate(allocator, sizeof(CFAUPreset), 0);
  if (!memory) return nullptr;
  return new (memory) CFAUPreset{{presetNumber, copyName(presetName)}, allocator, 1};
}

CFAUPresetRef CFAUPresetRetain(const void* preset)
{
  CFAUPreset* record = mutablePreset(preset);
  if (!record) return nullptr;
  CFRetain(record->auPreset.presetName);
  ++record->retainCount;
  return record;
}

void CFAUPresetRelease(const void* preset)
{
  CFAUPreset* record = mutablePreset(preset);
  if (!record || record->retainCount < 1) return;
  CFRelease(record->auPreset.presetName);
  if (--record->retainCount > 0) return;
  record->auPreset = {};
  CFAllocatorDeallocate(record->allocator, record);
}

const void* CFAUPresetArrayRetainCallBack(CFAllocatorRef, const void* preset)
{
  return CFAUPresetRetain(preset);
}

void CFAUPresetArrayReleaseCallBack(CFAllocatorRef, const void* preset)
{
  CFAUPresetRelease(preset);
}

CFStringRef CFAUPresetArrayCopyDescriptionCallBack(const void* preset)
{
  const AUPreset& record = static_cast<CFAUPresetRef>(preset)->auPreset;
  return CFStringCreateWithFormat(kCFAllocatorDefault, nullptr,
                                  CFSTR("AUPreset:\npreset number = %d\npreset name = %@"),
                                  static_cast<int>(record.presetNumber), record.presetName);
}

Boolean CFAUPresetArrayEqualCallBack(const void* a, const void* b)
{
  const AUPreset& first = static_cast<CFAUPresetRef>(a)->auPreset;
  const AUPreset& second = static_cast<CFAUPresetRef>(b)->auPreset;
  if (first.presetNumber != second.presetNumber) return false;
  if (!first.presetName || !second.presetName) return first.presetName == second.presetName;
  return CFStringCompare(first.presetName, second.presetName, 0) == kCFCompareEqualTo;
}

// Constant-initialised, so it is complete before any other static code runs.
const CFArrayCallBacks kCFAUPresetArrayCallBacks = {0, CFAUPresetArrayRetainCallBack, CFAUPresetArrayReleaseCallBack,
                                                    CFAUPresetArrayCopyDescriptionCallBack,
                                                    CFAUPresetArrayEqualCallBack};

void CFAUPresetArrayCallBacks_Init(CFArrayCallBacks* callBacks)
{
  *callBacks = kCFAUPresetArrayCallBacks;
}
