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
// its next control tick. Without the header the values are older data.
int Tessaryn::UnserializeState(ByteChunk* pChunk, int startPos)
{
  WDL_MutexLock lock(&mMutex);
  if (!startsWithMagic(pChunk, startPos)) return Synth::UnserializeState(pChunk, startPos);
  const int pos = skipHeader(pChunk, startPos);
  if (pos >= 0) return UnserializeParams(pChunk, pos);
  OnParamReset();
  return pos;
}
