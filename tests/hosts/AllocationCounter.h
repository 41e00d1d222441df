#pragma once
// Counts heap allocations made by the constructing thread while the counter
// lives. Replaces the global operator new (and, outside sanitizer builds, which
// own malloc themselves, the C allocator) of the test executable.

class AllocationCounter
{
public:
  AllocationCounter();
  ~AllocationCounter();
  AllocationCounter(const AllocationCounter&) = delete;
  AllocationCounter& operator=(const AllocationCounter&) = delete;

  long Allocations() const;
};
