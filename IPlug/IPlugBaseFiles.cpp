// Program (FXP) and bank (FXB) files of IPlugBase: big-endian headers around
// either the plug-in's state chunk or one normalised float per parameter.

#include "AtomicFile.h"
#include "BigEndian.h"
#include "IPlugBase.h"
#include "ScopedFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace
{
constexpr int kChunkMagic = FourCC("CcnK");
constexpr int kProgramChunkForm = FourCC("FPCh");
constexpr int kProgramParamForm = FourCC("FxCk");
constexpr int kBankChunkForm = FourCC("FBCh");
constexpr int kBankParamForm = FourCC("FxBk");
constexpr int kProgramFormatVersion = 1;
constexpr int kBankFormatVersion = 2;
constexpr int kFileNameSize = 28;
constexpr int kProgramStatePos = 60;
constexpr int kBankReservedSize = 124;

// The fields shared by program files, bank files and the program blocks of a bank.
struct FileHeader
{
  int mMagic = 0;
  int mByteSize = 0;
  int mForm = 0;
  int mFormatVersion = 0;
  int mID = 0;
  int mVersion = 0;
  int mCount = 0;
};

// One more byte than the field, so that a name filling all of it still ends.
using FileName = char[kFileNameSize + 1];

int getFileHeader(const ByteChunk* pFile, FileHeader* pHeader, int pos)
{
  for (int* pField : {&pHeader->mMagic, &pHeader->mByteSize, &pHeader->mForm, &pHeader->mFormatVersion, &pHeader->mID,
                      &pHeader->mVersion, &pHeader->mCount})
    pos = GetBigEndian(pFile, pField, pos);
  return pos;
}

int getFileName(const ByteChunk* pFile, FileName& name, int pos)
{
  return pFile->GetBytes(name, kFileNameSize, pos);
}

int skipBytes(const ByteChunk* pFile, int nBytes, int pos)
{
  return pos >= 0 && nBytes <= pFile->Size() - pos ? pos + nBytes : -1;
}

// Reads count floats, keeping the first nKept of them; -1 when the file ends
// before the last, so that a cut-off program is never half applied.
int getNormalizedValues(const ByteChunk* pFile, int count, int nKept, std::vector<float>* pValues, int pos)
{
  pValues->assign(static_cast<size_t>(std::clamp(count, 0, nKept)), 0.0f);
  for (int i = 0; pos >= 0 && i < count; ++i)
  {
    float value = 0.0f;
    pos = GetBigEndian(pFile, &value, pos);
    if (i < nKept) (*pValues)[static_cast<size_t>(i)] = value;
  }
  return pos;
}

template <class Read> int readStateBetweenHooks(const IPlugBase::FileReadOptions& options, int fileVersion, Read read)
{
  if (options.mBeforeStateRead) options.mBeforeStateRead(fileVersion);
  const int pos = read();
  if (options.mAfterStateRead) options.mAfterStateRead();
  return pos;
}

bool readWholeFile(const char* path, ByteChunk* pFile)
{
  ScopedFile fp(fopen(path, "rb"));
  if (!fp || fseek(fp.get(), 0, SEEK_END) != 0) return false;
  const long length = ftell(fp.get());
  if (length < 0 || length > INT_MAX || fseek(fp.get(), 0, SEEK_SET) != 0) return false;
  pFile->Resize(static_cast<int>(length));
  if (pFile->Size() != length) return false;
  const size_t nRead = length > 0 ? fread(pFile->GetBytes(), 1, static_cast<size_t>(length), fp.get()) : 0;
  // A file that shrank while being read is parsed as what could be read.
  pFile->Resize(static_cast<int>(nRead));
  return true;
}

// Longer names are cut so that the field always keeps a terminator, which
// readers of the format expect.
void putFileName(ByteChunk* pFile, const char* name)
{
  char field[kFileNameSize] = {};
  memcpy(field, name, strnlen(name, kFileNameSize - 1));
  pFile->PutBytes(field, kFileNameSize);
}

bool isEmptyPath(const WDL_String* pFile)
{
  return !pFile || !*pFile->Get();
}
} // namespace

void IPlugBase::putFileHeader(ByteChunk* pFile, int form, int byteSize, int formatVersion, int count) const
{
  for (int field : {kChunkMagic, byteSize, form, formatVersion, mUniqueID, GetEffectVersion(true), count})
    PutBigEndian(pFile, field);
}

void IPlugBase::putBankHeader(ByteChunk* pFile, int form, int byteSize) const
{
  putFileHeader(pFile, form, byteSize, kBankFormatVersion, NPresets());
  PutBigEndian(pFile, mCurrentPresetIdx);
  const char reserved[kBankReservedSize] = {};
  pFile->PutBytes(reserved, kBankReservedSize);
}

// The values are the live ones, or with pStored those of a program's chunk in
// the layout of SerializeParams, where a missing double counts as 0.
void IPlugBase::putProgramBlock(ByteChunk* pFile, const char* name, const ByteChunk* pStored) const
{
  putFileHeader(pFile, kProgramParamForm, 0, kProgramFormatVersion, NParams());
  putFileName(pFile, name);
  for (int i = 0; i < NParams(); ++i)
  {
    const IParam* pParam = GetParam(i);
    double value = pStored ? 0.0 : pParam->Value();
    if (pStored) pStored->Get(&value, i * static_cast<int>(sizeof(double)));
    PutBigEndian(pFile, static_cast<float>(pParam->GetNormalized(value)));
  }
}

bool IPlugBase::writeFile(const char* path, const ByteChunk& file)
{
  std::string error;
  const bool written = writeFileAtomically(path, file.GetBytes(), static_cast<size_t>(file.Size()), &error);
  mFileError.Set(error.c_str());
  return written;
}

bool IPlugBase::SaveProgramAsFXP(WDL_String* pFile)
{
  if (isEmptyPath(pFile)) return false;
  ByteChunk file;
  const char* name = GetPresetName(mCurrentPresetIdx);
  if (DoesStateChunks())
  {
    ByteChunk state;
    InitChunkWithIPlugVer(&state);
    SerializeState(&state);
    putFileHeader(&file, kProgramChunkForm, kProgramStatePos + state.Size(), kProgramFormatVersion, NParams());
    putFileName(&file, name);
    PutBigEndian(&file, state.Size());
    file.PutChunk(&state);
  }
  else
    putProgramBlock(&file, name, nullptr);
  return writeFile(pFile->Get(), file);
}

bool IPlugBase::SaveBankAsFXB(WDL_String* pFile)
{
  if (isEmptyPath(pFile)) return false;
  ByteChunk file;
  if (DoesStateChunks())
  {
    ByteChunk state;
    InitChunkWithIPlugVer(&state);
    SerializePresets(&state);
    putBankHeader(&file, kBankChunkForm, kBankStatePos + state.Size());
    PutBigEndian(&file, state.Size());
    file.PutChunk(&state);
  }
  else
  {
    putBankHeader(&file, kBankParamForm, 0);
    for (int i = 0; i < NPresets(); ++i)
      putProgramBlock(&file, GetPresetName(i), &mPresets.Get(i)->mChunk);
  }
  return writeFile(pFile->Get(), file);
}

// A file's value may be anything: outside 0..1 it would leave the parameter's
// range and NaN would become the value, so the first is clamped and the
// second leaves the parameter as it was.
void IPlugBase::applyNormalizedValues(const std::vector<float>& values)
{
  const int n = std::min(static_cast<int>(values.size()), NParams());
  for (int i = 0; i < n; ++i)
  {
    const float value = values[static_cast<size_t>(i)];
    if (!std::isnan(value)) GetParam(i)->SetNormalized(std::clamp(static_cast<double>(value), 0.0, 1.0));
  }
}

void IPlugBase::storeLoadedProgram(const char* name)
{
  ModifyCurrentPreset(name);
  RestorePreset(mCurrentPresetIdx);
  InformHostOfProgramChange();
}

// A state that cannot be read to its end may have been applied in part: the
// live state from before is put back.
bool IPlugBase::loadProgramState(ByteChunk* pFile, int pos, const FileReadOptions& options, int fileVersion)
{
  pos = skipBytes(pFile, 4, pos);
  if (pos < 0) return false;
  ByteChunk before;
  SerializeState(&before);
  GetIPlugVerFromChunk(pFile, &pos);
  pos = readStateBetweenHooks(options, fileVersion, [&] { return UnserializeState(pFile, pos); });
  if (pos < 0) UnserializeState(&before, 0);
  return pos >= 0;
}

bool IPlugBase::LoadProgramFromFXP(WDL_String* pFile, const FileReadOptions& options)
{
  ByteChunk file;
  if (isEmptyPath(pFile) || !readWholeFile(pFile->Get(), &file)) return false;
  FileHeader header;
  FileName name = {};
  int pos = getFileHeader(&file, &header, 0);
  pos = getFileName(&file, name, pos);
  if (pos < 0 || header.mMagic != kChunkMagic || header.mFormatVersion != kProgramFormatVersion ||
      !IsOwnUniqueID(header.mID))
    return false;

  if (header.mForm == kProgramChunkForm && DoesStateChunks())
  {
    if (!loadProgramState(&file, pos, options, header.mVersion)) return false;
  }
  else if (header.mForm == kProgramParamForm)
  {
    std::vector<float> values;
    const int count = options.mProgramParamsFromFile ? header.mCount : NParams();
    if (count < 0 || getNormalizedValues(&file, count, NParams(), &values, pos) < 0) return false;
    applyNormalizedValues(values);
  }
  else
    return false;
  storeLoadedProgram(name);
  return true;
}

int IPlugBase::UnserializeBankState(ByteChunk* pChunk, int pos)
{
  if (pos < 0) return -1;
  GetIPlugVerFromChunk(pChunk, &pos);
  return UnserializePresets(pChunk, pos);
}

// Each block is read whole before it is applied. Blocks beyond the plug-in's
// program list are not read.
bool IPlugBase::loadProgramBlocks(ByteChunk* pFile, int pos, int nPrograms, const FileReadOptions& options)
{
  std::vector<float> values;
  for (int i = 0; i < std::min(nPrograms, NPresets()); ++i)
  {
    FileHeader block;
    FileName name = {};
    pos = getFileHeader(pFile, &block, pos);
    pos = getFileName(pFile, name, pos);
    if (pos < 0 || block.mMagic != kChunkMagic || block.mForm != kProgramParamForm ||
        block.mFormatVersion != kProgramFormatVersion || block.mCount < options.mMinBlockParams ||
        block.mCount > options.mMaxBlockParams)
      return false;
    pos = getNormalizedValues(pFile, block.mCount, NParams(), &values, pos);
    // A program that cannot be selected would leave the block's values to
    // overwrite the one selected before it.
    if (pos < 0 || !RestorePreset(i)) return false;
    applyNormalizedValues(values);
    ModifyCurrentPreset(name);
  }
  return true;
}

struct IPlugBase::ProgramsBackup
{
  std::vector<std::unique_ptr<IPreset>> mPrograms;
  int mCurrentIdx = 0;
  ByteChunk mLiveState;
};

namespace
{
void copyPreset(const IPreset& from, IPreset* pTo)
{
  pTo->mInitialized = from.mInitialized;
  pTo->SetName(from.mName);
  pTo->mChunk.Clear();
  pTo->mChunk.PutChunk(&from.mChunk);
}
} // namespace

void IPlugBase::backUpPrograms(ProgramsBackup* pBackup)
{
  for (int i = 0; i < NPresets(); ++i)
    copyPreset(*mPresets.Get(i), pBackup->mPrograms.emplace_back(std::make_unique<IPreset>()).get());
  pBackup->mCurrentIdx = mCurrentPresetIdx;
  SerializeState(&pBackup->mLiveState);
}

void IPlugBase::restorePrograms(ProgramsBackup* pBackup)
{
  for (int i = 0; i < NPresets(); ++i)
    copyPreset(*pBackup->mPrograms[static_cast<size_t>(i)], mPresets.Get(i));
  mCurrentPresetIdx = pBackup->mCurrentIdx;
  UnserializeState(&pBackup->mLiveState, 0);
}

bool IPlugBase::loadBank(ByteChunk* pFile, const FileReadOptions& options)
{
  FileHeader header;
  int currentIdx = 0;
  int pos = getFileHeader(pFile, &header, 0);
  pos = GetBigEndian(pFile, &currentIdx, pos);
  pos = skipBytes(pFile, kBankReservedSize, pos);
  if (pos < 0 || header.mMagic != kChunkMagic || !IsOwnUniqueID(header.mID)) return false;

  if (header.mForm == kBankChunkForm && DoesStateChunks())
  {
    pos = skipBytes(pFile, 4, pos);
    return pos >= 0 &&
           readStateBetweenHooks(options, header.mVersion, [&] { return UnserializeBankState(pFile, pos); }) >= 0;
  }
  if (header.mForm != kBankParamForm || !loadProgramBlocks(pFile, pos, header.mCount, options)) return false;
  RestorePreset(currentIdx);
  return true;
}

// A bank that fails to load part way leaves every program as it was.
bool IPlugBase::LoadBankFromFXB(WDL_String* pFile, const FileReadOptions& options)
{
  ByteChunk file;
  if (isEmptyPath(pFile) || !readWholeFile(pFile->Get(), &file)) return false;
  ProgramsBackup backup;
  backUpPrograms(&backup);
  if (!loadBank(&file, options))
  {
    restorePrograms(&backup);
    return false;
  }
  InformHostOfProgramChange();
  return true;
}
