#pragma once
// A value written on one thread and read whole on another, with no ordering
// between them: parameter copies that the render loop reads without a lock.
// Relaxed loads and stores compile to plain moves on x86-64, so the render
// pays nothing for them, and ThreadSanitizer sees no data race.

#include <atomic>

template <class T> class Relaxed
{
public:
  Relaxed(T value = T()) : mValue(value) {}
  Relaxed(const Relaxed&) = delete;

  Relaxed& operator=(T value)
  {
    mValue.store(value, std::memory_order_relaxed);
    return *this;
  }
  Relaxed& operator=(const Relaxed& other) { return *this = T(other); }
  operator T() const { return mValue.load(std::memory_order_relaxed); }

private:
  std::atomic<T> mValue;
};
