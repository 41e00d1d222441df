#pragma once
// Handle types of the property-list value layer. They are declared apart from
// its operations so that the Audio Unit records can hold strings and arrays
// without pulling in the whole value layer.

#include <cstdint>

class CFObject;
class CFStringObject;
class CFNumberObject;
class CFDataObject;
class CFDictionaryObject;
class CFArrayObject;
class CFURLObject;
struct CFAllocatorObject;

// Any value of the layer; arrays also hold foreign records through it, as their
// callbacks decide.
using CFTypeRef = const void*;
using CFPropertyListRef = CFTypeRef;
using CFStringRef = const CFStringObject*;
using CFMutableStringRef = CFStringObject*;
using CFNumberRef = const CFNumberObject*;
using CFDataRef = const CFDataObject*;
using CFDictionaryRef = const CFDictionaryObject*;
using CFMutableDictionaryRef = CFDictionaryObject*;
using CFArrayRef = const CFArrayObject*;
using CFMutableArrayRef = CFArrayObject*;
using CFURLRef = const CFURLObject*;
// Only the default allocator (null) exists; the type keeps record layouts that
// remember their allocator honest.
using CFAllocatorRef = const CFAllocatorObject*;

using CFIndex = long;
using CFTypeID = unsigned long;
using CFOptionFlags = unsigned long;
using Boolean = unsigned char;

class CFBundleObject;
using CFBundleRef = const CFBundleObject*;
