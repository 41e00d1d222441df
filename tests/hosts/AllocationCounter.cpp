#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace
{
thread_local bool tCounting = false;
thread_local long tAllocations = 0;

void count()
{
  if (tCounting) ++tAllocations;
}
} // namespace

AllocationCounter::AllocationCounter()
{
  tAllocations = 0;
  tCounting = true;
}

AllocationCounter::~AllocationCounter()
{
  tCounting = false;
}

long AllocationCounter::Allocations() const
{
  return tAllocations;
}

void* operator new(std::size_t size)
{
  count();
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
  return operator new(size);
}

// The nothrow forms too (std::stable_sort's temporary buffer uses them):
// left to the sanitizer's allocator, their memory would reach free() below.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
  count();
  return std::malloc(size ? size : 1);
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
  return operator new(size, tag);
}

void operator delete(void* p) noexcept
{
  std::free(p);
}

void operator delete[](void* p) noexcept
{
  std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
  std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept
{
  std::free(p);
}

// The C allocator, replaced only where no sanitizer has replaced it already.
#ifndef TESSARYN_SANITIZED
extern "C"
{
  void* __libc_malloc(std::size_t);
  void* __libc_calloc(std::size_t, std::size_t);
  void* __libc_realloc(void*, std::size_t);

  void* malloc(std::size_t size)
  {
    count();
    return __libc_malloc(size);
  }

  void* calloc(std::size_t n, std::size_t size)
  {
    count();
    return __libc_calloc(n, size);
  }

  void* realloc(void* p, std::size_t size)
  {
    count();
    return __libc_realloc(p, size);
  }
}
#endif
