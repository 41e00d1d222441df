#pragma once
// Keeps the host's control calls (state save, which the state extension lets
// run alongside run()) and the audio thread out of the component's locked
// entry at the same time, without the audio thread ever waiting: a control
// call waits for the audio call in progress to end, and an audio call that
// finds a control call in progress leaves the entry alone for that block.
// Sequentially consistent flags make this Dekker's handshake.

#include <atomic>
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

  // One control thread at a time; waits at most for one run() to end.
  void EnterControl()
  {
    mControl.store(true);
    while (mAudio.load())
      std::this_thread::yield();
  }
  void LeaveControl() { mControl.store(false); }

private:
  std::atomic<bool> mAudio{false};
  std::atomic<bool> mControl{false};
};
