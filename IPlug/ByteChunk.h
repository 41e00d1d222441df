#pragma once
// Growable byte buffer for serialised state. Values are appended at the end and
// read back from a caller-held position; a failed read returns -1 and every
// read given -1 fails too, so a chain of reads is checked once at its end.

#include "Containers.h"

#include <climits>
#include <cstring>
#include <type_traits>

class ByteChunk
{
public:
  ByteChunk() = default;
  ByteChunk(const ByteChunk&) = delete;
  ByteChunk& operator=(const ByteChunk&) = delete;

  template <class T> int Put(const T* pVal)
  {
    static_assert(std::is_trivially_copyable_v<T>);
    return PutBytes(pVal, static_cast<int>(sizeof(T)));
  }

  int PutBytes(const void* pSrc, int nBytes)
  {
    const int oldSize = Size();
    if (nBytes <= 0 || nBytes > INT_MAX - oldSize) return oldSize;
    mBytes.Resize(oldSize + nBytes, false);
    if (Size() != oldSize + nBytes) return Size();
    memcpy(mBytes.Get() + oldSize, pSrc, static_cast<size_t>(nBytes));
    return Size();
  }

  int PutStr(const char* str)
  {
    if (!str) str = "";
    const int length = static_cast<int>(strlen(str));
    Put(&length);
    return PutBytes(str, length);
  }

  int PutBool(bool b)
  {
    const unsigned char byte = b ? 1 : 0;
    return Put(&byte);
  }

  int PutChunk(const ByteChunk* pRHS) { return PutBytes(pRHS->GetBytes(), pRHS->Size()); }

  template <class T> int Get(T* pVal, int startPos) const
  {
    static_assert(std::is_trivially_copyable_v<T>);
    return GetBytes(pVal, static_cast<int>(sizeof(T)), startPos);
  }

  int GetBytes(void* pBuf, int nBytes, int startPos) const
  {
    if (!fits(startPos, nBytes)) return -1;
    memcpy(pBuf, mBytes.Get() + startPos, static_cast<size_t>(nBytes));
    return startPos + nBytes;
  }

  int GetBool(bool* pB, int startPos) const
  {
    unsigned char byte = 0;
    const int pos = Get(&byte, startPos);
    if (pos >= 0) *pB = byte != 0;
    return pos;
  }

  // Returns the position after the stored text even when that lies beyond the
  // data, so the next read fails. A negative length, or one so large that the
  // end position would not fit an int, is a failed read: it must neither move
  // the position backwards nor wrap around into the data.
  int GetStr(WDL_String* pStr, int startPos) const
  {
    int length = 0;
    const int pos = Get(&length, startPos);
    if (pos < 0 || length < 0 || length > INT_MAX - pos) return -1;
    if (length > 0 && fits(pos, length)) pStr->Set(reinterpret_cast<const char*>(mBytes.Get() + pos), length);
    return pos + length;
  }

  void Clear() { mBytes.Resize(0, false); }

  // Bytes added by growing read as zero.
  int Resize(int newSize)
  {
    const int oldSize = Size();
    mBytes.Resize(newSize, false);
    if (Size() > oldSize) memset(mBytes.Get() + oldSize, 0, static_cast<size_t>(Size() - oldSize));
    return oldSize;
  }

  int Size() const { return mBytes.GetSize(); }
  unsigned char* GetBytes() const { return mBytes.Get(); }

private:
  bool fits(int startPos, int nBytes) const
  {
    return startPos >= 0 && nBytes >= 0 && static_cast<long long>(startPos) + nBytes <= Size();
  }

  WDL_TypedBuf<unsigned char> mBytes{4096};
};
