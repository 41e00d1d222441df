// Feeds arbitrary bytes as a bank file, a program file and a bank's bytes in
// memory to the instrument's own readers.
#include "FuzzPlug.h"
#include "FuzzTessaryn.h"

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
  FuzzTessaryn::useTemporaryConfigHome();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static MemoryFile file;
  WDL_String* pPath = file.hold(data, size);
  FuzzTessaryn bank, program, blob;
  bank.RestorePreset(2);
  bank.loadTessarynBankFromFXB(pPath);
  program.RestorePreset(5);
  program.loadTessarynProgramFromFXP(pPath);
  blob.loadFXBfromBlob(data, static_cast<int>(size));
  for (FuzzTessaryn* synth : {&bank, &program, &blob})
    synth->requireSaneProgramsAndState();
  return 0;
}
