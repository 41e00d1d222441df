#pragma once
// What the instrument announces while a UI is attached: gestures and
// parameter changes, in order. Queued on whichever thread announces them
// (never the audio thread) and taken by the UI's idle call on the UI thread,
// the one thread that may talk to the host about the UI.

#include <cstdint>
#include <mutex>
#include <vector>

struct Lv2UiEvent
{
  enum Kind
  {
    kBegin,
    kValue,
    kEnd,
  };
  Kind mKind = kValue;
  uint32_t mId = 0;
  float mValue = 0.0f; // kValue
};

class Lv2UiEvents
{
public:
  // Without a UI nothing is kept.
  void Attach(bool attached)
  {
    std::lock_guard lock(mLock);
    mAttached = attached;
    mEvents.clear();
  }
  void Push(const Lv2UiEvent& event)
  {
    std::lock_guard lock(mLock);
    if (mAttached) mEvents.push_back(event);
  }
  // Hands over the queued events; the caller's storage takes the next ones.
  void Take(std::vector<Lv2UiEvent>& taken)
  {
    taken.clear();
    std::lock_guard lock(mLock);
    taken.swap(mEvents);
  }

private:
  std::mutex mLock;
  bool mAttached = false;
  std::vector<Lv2UiEvent> mEvents;
};
