#pragma once
// Messages of the current and following blocks, kept in order of their sample
// offset so that the render loop can apply them sample-accurately.
//
// No lock of its own: the owner fills it under the plug-in mutex and the
// render loop drains it on the audio thread. Remove, Peek, Empty, Flush and
// Add within capacity neither allocate nor lock. Add allocates (realloc) only
// when the queue is full and nothing has been consumed; Resize allocates and
// belongs outside rendering, where the owner sizes the queue for a block.

#include "IMidiMsg.h"

class IMidiQueue
{
public:
  // Capacities are whole 4096-byte pages.
  static constexpr int kMessagesPerPage = 512;

  explicit IMidiQueue(int size);
  ~IMidiQueue();
  IMidiQueue(const IMidiQueue&) = delete;
  IMidiQueue& operator=(const IMidiQueue&) = delete;

  // Inserts a copy after every pending message with an offset not above its
  // own, so equal offsets keep their order of arrival. When the queue is full
  // and growing fails, this message alone is lost.
  void Add(const IMidiMsg* msg);
  // Drops the oldest pending message; nothing when empty.
  void Remove();
  // The oldest pending message, or null when empty.
  IMidiMsg* Peek() const;
  bool Empty() const { return mFront == mBack; }
  // Moves the pending messages to the start of the buffer and makes their
  // offsets relative to nFrames later.
  void Flush(int nFrames);
  // Drops the newest pending message for which expendable(msg) holds; false
  // when none does. Makes room in a full queue without allocating.
  template <class Predicate> bool RemoveNewest(Predicate expendable)
  {
    for (int i = mBack - 1; i >= mFront; --i)
    {
      if (!expendable(static_cast<const IMidiMsg&>(mBuf[i]))) continue;
      erase(i);
      return true;
    }
    return false;
  }
  // Capacity and growth step become size rounded up to whole pages, never
  // fewer than the pending messages. On allocation failure the old capacity
  // stays.
  void Resize(int size);

  int Capacity() const { return mSize; }
  int NumPending() const { return mBack - mFront; }

private:
  bool expand();
  void compact();
  void erase(int index);
  bool reallocate(int size);

  IMidiMsg* mBuf = nullptr;
  int mSize = 0;
  int mGrow;
  int mFront = 0;
  int mBack = 0;
};
