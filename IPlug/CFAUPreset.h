#pragma once
// Factory-preset records handed to the host in arrays. The record starts with
// the platform's preset record, so a pointer to it serves wherever an AUPreset
// is expected; arrays keep records alive through reference counting.

#include "AudioUnitTypes.h"
#include "PropertyList.h"

struct CFAUPreset
{
  AUPreset auPreset;
  CFAllocatorRef allocator;
  CFIndex retainCount;
};
using CFAUPresetRef = const CFAUPreset*;

// Null when the record cannot be allocated. The name is copied; null stays null.
CFAUPresetRef CFAUPresetCreate(CFAllocatorRef allocator, int32_t presetNumber, CFStringRef presetName);
CFAUPresetRef CFAUPresetRetain(const void* preset);
void CFAUPresetRelease(const void* preset);

const void* CFAUPresetArrayRetainCallBack(CFAllocatorRef allocator, const void* preset);
void CFAUPresetArrayReleaseCallBack(CFAllocatorRef allocator, const void* preset);
CFStringRef CFAUPresetArrayCopyDescriptionCallBack(const void* preset);
Boolean CFAUPresetArrayEqualCallBack(const void* a, const void* b);

void CFAUPresetArrayCallBacks_Init(CFArrayCallBacks* callBacks);
extern const CFArrayCallBacks kCFAUPresetArrayCallBacks;
