// The instrument's state chunk: a version magic, the current program's index
// and name, then every parameter's own value as a double. Older data holds
// the values alone.

#include "tessaryn.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr char kVersionMagic[] = "Tessaryn_2.3.1";
constexpr int kMagicSize = static_cast<int>(sizeof(kVersionMagic)) - 1;
constexpr int kFieldSize = 4; // the program index, then the name's length
// Values written before 2.2.0 end before PtmDrift.
constexpr int kFirstVersionWithPtmDrift = 20200;

// A magic cut off by the chunk's end still counts as one: a damaged header
// is rejected rather than read as values.
bool startsWithMagic(const ByteChunk* pChunk, int pos)
{
  if (pos < 0) return false;
  const int nHeld = std::clamp(pChunk->Size() - pos, 0, kMagicSize);
  return nHeld == 0 || memcmp(pChunk->GetBytes() + pos, kVersionMagic, static_cast<size_t>(nHeld)) == 0;
}

// The position of the first value after the header at pos, or -1 when the
// header, its name included, does not lie within the chunk.
int skipHeader(const ByteChunk* pChunk, int pos)
{
  const long long nameLengthPos = static_cast<long long>(pos) + kMagicSize + kFieldSize;
  const long long namePos = nameLengthPos + kFieldSize;
  int nameLength = 0;
  if (namePos > pChunk->Size()) return -1;
  pChunk->Get(&nameLength, static_cast<int>(nameLengthPos));
  if (nameLength < 0 || nameLength > pChunk->Size() - namePos) return -1;
  return static_cast<int>(namePos + nameLength);
}
} // namespace

bool Tessaryn::SerializeState(ByteChunk* pChunk)
{
  WDL_MutexLock lock(&mMutex);
  const int currentIdx = GetCurrentPresetIdx();
  pChunk->PutBytes(kVersionMagic, kMagicSize);
  pChunk->Put(&currentIdx);
  pChunk->PutStr(GetPresetName(currentIdx));
  return pChunk->Size() > 0 && SerializeParams(pChunk);
}

// The values become the parameters' own (clamped, without their change
// handlers); OnParamReset then hands them to the engine, which takes them at
// its next control tick.
int Tessaryn::UnserializeState(ByteChunk* pChunk, int startPos)
{
  WDL_MutexLock lock(&mMutex);
  int pos = startPos;
  int nValues = NParams();
  if (startsWithMagic(pChunk, startPos))
    pos = skipHeader(pChunk, startPos);
  else if (mDataVersion < kFirstVersionWithPtmDrift)
    nValues = kPtmDrift;
  if (pos >= 0) pos = readParamValues(pChunk, pos, nValues);
  OnParamReset();
  return pos;
}

// The first value that cannot be read is applied as 0 and ends the reading;
// so are the values older data lacks.
int Tessaryn::readParamValues(const ByteChunk* pChunk, int pos, int nValues)
{
  for (int i = 0; pos >= 0 && i < NParams(); ++i)
  {
    double value = 0.0;
    if (i < nValues) pos = pChunk->Get(&value, pos);
    GetParam(i)->Set(value);
  }
  return pos;
}
