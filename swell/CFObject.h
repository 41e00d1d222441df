#pragma once
// The common part of every property-list value: its kind and its reference
// count. Only the value layer and the bundle registry derive from it.

#include "CFTypes.h"

#include <atomic>
#include <string>

enum CFObjectKind : CFTypeID
{
  kCFKindString = 1,
  kCFKindNumber,
  kCFKindData,
  kCFKindDictionary,
  kCFKindArray,
  kCFKindURL,
  kCFKindBundle,
};

class CFObject
{
public:
  CFObject(CFObjectKind kind, bool immortal = false) : mKind(kind), mImmortal(immortal) {}
  virtual ~CFObject() = default;
  CFObject(const CFObject&) = delete;
  CFObject& operator=(const CFObject&) = delete;

  CFObjectKind Kind() const { return mKind; }
  virtual std::string Describe() const = 0;

  void Retain() const;
  // Deletes the object when the last reference goes.
  void Release() const;
  CFIndex RetainCount() const { return mRefCount.load(std::memory_order_relaxed); }

  // Null when the value is null or of another kind.
  template <class T> static const T* As(CFTypeRef value, CFObjectKind kind)
  {
    auto* object = static_cast<const CFObject*>(value);
    return object && object->mKind == kind ? static_cast<const T*>(object) : nullptr;
  }

private:
  const CFObjectKind mKind;
  // Literals and registry entries live for the whole process.
  const bool mImmortal;
  mutable std::atomic<CFIndex> mRefCount{1};
};
