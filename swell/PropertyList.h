#pragma once
// Reference-counted property-list values (strings, numbers, data, dictionaries,
// arrays, URLs) with the C interface the Audio Unit adapter is written against,
// and a byte form of them for hosts that save state in files.
//
// Every value starts with one reference owned by its creator ("Create" and
// "Copy" functions); "Get" functions hand out borrowed references. Retain and
// release are atomic, so a value may be shared between threads; the containers
// themselves are not synchronised. Strings are UTF-8 throughout, and string
// lengths count bytes, so a buffer of length + 1 always holds the text.
// Nothing here may be called from a render thread: everything allocates.

#include "CFTypes.h"

#include <cstddef>
#include <cstdint>

// The one allocator; kept as a value so records that remember their allocator
// keep working.
inline constexpr CFAllocatorRef kCFAllocatorDefault = nullptr;
void* CFAllocatorAllocate(CFAllocatorRef allocator, CFIndex size, CFOptionFlags hint);
void CFAllocatorDeallocate(CFAllocatorRef allocator, void* ptr);

// --- Any value. Null is accepted everywhere and does nothing.
CFTypeRef CFRetain(CFTypeRef value);
void CFRelease(CFTypeRef value);
CFIndex CFGetRetainCount(CFTypeRef value);
CFTypeID CFGetTypeID(CFTypeRef value); // 0 for null
// A new string describing the value (a string describes itself).
CFStringRef CFCopyDescription(CFTypeRef value);

CFTypeID CFStringGetTypeID();
CFTypeID CFNumberGetTypeID();
CFTypeID CFDataGetTypeID();
CFTypeID CFDictionaryGetTypeID();
CFTypeID CFArrayGetTypeID();
CFTypeID CFURLGetTypeID();

// --- Strings.
using CFStringEncoding = uint32_t;
inline constexpr CFStringEncoding kCFStringEncodingUTF8 = 0x08000100;

enum CFComparisonResult : CFIndex
{
  kCFCompareLessThan = -1,
  kCFCompareEqualTo = 0,
  kCFCompareGreaterThan = 1,
};

CFStringRef CFStringCreateWithCString(CFAllocatorRef allocator, const char* text, CFStringEncoding encoding);
CFIndex CFStringGetLength(CFStringRef string);
// Copies the text with its terminator. False when it does not fit: the buffer
// then holds as much of the text as fits, still terminated.
Boolean CFStringGetCString(CFStringRef string, char* buffer, CFIndex bufferSize, CFStringEncoding encoding);
// The text itself, valid while the string lives.
const char* CFStringGetCStringPtr(CFStringRef string, CFStringEncoding encoding);
CFComparisonResult CFStringCompare(CFStringRef a, CFStringRef b, CFOptionFlags options);
// Supports %d, %i, %u (int arguments), %s, %@ (a value, by its description) and %%.
CFStringRef CFStringCreateWithFormat(CFAllocatorRef allocator, CFDictionaryRef formatOptions, CFStringRef format, ...);
// A process-lifetime string for a literal; retain and release leave it alone.
CFStringRef CFSTR(const char* literal);

// --- Numbers: 32- and 64-bit integers and doubles.
enum CFNumberType : CFIndex
{
  kCFNumberSInt32Type = 3,
  kCFNumberSInt64Type = 4,
  kCFNumberFloat64Type = 6,
  kCFNumberIntType = 9,
  kCFNumberDoubleType = 13,
};

CFNumberRef CFNumberCreate(CFAllocatorRef allocator, CFNumberType type, const void* value);
// False when the number does not convert exactly (or the type is unknown); the
// output then holds the nearest value.
Boolean CFNumberGetValue(CFNumberRef number, CFNumberType type, void* value);

// --- Data.
CFDataRef CFDataCreate(CFAllocatorRef allocator, const uint8_t* bytes, CFIndex length);
const uint8_t* CFDataGetBytePtr(CFDataRef data);
CFIndex CFDataGetLength(CFDataRef data);

// --- Dictionaries: string keys (compared by text), values retained.
CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef allocator, CFIndex capacity);
void CFDictionarySetValue(CFMutableDictionaryRef dictionary, CFStringRef key, CFTypeRef value);
void CFDictionaryRemoveValue(CFMutableDictionaryRef dictionary, CFStringRef key);
CFTypeRef CFDictionaryGetValue(CFDictionaryRef dictionary, CFStringRef key); // borrowed; null when absent
CFIndex CFDictionaryGetCount(CFDictionaryRef dictionary);
using CFDictionaryApplierFunction = void (*)(CFStringRef key, CFTypeRef value, void* context);
// Visits the entries in key order.
void CFDictionaryApplyFunction(CFDictionaryRef dictionary, CFDictionaryApplierFunction applier, void* context);

// --- Arrays: what holding a value means is up to the callbacks.
using CFArrayRetainCallBack = const void* (*)(CFAllocatorRef allocator, const void* value);
using CFArrayReleaseCallBack = void (*)(CFAllocatorRef allocator, const void* value);
using CFArrayCopyDescriptionCallBack = CFStringRef (*)(const void* value);
using CFArrayEqualCallBack = Boolean (*)(const void* a, const void* b);

struct CFArrayCallBacks
{
  CFIndex version;
  CFArrayRetainCallBack retain;
  CFArrayReleaseCallBack release;
  CFArrayCopyDescriptionCallBack copyDescription;
  CFArrayEqualCallBack equal;
};

// For arrays of values of this layer.
extern const CFArrayCallBacks kCFTypeArrayCallBacks;

// The callbacks are copied; null callbacks (or a null record) store values as
// they are. retain is called on append, release on removal and destruction.
CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef allocator, CFIndex capacity, const CFArrayCallBacks* callBacks);
void CFArrayAppendValue(CFMutableArrayRef array, const void* value);
CFIndex CFArrayGetCount(CFArrayRef array);
const void* CFArrayGetValueAtIndex(CFArrayRef array, CFIndex index); // null when out of range

// --- URLs: file-system paths only.
enum CFURLPathStyle : CFIndex
{
  kCFURLPOSIXPathStyle = 0,
};

CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef allocator, CFStringRef path, CFURLPathStyle style,
                                       Boolean isDirectory);
CFStringRef CFURLCopyFileSystemPath(CFURLRef url, CFURLPathStyle style);

// --- Byte form. Holds strings, numbers, data, dictionaries and arrays made
// with kCFTypeArrayCallBacks, nested up to kPropertyListMaxDepth.
inline constexpr int kPropertyListMaxDepth = 32;

// Null when the value holds something the byte form cannot carry.
CFDataRef PropertyListCreateData(CFPropertyListRef value);
// Null for anything but one complete, well-formed value; never reads beyond
// bytes + size.
CFPropertyListRef PropertyListCreateFromBytes(const uint8_t* bytes, size_t size);
