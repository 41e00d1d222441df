// The program list of IPlugBase: making, selecting and (un)serialising programs,
// the version header of stored state, and the developer dumps.

#include "Base64.h"
#include "IPlugBase.h"
#include "ScopedFile.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <memory>

namespace
{
constexpr char kUserPresetName[] = "user preset";
// Marks a parameter that MakePresetFromNamedParams was not given.
constexpr double kNotGiven = 9.999e-8;

bool takesIntArgument(const IParam* pParam)
{
  const EParamType type = pParam->Type();
  return type == kTypeBool || type == kTypeInt || type == kTypeEnum;
}

double nextValue(const IParam* pParam, va_list& args)
{
  return takesIntArgument(pParam) ? va_arg(args, int) : va_arg(args, double);
}
} // namespace

void IPlugBase::InitChunkWithIPlugVer(ByteChunk* pChunk)
{
  pChunk->Clear();
  pChunk->Put(&kMagic);
  pChunk->Put(&kIPlugVersion);
}

int IPlugBase::GetIPlugVerFromChunk(ByteChunk* pChunk, int* pPos)
{
  int magic = 0;
  const int afterMagic = pChunk->Get(&magic, *pPos);
  if (afterMagic < 0 || magic != kMagic) return 0;
  int version = 0;
  *pPos = pChunk->Get(&version, afterMagic);
  return *pPos < 0 ? 0 : version;
}

IPreset* IPlugBase::takeUninitializedPreset(const char* name)
{
  for (int i = 0; i < NPresets(); ++i)
  {
    IPreset* pPreset = mPresets.Get(i);
    if (pPreset->mInitialized) continue;
    pPreset->mInitialized = true;
    pPreset->SetName(name);
    return pPreset;
  }
  return nullptr;
}

void IPlugBase::MakeDefaultPreset(const char* name, int nPresets)
{
  for (int i = 0; i < nPresets; ++i)
  {
    IPreset* pPreset = takeUninitializedPreset(name ? name : "Empty");
    if (!pPreset) return;
    SerializeState(&pPreset->mChunk);
  }
}

void IPlugBase::appendParamValues(IPreset* pPreset, const double* values)
{
  for (int i = 0; i < NParams(); ++i)
    pPreset->mChunk.Put(values + i);
}

void IPlugBase::MakePreset(const char* name, ...)
{
  IPreset* pPreset = takeUninitializedPreset(name);
  if (!pPreset) return;
  va_list args;
  va_start(args, name);
  for (int i = 0; i < NParams(); ++i)
  {
    const double value = nextValue(GetParam(i), args);
    pPreset->mChunk.Put(&value);
  }
  va_end(args);
}

void IPlugBase::MakePresetFromNamedParams(const char* name, int nParamsNamed, ...)
{
  IPreset* pPreset = takeUninitializedPreset(name);
  if (!pPreset) return;
  WDL_TypedBuf<double> values;
  values.Resize(NParams());
  if (values.GetSize() != NParams()) return;
  double* given = values.Get();
  for (int i = 0; i < NParams(); ++i)
    given[i] = kNotGiven;

  va_list args;
  va_start(args, nParamsNamed);
  for (int n = 0; n < nParamsNamed; ++n)
  {
    const int idx = va_arg(args, int);
    const IParam* pParam = GetParam(idx);
    // An unknown index still carries a value argument; its type is unknown too,
    // so nothing after it can be read safely.
    if (!pParam) break;
    given[idx] = nextValue(pParam, args);
  }
  va_end(args);

  for (int i = 0; i < NParams(); ++i)
    if (given[i] == kNotGiven) given[i] = GetParam(i)->Value();
  appendParamValues(pPreset, given);
}

void IPlugBase::MakePresetFromChunk(const char* name, ByteChunk* pChunk)
{
  if (IPreset* pPreset = takeUninitializedPreset(name)) pPreset->mChunk.PutChunk(pChunk);
}

void IPlugBase::MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk)
{
  ByteChunk decoded;
  decoded.Resize(sizeOfChunk);
  if (decoded.Size() > 0) Base64Decode(blob, decoded.GetBytes(), decoded.Size());
  MakePresetFromChunk(name, &decoded);
}

void IPlugBase::PruneUninitializedPresets()
{
  for (int i = NPresets() - 1; i >= 0; --i)
    if (!mPresets.Get(i)->mInitialized) mPresets.Delete(i, true);
}

bool IPlugBase::RestorePreset(int idx)
{
  IPreset* pPreset = mPresets.Get(idx);
  if (!pPreset) return false;
  if (pPreset->mInitialized)
  {
    if (UnserializeState(&pPreset->mChunk, 0) <= 0) return false;
  }
  else
  {
    pPreset->mInitialized = true;
    int nUserPresets = 0;
    for (int i = 0; i < NPresets(); ++i)
      if (strstr(mPresets.Get(i)->mName, kUserPresetName)) ++nUserPresets;
    snprintf(pPreset->mName, IPreset::kNameSize, "%s %d", kUserPresetName, nUserPresets + 1);
    if (!SerializeState(&pPreset->mChunk)) return false;
  }
  mCurrentPresetIdx = idx;
  PresetsChangedByHost();
  RedrawParamControls();
  return true;
}

bool IPlugBase::RestorePreset(const char* name)
{
  if (!name || !*name) return false;
  for (int i = 0; i < NPresets(); ++i)
    if (strcmp(mPresets.Get(i)->mName, name) == 0) return RestorePreset(i);
  return false;
}

const char* IPlugBase::GetPresetName(int idx) const
{
  const IPreset* pPreset = mPresets.Get(idx);
  return pPreset ? pPreset->mName : "";
}

void IPlugBase::ModifyCurrentPreset(const char* name)
{
  IPreset* pPreset = mPresets.Get(mCurrentPresetIdx);
  if (!pPreset) return;
  pPreset->mChunk.Clear();
  SerializeState(&pPreset->mChunk);
  if (name && *name) pPreset->SetName(name);
}

// A record: the name as a string, the initialised flag as one byte, and for an
// initialised program its state bytes with no length of their own.
bool IPlugBase::serializePresetRecord(IPreset* pPreset, ByteChunk* pChunk)
{
  pChunk->PutStr(pPreset->mName);
  pChunk->PutBool(pPreset->mInitialized);
  if (pPreset->mInitialized) pChunk->PutChunk(&pPreset->mChunk);
  return pChunk->Size() > 0;
}

bool IPlugBase::SerializePresets(ByteChunk* pChunk)
{
  bool ok = true;
  for (int i = 0; ok && i < NPresets(); ++i)
    ok = serializePresetRecord(mPresets.Get(i), pChunk);
  return ok;
}

bool IPlugBase::SerializePreset(int idx, ByteChunk* pChunk)
{
  IPreset* pPreset = mPresets.Get(idx);
  return pPreset ? serializePresetRecord(pPreset, pChunk) : true;
}

// The stored state is applied to the live parameters and then written back in
// the current layout, so an older layout is upgraded as it is read.
int IPlugBase::unserializePresetRecord(IPreset* pPreset, ByteChunk* pChunk, int pos)
{
  WDL_String name;
  pos = pChunk->GetStr(&name, pos);
  pPreset->SetName(name.Get());
  pos = pChunk->GetBool(&pPreset->mInitialized, pos);
  if (pPreset->mInitialized)
  {
    pos = UnserializeState(pChunk, pos);
    if (pos > 0)
    {
      pPreset->mChunk.Clear();
      SerializeState(&pPreset->mChunk);
    }
  }
  return pos;
}

int IPlugBase::UnserializePresets(ByteChunk* pChunk, int startPos)
{
  int pos = startPos;
  for (int i = 0; pos >= 0 && i < NPresets(); ++i)
    pos = unserializePresetRecord(mPresets.Get(i), pChunk, pos);
  RestorePreset(mCurrentPresetIdx);
  return pos;
}

int IPlugBase::UnserializePreset(int idx, ByteChunk* pChunk, int startPos)
{
  int pos = startPos;
  IPreset* pPreset = mPresets.Get(idx);
  if (pPreset && pos >= 0) pos = unserializePresetRecord(pPreset, pChunk, pos);
  RestorePreset(idx);
  return pos;
}

bool IPlugBase::SerializeParams(ByteChunk* pChunk)
{
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams(); ++i)
  {
    const double value = GetParam(i)->Value();
    pChunk->Put(&value);
    if (pChunk->Size() == 0) return false;
  }
  return true;
}

int IPlugBase::UnserializeParams(ByteChunk* pChunk, int startPos, int nValues)
{
  WDL_MutexLock lock(&mMutex);
  int pos = startPos;
  for (int i = 0; pos >= 0 && i < NParams(); ++i)
  {
    double value = 0.0;
    if (i < nValues) pos = pChunk->Get(&value, pos);
    GetParam(i)->Set(value);
  }
  OnParamReset();
  return pos;
}

bool IPlugBase::CompareState(const unsigned char* incomingState, int startPos)
{
  const unsigned char* data = incomingState + static_cast<size_t>(startPos) * sizeof(double);
  for (int i = 0; i < NParams(); ++i)
  {
    double incoming;
    memcpy(&incoming, data + static_cast<size_t>(i) * sizeof(double), sizeof(double));
    const float live = static_cast<float>(GetParam(i)->Value());
    if (std::fabs(live - static_cast<float>(incoming)) >= 0.00001f) return false;
  }
  return true;
}

bool IPlugBase::DumpPresetSrcCode(const char* file, const char* paramEnumNames[])
{
  ScopedFile fp(fopen(file, "w"));
  if (!fp) return false;
  fprintf(fp.get(), "  MakePresetFromNamedParams(\"%s\", %d", GetPresetName(mCurrentPresetIdx), NParams());
  for (int i = 0; i < NParams(); ++i)
  {
    const IParam* pParam = GetParam(i);
    fprintf(fp.get(), ",\n    %s, ", paramEnumNames[i]);
    switch (pParam->Type())
    {
    case kTypeBool:
      fputs(pParam->Value() >= 0.5 ? "true" : "false", fp.get());
      break;
    case kTypeInt:
    case kTypeEnum:
      fprintf(fp.get(), "%d", pParam->Int());
      break;
    default:
      fprintf(fp.get(), "%.6f", pParam->Value());
      break;
    }
  }
  fputs(");\n", fp.get());
  return true;
}

bool IPlugBase::dumpBlobs(const char* file, int firstIdx, int endIdx)
{
  ScopedFile fp(fopen(file, "w"));
  if (!fp) return false;
  WDL_String text;
  for (int i = firstIdx; i < endIdx; ++i)
  {
    const IPreset* pPreset = mPresets.Get(i);
    if (!pPreset) continue;
    Base64Encode(pPreset->mChunk.GetBytes(), pPreset->mChunk.Size(), &text);
    fprintf(fp.get(), "  MakePresetFromBlob(\"%s\", \"%s\", %d);\n", pPreset->mName, text.Get(),
            pPreset->mChunk.Size());
  }
  return true;
}

bool IPlugBase::DumpPresetBlob(const char* file)
{
  return dumpBlobs(file, mCurrentPresetIdx, mCurrentPresetIdx + 1);
}

bool IPlugBase::DumpBankBlob(const char* file)
{
  return dumpBlobs(file, 0, NPresets());
}
