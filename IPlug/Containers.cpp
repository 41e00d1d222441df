#include "Containers.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace
{
constexpr long long kPageSize = 4096;
constexpr long long kPageOverhead = 96; // leaves room for the allocator's own header within whole pages
constexpr long long kMinPagedExtra = 4096;
constexpr long long kMaxPagedExtra = 4 * 1024 * 1024;
} // namespace

long long WDL_HeapBuf::grownAllocation(int newSize) const
{
  // Growing by half the new size keeps repeated appends amortised linear.
  long long extra = std::max<long long>(newSize / 2, mGranularity);
  if (mGranularity < kPageSize) return newSize + extra;
  extra = std::clamp(extra, kMinPagedExtra, kMaxPagedExtra);
  const long long pages = (newSize + extra + kPageOverhead + kPageSize - 1) / kPageSize;
  return pages * kPageSize - kPageOverhead;
}

bool WDL_HeapBuf::reallocateTo(long long newAlloc)
{
  if (newAlloc > INT_MAX) return false;
  if (newAlloc == 0)
  {
    free(mBuf);
    mBuf = nullptr;
    mAlloc = 0;
    return true;
  }
  void* grown = realloc(mBuf, static_cast<size_t>(newAlloc));
  if (!grown)
  {
    grown = malloc(static_cast<size_t>(newAlloc));
    if (!grown) return false;
    if (mBuf) memcpy(grown, mBuf, static_cast<size_t>(std::min<long long>(mSize, newAlloc)));
    free(mBuf);
  }
  mBuf = grown;
  mAlloc = static_cast<int>(newAlloc);
  return true;
}

void* WDL_HeapBuf::Resize(int newSize, bool resizeDown)
{
  if (newSize < 0) newSize = 0;
  if (newSize > mAlloc)
  {
    if (!reallocateTo(grownAllocation(newSize))) return Get();
  }
  else if (resizeDown && newSize < mAlloc / 2 && newSize < mAlloc - 4LL * mGranularity)
  {
    if (!reallocateTo(newSize)) return Get();
  }
  mSize = newSize;
  return Get();
}

void WDL_String::setAt(int offset, const char* text, int length)
{
  mText.Resize(offset + length + 1, false);
  if (mText.GetSize() != offset + length + 1) return;
  char* buffer = static_cast<char*>(mText.Get());
  memcpy(buffer + offset, text, static_cast<size_t>(length));
  buffer[offset + length] = 0;
}

void WDL_String::Set(const char* text, int maxLength)
{
  if (!text) text = "";
  const int length = maxLength > 0 ? static_cast<int>(strnlen(text, static_cast<size_t>(maxLength)))
                                   : static_cast<int>(strlen(text));
  setAt(0, text, length);
}

void WDL_String::Append(const char* text, int maxLength)
{
  if (!text) return;
  const int length = maxLength > 0 ? static_cast<int>(strnlen(text, static_cast<size_t>(maxLength)))
                                   : static_cast<int>(strlen(text));
  setAt(GetLength(), text, length);
}

void WDL_String::appendFormattedList(int maxLength, const char* format, va_list args)
{
  va_list measure;
  va_copy(measure, args);
  int length = vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length < 0) return;
  if (maxLength > 0) length = std::min(length, maxLength);
  const int offset = GetLength();
  mText.Resize(offset + length + 1, false);
  if (mText.GetSize() != offset + length + 1) return;
  vsnprintf(static_cast<char*>(mText.Get()) + offset, static_cast<size_t>(length) + 1, format, args);
}

void WDL_String::SetFormatted(int maxLength, const char* format, ...)
{
  Set("");
  va_list args;
  va_start(args, format);
  appendFormattedList(maxLength, format, args);
  va_end(args);
}

void WDL_String::AppendFormatted(int maxLength, const char* format, ...)
{
  va_list args;
  va_start(args, format);
  appendFormattedList(maxLength, format, args);
  va_end(args);
}
