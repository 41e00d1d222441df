// Feeds arbitrary bytes to the property-list reader. Every document has one
// byte form, so whatever the reader accepts must write back byte for byte.
#include "PropertyList.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
  CFPropertyListRef value = PropertyListCreateFromBytes(bytes, size);
  if (!value) return 0;
  CFDataRef written = PropertyListCreateData(value);
  if (!written || CFDataGetLength(written) != CFIndex(size) || std::memcmp(CFDataGetBytePtr(written), bytes, size) != 0)
    std::abort();
  CFRelease(written);
  CFRelease(value);
  return 0;
}
