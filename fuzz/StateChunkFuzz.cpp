// Feeds arbitrary bytes to the instrument's state reader and to its program
// list reader, as data of the current version or of one before 2.2.0.
#include "FuzzTessaryn.h"

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
  FuzzTessaryn::useTemporaryConfigHome();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size == 0) return 0;
  ByteChunk chunk;
  chunk.PutBytes(data + 1, static_cast<int>(size - 1));

  FuzzTessaryn state;
  state.takeDataVersion(data[0]);
  state.UnserializeState(&chunk, 0);
  state.endDataVersion();
  state.requireSaneProgramsAndState();

  FuzzTessaryn list;
  list.RestorePreset(3);
  list.UnserializePresets(&chunk, 0);
  list.requireSaneProgramsAndState();
  return 0;
}
