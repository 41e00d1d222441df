#pragma once
// The instrument shell between the Audio Unit adapter and the instrument:
// MIDI input filtering and queueing, the pressed-key buffer the key-assign
// logic reads, MIDI learn, the program commands and the tuned pitch scale.
// The render loop of the derived instrument reads the protected fields below
// without a lock; everything that writes them from other threads does so
// under the plug-in mutex.

#include "ByteChunk.h"
#include "IMidiQueue.h"
#include "IPlugAU.h"
#include "IPlugStructs.h"
#include "TunedPitchScale.h"

#include <atomic>

class IControl;
class IGraphics;

class Synth : public IPlugAU, public TunedPitchScale
{
public:
  static constexpr int kNumParams = 70;
  static constexpr int kNumPrograms = 64;
  static constexpr int kNumControllers = 120; // the learnable ones, 0..119
  static constexpr int kNumKeys = 128;
  static constexpr int kNoKey = 256; // an empty slot of the key buffer
  static constexpr int kDataVersion = 20301;

  // Creating thread, under the adapter's creation lock; allocates.
  explicit Synth(IPlugInstanceInfo instanceInfo);
  ~Synth() override;

  // Host threads, under the plug-in mutex; allocates (the queue).
  void Reset() override;
  // Any non-audio thread, under the mutex.
  void OnParamChange(int paramIdx) override;
  void OnActivate(bool active) override;
  // Host MIDI or render thread, under the adapter's lock. Allocates nothing:
  // a message that would make the queue grow is dropped.
  void ProcessMidiMsg(IMidiMsg* pMsg) override;
  // Callers hold the mutex or run on the host's main thread.
  int UnserializeState(ByteChunk* pChunk, int startPos) override;
  int UnserializePresets(ByteChunk* pChunk, int startPos) override;

  // Overridden by the instrument; empty here. allNotesOff may run on the
  // audio thread (controllers 120 and 123).
  virtual void allNotesOff() {}
  virtual void initParameters() {}

  // MIDI learn: the editor's learn switch and knobs, and controller capture
  // on the MIDI thread. Allocate nothing.
  void setMidiLearnParam(int paramIdx);
  void setMidiLearnCC(int controller);
  void doMidiLearn(bool on);
  void doMidiUnlearn(bool on);
  void applyMidiLearn();
  // The parameter controller drives, or -1 (also for controllers outside 0..119).
  int midiControlParam(int controller) const
  {
    return controller >= 0 && controller < kNumControllers ? mMidiControlParam[controller].load() : -1;
  }

  // The pressed-key buffer: audio thread, no lock, no allocation.
  void clearKeyBuffer();
  void addPressedKey(int key);
  void removePressedKey(int key);

  // Parameter table construction; paramIdx must name an existing parameter
  // and texts must hold count entries.
  void initListParameter(int paramIdx, const char* name, int defaultIdx, int count, const char* const* texts);

  // Program commands from the editor, under the plug-in mutex.
  void initPreset();
  void copyPreset();
  void pastePreset();
  void changePreset(int idx);

protected:
  int mDataVersion = kDataVersion;
  IGraphics* mEditorGraphics = nullptr;
  IMidiQueue mMidiQueue;
  ITimeInfo mTimeInfo;
  IControl* mPresetMenu = nullptr;
  IControl* mMidiLearnSwitch = nullptr;
  int mCopiedPresetIdx = -1;
  ByteChunk mPresetClipboard;
  bool mMidiThru = false; // stored and toggled only: nothing is forwarded
  bool mIgnoreProgramChange = false;
  int mUpdateCountdown = 0;
  int mUpdateInterval = 0;
  // Written by learn under the mutex, read by the render loop without it.
  std::atomic<int> mMidiControlParam[kNumControllers];
  bool mMidiLearn = false;
  bool mMidiUnlearn = false;
  int mMidiLearnCC = -1;
  int mMidiLearnParam = -1;
  int mPressedKeys[kNumKeys];
  int mNumPressedKeys = 0;
  int mNumHeldKeys = 0;

private:
  void startMidiLearn(bool unlearn, bool on);
  void handleControlChange(const IMidiMsg& msg);
  void queueMidiMsg(IMidiMsg msg);
  void unassignParam(int paramIdx);
  void resetMidiLearnSwitch();
  int unserializeOlderState(ByteChunk* pChunk, int startPos);
};
