// Feeds arbitrary bytes as a program file to the generic reader and to an
// instrument's variant, on plug-ins with and without state chunks.
#include "FuzzPlug.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static MemoryFile file;
  WDL_String* pPath = file.hold(data, size);
  for (bool doesChunks : {true, false})
    for (bool instrument : {false, true})
    {
      FuzzPlug plug(doesChunks);
      plug.RestorePreset(1);
      plug.loadProgram(pPath, instrument);
      plug.requireSaneState();
    }
  return 0;
}
