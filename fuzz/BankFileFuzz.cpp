// Feeds arbitrary bytes as a bank file to the generic reader and to an
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
      plug.RestorePreset(2);
      plug.loadBank(pPath, instrument);
      plug.requireSaneState();
      // Every program the reader left must still be selectable or refused cleanly.
      for (int i = 0; i < plug.NPresets(); ++i)
      {
        plug.RestorePreset(i);
        plug.requireSaneState();
      }
    }
  return 0;
}
