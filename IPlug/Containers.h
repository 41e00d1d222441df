#pragma once
// The small containers the plug-in core is built on. Buffers use the C
// allocator so that they can grow in place with realloc; lists of pointers do
// not own their elements unless the caller asks them to delete one.

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <mutex>

class WDL_HeapBuf
{
public:
  explicit WDL_HeapBuf(int granularity = 4096) : mGranularity(granularity > 0 ? granularity : 1) {}
  ~WDL_HeapBuf() { free(mBuf); }
  WDL_HeapBuf(const WDL_HeapBuf&) = delete;
  WDL_HeapBuf& operator=(const WDL_HeapBuf&) = delete;

  // Null while nothing is stored, so callers can test the pointer alone.
  void* Get() const { return mSize > 0 ? mBuf : nullptr; }
  int GetSize() const { return mSize; }
  int GetAllocated() const { return mAlloc; }
  int GetGranularity() const { return mGranularity; }
  void SetGranularity(int granularity) { mGranularity = granularity > 0 ? granularity : 1; }

  // Sets the used size. On allocation failure the old buffer and size stay and
  // the result is what Get() returns then; callers compare GetSize() to check.
  void* Resize(int newSize, bool resizeDown = true);

private:
  long long grownAllocation(int newSize) const;
  bool reallocateTo(long long newAlloc);

  void* mBuf = nullptr;
  int mAlloc = 0;
  int mSize = 0;
  int mGranularity;
};

template <class T>
class WDL_TypedBuf
{
public:
  explicit WDL_TypedBuf(int granularityBytes = 4096) : mHeap(granularityBytes) {}

  T* Get() const { return static_cast<T*>(mHeap.Get()); }
  int GetSize() const { return mHeap.GetSize() / static_cast<int>(sizeof(T)); }

  T* Resize(int newCount, bool resizeDown = true)
  {
    if (newCount < 0) newCount = 0;
    if (static_cast<long long>(newCount) * sizeof(T) > 0x7fffffffLL) return Get();
    return static_cast<T*>(mHeap.Resize(newCount * static_cast<int>(sizeof(T)), resizeDown));
  }

  // Appends one element; returns its address, or null when growing failed.
  T* Add(const T& value)
  {
    const int count = GetSize();
    Resize(count + 1, false);
    if (GetSize() != count + 1) return nullptr;
    T* slot = Get() + count;
    memcpy(static_cast<void*>(slot), &value, sizeof(T));
    return slot;
  }

private:
  WDL_HeapBuf mHeap;
};

template <class T>
class WDL_PtrList
{
public:
  WDL_PtrList() : mItems(256) {}

  int GetSize() const { return mItems.GetSize(); }
  T* Get(int idx) const { return idx >= 0 && idx < GetSize() ? mItems.Get()[idx] : nullptr; }
  T** GetList() const { return mItems.Get(); }

  T* Add(T* item) { return Insert(GetSize(), item); }

  // An index past the end appends; a negative one inserts at the front.
  T* Insert(int idx, T* item)
  {
    const int count = GetSize();
    if (!mItems.Add(item)) return nullptr;
    if (idx < 0) idx = 0;
    if (idx < count)
    {
      T** items = mItems.Get();
      memmove(items + idx + 1, items + idx, (count - idx) * sizeof(T*));
      items[idx] = item;
    }
    return item;
  }

  int Find(const T* item) const
  {
    for (int i = 0; i < GetSize(); ++i)
      if (mItems.Get()[i] == item) return i;
    return -1;
  }

  void Delete(int idx, bool deleteElement = false)
  {
    const int count = GetSize();
    if (idx < 0 || idx >= count) return;
    T** items = mItems.Get();
    T* item = items[idx];
    memmove(items + idx, items + idx + 1, (count - idx - 1) * sizeof(T*));
    mItems.Resize(count - 1, false);
    if (deleteElement) delete item;
  }

  // Deleting runs last to first, the reverse of construction order.
  void Empty(bool deleteElements = false)
  {
    if (deleteElements)
      for (int i = GetSize() - 1; i >= 0; --i) delete mItems.Get()[i];
    mItems.Resize(0, false);
  }

private:
  WDL_TypedBuf<T*> mItems;
};

class WDL_String
{
public:
  WDL_String() = default;
  explicit WDL_String(const char* text, int maxLength = 0) { Set(text, maxLength); }
  WDL_String(const WDL_String& other) { Set(other.Get()); }
  WDL_String& operator=(const WDL_String& other)
  {
    if (this != &other) Set(other.Get());
    return *this;
  }

  // Copies at most maxLength bytes (0: no limit); copying also stops at a zero byte.
  void Set(const char* text, int maxLength = 0);
  void Append(const char* text, int maxLength = 0);
  // maxLength bounds the formatted text (0: no limit).
  void SetFormatted(int maxLength, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void AppendFormatted(int maxLength, const char* format, ...) __attribute__((format(printf, 3, 4)));

  const char* Get() const { return mText.GetSize() > 0 ? static_cast<const char*>(mText.Get()) : ""; }
  int GetLength() const { return static_cast<int>(strlen(Get())); }

private:
  void setAt(int offset, const char* text, int length);
  void appendFormattedList(int maxLength, const char* format, va_list args);

  WDL_HeapBuf mText{128};
};

class WDL_Mutex
{
public:
  void Enter() { mMutex.lock(); }
  void Leave() { mMutex.unlock(); }
  // Never waits: for the audio thread, which must not block on a host thread.
  bool TryEnter() { return mMutex.try_lock(); }

private:
  std::recursive_mutex mMutex;
};

// Scoped lock that tolerates a null mutex, so optional locking reads as one line.
class WDL_MutexLock
{
public:
  explicit WDL_MutexLock(WDL_Mutex* mutex) : mMutex(mutex)
  {
    if (mMutex) mMutex->Enter();
  }
  ~WDL_MutexLock()
  {
    if (mMutex) mMutex->Leave();
  }
  WDL_MutexLock(const WDL_MutexLock&) = delete;
  WDL_MutexLock& operator=(const WDL_MutexLock&) = delete;

private:
  WDL_Mutex* mMutex;
};
