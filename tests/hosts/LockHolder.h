#pragma once
// Holds an instance's lock on another thread as a host call does: a property
// request whose listener waits until released.

#include "ComponentManager.h"

#include <future>
#include <thread>

class LockHolder
{
public:
  explicit LockHolder(AudioUnit unit) : mUnit(unit)
  {
    AudioUnitAddPropertyListener(unit, kAudioUnitProperty_OfflineRender, hold, this);
    mThread = std::thread(
        [unit]
        {
          const uint32_t online = 0;
          AudioUnitSetProperty(unit, kAudioUnitProperty_OfflineRender, kAudioUnitScope_Global, 0, &online,
                               sizeof online);
        });
    mHeld.get_future().wait();
  }
  ~LockHolder() { Release(); }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;

  void Release()
  {
    if (!mThread.joinable()) return;
    mRelease.set_value();
    mThread.join();
    AudioUnitRemovePropertyListenerWithUserData(mUnit, kAudioUnitProperty_OfflineRender, hold, this);
  }

private:
  static void hold(void* self, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement)
  {
    static_cast<LockHolder*>(self)->mHeld.set_value();
    static_cast<LockHolder*>(self)->mReleased.wait();
  }

  AudioUnit mUnit;
  std::promise<void> mHeld, mRelease;
  std::future<void> mReleased = mRelease.get_future();
  std::thread mThread;
};
