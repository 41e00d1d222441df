#include "IPlugAUDictionary.h"

#include <cstring>

namespace
{
void putValue(CFMutableDictionaryRef dict, const char* key, CFTypeRef value)
{
  CFStringRef keyString = CFStringCreateWithCString(kCFAllocatorDefault, key, kCFStringEncodingUTF8);
  CFDictionarySetValue(dict, keyString, value);
  CFRelease(keyString);
  CFRelease(value);
}

// Borrowed; null when absent or of another kind.
CFTypeRef getValue(CFDictionaryRef dict, const char* key, CFTypeID type)
{
  CFStringRef keyString = CFStringCreateWithCString(kCFAllocatorDefault, key, kCFStringEncodingUTF8);
  CFTypeRef value = CFDictionaryGetValue(dict, keyString);
  CFRelease(keyString);
  return CFGetTypeID(value) == type ? value : nullptr;
}
} // namespace

void CopyCString(CFStringRef string, WDL_String* text)
{
  const char* chars = string ? CFStringGetCStringPtr(string, kCFStringEncodingUTF8) : nullptr;
  text->Set(chars ? chars : "");
}

CFDictionaryRef AsDictionary(CFPropertyListRef value)
{
  return CFGetTypeID(value) == CFDictionaryGetTypeID() ? static_cast<CFDictionaryRef>(value) : nullptr;
}

void PutNumberInDict(CFMutableDictionaryRef dict, const char* key, int value)
{
  const int32_t number = value;
  putValue(dict, key, CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &number));
}

void PutStrInDict(CFMutableDictionaryRef dict, const char* key, const char* text)
{
  putValue(dict, key, CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8));
}

void PutDataInDict(CFMutableDictionaryRef dict, const char* key, const ByteChunk& chunk)
{
  putValue(dict, key, CFDataCreate(kCFAllocatorDefault, chunk.GetBytes(), chunk.Size()));
}

bool GetNumberFromDict(CFDictionaryRef dict, const char* key, int* value)
{
  const auto number = static_cast<CFNumberRef>(getValue(dict, key, CFNumberGetTypeID()));
  int32_t result = 0;
  if (!number) return false;
  CFNumberGetValue(number, kCFNumberSInt32Type, &result);
  *value = result;
  return true;
}

bool GetStrFromDict(CFDictionaryRef dict, const char* key, WDL_String* text)
{
  const auto string = static_cast<CFStringRef>(getValue(dict, key, CFStringGetTypeID()));
  CopyCString(string, text);
  return string != nullptr;
}

bool GetDataFromDict(CFDictionaryRef dict, const char* key, ByteChunk* chunk)
{
  const auto data = static_cast<CFDataRef>(getValue(dict, key, CFDataGetTypeID()));
  if (!data) return false;
  const int size = static_cast<int>(CFDataGetLength(data));
  chunk->Resize(size);
  if (chunk->Size() != size) return false;
  if (size > 0) memcpy(chunk->GetBytes(), CFDataGetBytePtr(data), static_cast<size_t>(size));
  return true;
}
