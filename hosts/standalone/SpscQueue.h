#pragma once
// A fixed ring between exactly one producer thread and one consumer thread,
// without locks or allocation after construction: how MIDI from the keyboard
// window and the ALSA sequencer reaches the audio thread.

#include <array>
#include <atomic>
#include <cstddef>

template <class T, size_t kCapacity> class SpscQueue
{
  static_assert((kCapacity & (kCapacity - 1)) == 0, "the capacity must be a power of two");

public:
  // Producer thread. False when full: the item is dropped.
  bool push(const T& item)
  {
    const size_t tail = mTail.load(std::memory_order_relaxed);
    if (tail - mHead.load(std::memory_order_acquire) == kCapacity) return false;
    mItems[tail % kCapacity] = item;
    mTail.store(tail + 1, std::memory_order_release);
    return true;
  }

  // Consumer thread. False when empty.
  bool pop(T& item)
  {
    const size_t head = mHead.load(std::memory_order_relaxed);
    if (head == mTail.load(std::memory_order_acquire)) return false;
    item = mItems[head % kCapacity];
    mHead.store(head + 1, std::memory_order_release);
    return true;
  }

private:
  std::array<T, kCapacity> mItems{};
  std::atomic<size_t> mHead{0};
  std::atomic<size_t> mTail{0};
};
