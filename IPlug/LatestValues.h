#pragma once
// Values handed from one thread to another by index, where only the newest
// value of each index matters (parameter values, controller positions).
// Posting never waits and never allocates, so any thread may post, the audio
// thread included; the taking thread applies each changed index once.

#include <atomic>
#include <cstdint>
#include <memory>

class LatestValues
{
public:
  explicit LatestValues(int size)
      : mSize(size > 0 ? size : 0), mValues(new std::atomic<double>[mSize]()),
        mChanged(new std::atomic<uint64_t>[wordsFor(mSize)]())
  {
  }

  // False for an index out of range.
  bool Post(int idx, double value)
  {
    if (idx < 0 || idx >= mSize) return false;
    mValues[idx].store(value, std::memory_order_relaxed);
    mChanged[idx / 64].fetch_or(uint64_t(1) << (idx % 64), std::memory_order_release);
    return true;
  }

  // Calls apply(idx, value) for every index posted since the last call, in
  // index order.
  template <class Apply> void TakeEach(Apply apply)
  {
    for (int word = 0; word < wordsFor(mSize); ++word)
    {
      for (uint64_t bits = mChanged[word].exchange(0, std::memory_order_acquire); bits; bits &= bits - 1)
      {
        const int idx = word * 64 + __builtin_ctzll(bits);
        apply(idx, mValues[idx].load(std::memory_order_relaxed));
      }
    }
  }

private:
  static int wordsFor(int size) { return (size + 63) / 64; }

  int mSize;
  std::unique_ptr<std::atomic<double>[]> mValues;
  std::unique_ptr<std::atomic<uint64_t>[]> mChanged;
};
