#pragma once
// Typed access to the string-keyed dictionary in which hosts keep plug-in state.
// Readers are false when the key is absent or holds a value of another kind.

#include "ByteChunk.h"
#include "Containers.h"
#include "PropertyList.h"

// Hosts hand in strings of any length; a null string gives the empty text.
void CopyCString(CFStringRef string, WDL_String* text);

// Null unless the value is a dictionary.
CFDictionaryRef AsDictionary(CFPropertyListRef value);

void PutNumberInDict(CFMutableDictionaryRef dict, const char* key, int value);
void PutStrInDict(CFMutableDictionaryRef dict, const char* key, const char* text);
void PutDataInDict(CFMutableDictionaryRef dict, const char* key, const ByteChunk& chunk);

bool GetNumberFromDict(CFDictionaryRef dict, const char* key, int* value);
// An absent key leaves text empty.
bool GetStrFromDict(CFDictionaryRef dict, const char* key, WDL_String* text);
bool GetDataFromDict(CFDictionaryRef dict, const char* key, ByteChunk* chunk);
