#pragma once
// A shell with a small parameter table and three programs, opened through
// the component entry as a host opens the instrument, and driven with the
// host's calls. It records what the shell asks of the instrument.

#include "ComponentManager.h"
#include "IControl.h"
#include "ScopedConfigHome.h"
#include "TestGraphics.h"
#include "synth.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

class RecordingSynth : public Synth
{
public:
  static constexpr int kShapedParam = 0;  // double 0..1, default 0.25, shape 2
  static constexpr int kListParam = 1;    // enum of three texts
  static constexpr int kProgramParam = 2; // tells the three programs apart
  static constexpr int kNumTestPrograms = 3;

  explicit RecordingSynth(IPlugInstanceInfo info);

  void initParameters() override;
  void allNotesOff() override { ++mAllNotesOffCalls; }

  using Synth::mEditorGraphics;
  using Synth::mHomePath;
  using Synth::mIgnoreProgramChange;
  using Synth::mIniPath;
  using Synth::mMidiControlParam;
  using Synth::mMidiLearn;
  using Synth::mMidiLearnCC;
  using Synth::mMidiLearnSwitch;
  using Synth::mMidiQueue;
  using Synth::mMidiThru;
  using Synth::mMidiUnlearn;
  using Synth::mNumHeldKeys;
  using Synth::mNumPressedKeys;
  using Synth::mPressedKeys;
  using Synth::mProgramPath;
  using Synth::mStartupBankPath;
  using Synth::mUpdateCountdown;
  using Synth::mUpdateInterval;
  using Synth::mUpdateRequest;
  using Synth::mUpdateScheme;
  using Synth::mUpdateTimeouts;

  int mAllNotesOffCalls = 0;
};

// A shell made as the component entry makes it, without a host around it.
std::unique_ptr<RecordingSynth> makeShell();

// Stands in for the editor's learn switch.
struct RecordingSwitch : IControl
{
  RecordingSwitch() : IControl(nullptr, IRECT()) {}
  bool Draw(IGraphics*) override { return false; }
  void SetValueFromPlug(double value) override { mValues.push_back(value); }
  void SetDirty(bool pushParamToPlug) override { mDirtyPushes.push_back(pushParamToPlug); }

  std::vector<double> mValues;
  std::vector<bool> mDirtyPushes;
};

// One open instance at 44100 Hz with 512-frame blocks, initialised.
struct SynthTest : ::testing::Test
{
  SynthTest();
  ~SynthTest() override;

  void setSampleRate(double rate);
  void setBlockSize(uint32_t frames);
  void midi(uint32_t status, uint32_t data1, uint32_t data2, uint32_t offset = 0);
  // Takes every queued message, in queue order.
  std::vector<IMidiMsg> drainQueue();

  ScopedConfigHome mConfigHome; // first: the shell reads its configuration when it opens
  ComponentInstance mInstance = nullptr;
  RecordingSynth* synth = nullptr;
};

// The same, with a headless editor whose message boxes, dialogs and URLs are
// recorded and answered by the test.
struct SynthWithEditor : SynthTest
{
  static constexpr int kYes = 1;
  static constexpr int kNo = 7;

  SynthWithEditor();

  TestGraphics* graphics; // owned by the instance
};
