// Feeds arbitrary bytes as a program file to the generic reader and to an
// instrument's variant, on plug-ins with and without state chunks.
#include "FuzzPlug.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static MemoryFile file;
  WDL_String* pPath = file.hold(data, size);
  loadIntoEveryPlug(1, [pPath](FuzzPlug& plug, bool instrument) { plug.loadProgram(pPath, instrument); });
  return 0;
}
