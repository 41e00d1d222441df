#pragma once
// Keeps the host's control calls (state save, which the state extension lets
// run alongside run(), and the UI thread's calls) and the audio thread out of
// the component's locked entry at the same time, without the audio thread
// ever waiting: a control call waits for the audio call in progress to end,
// and an audio call that finds a control call in progress leaves the entry
// alone for that block. Sequentially consistent flags make this Dekker's
// handshake.

#include <atomic>
#include <mutex>
#include <thread>

class Lv2ControlGate
{
public:
  // Audio thread, never waits. True when the entry is the audio thread's for
  // this block; LeaveAudio must follow either way.
  bool EnterAudio()
  {
    mAudio.store(true);
    return !mControl.load();
  }
  void LeaveAudio() { mAudio.store(false); }

  // Control threads take turns; each waits at most for one run() to end
  // besides. Not nested.
  void EnterControl()
  {
    mControlTurn.lock();
    mControl.store(true);
    while (mAudio.load())
      std::this_thread::yield();
  }
  void LeaveControl()
  {
    mControl.store(false);
    mControlTurn.unlock();
  }

  class Scope
  {
  public:
    explicit Scope(Lv2ControlGate& gate) : mGate(gate) { mGate.EnterControl(); }
    ~Scope() { mGate.LeaveControl(); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

  private:
    Lv2ControlGate& mGate;
  };

private:
  std::atomic<bool> mAudio{false};
  std::atomic<bool> mControl{false};
  std::mutex mControlTurn;
};
