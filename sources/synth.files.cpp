// The instrument's readers of program and bank files, and the banks it loads
// when it opens.

#include "synth.h"

#include "ComponentManager.h"

namespace
{
constexpr const char* kFactoryBankName = "/init.fxb";
} // namespace

// The state is read as data of the file's version, so that older programs
// take their older layout; program blocks of banks may lack PtmDrift.
IPlugBase::FileReadOptions Synth::fileReadOptions()
{
  return {kNumParams - 1, kNumParams, true, [this](int fileVersion) { mDataVersion = fileVersion; },
          [this] { mDataVersion = kDataVersion; }};
}

bool Synth::loadTessarynProgramFromFXP(WDL_String* pFile)
{
  WDL_MutexLock lock(&mMutex);
  return LoadProgramFromFXP(pFile, fileReadOptions());
}

bool Synth::loadTessarynBankFromFXB(WDL_String* pFile)
{
  WDL_MutexLock lock(&mMutex);
  return LoadBankFromFXB(pFile, fileReadOptions());
}

void Synth::loadFXBfromBlob(const void* data, int size)
{
  WDL_MutexLock lock(&mMutex);
  ByteChunk bank;
  if (data && size > 0) bank.PutBytes(data, size);
  UnserializeBankState(&bank, bank.Size() >= kBankStatePos ? kBankStatePos : -1);
  InformHostOfProgramChange();
}

// A startup bank that cannot be read is forgotten until the configuration is
// read again, so the factory bank stands in for it.
void Synth::initPresets()
{
  if (loadTessarynBankFromFXB(&mStartupBankPath)) return;
  mStartupBankPath.Set("");
  const std::string folder = GetBundleResourcePath(kBundleIdentifier);
  if (folder.empty()) return;
  WDL_String factoryBank(folder.c_str());
  factoryBank.Append(kFactoryBankName);
  loadTessarynBankFromFXB(&factoryBank);
}

ComponentResult Synth::LoadFileFromHost(EHostFileKind kind, const char* path)
{
  WDL_String file(path);
  const bool loaded = kind == kHostBankFile ? loadTessarynBankFromFXB(&file) : loadTessarynProgramFromFXP(&file);
  return loaded ? noErr : kAudioUnitErr_InvalidPropertyValue;
}
