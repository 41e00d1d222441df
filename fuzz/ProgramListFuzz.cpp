// Feeds arbitrary bytes as a stored program list and as stored parameter
// values, the state a host hands back from its project.
#include "FuzzPlug.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  ByteChunk chunk;
  chunk.PutBytes(data, static_cast<int>(size));

  FuzzPlug plug(true);
  plug.RestorePreset(3);
  plug.UnserializePresets(&chunk, 0);
  plug.requireSaneState();
  for (int i = 0; i < plug.NPresets(); ++i)
  {
    plug.RestorePreset(i);
    plug.requireSaneState();
  }

  FuzzPlug params(true);
  params.UnserializeParams(&chunk, 0);
  params.requireSaneState();
  return 0;
}
