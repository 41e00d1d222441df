#pragma once
// Two small plug-ins on the Audio Unit adapter: an instrument without inputs
// that writes a known ramp and reads the host transport, and an effect that
// passes its inputs through a gain. They record what the adapter calls.

#include "ComponentManager.h"
#include "IMidiMsg.h"
#include "IPlugAU.h"

#include <vector>

enum ETestInstrumentParam
{
  kLevel = 0, // double 0..1, step 0.01, group "Amp"
  kWave,      // enum tri/saw/pulse, group "Osc"
  kSync,      // bool, not automatable, group "Osc"
  kCutoff,    // double 20..20000 Hz, meta, no group
  kDetune,    // double, shown negated, group "Amp"
  kNTestInstrumentParams
};

class TestInstrument : public IPlugAU
{
public:
  static constexpr int kUniqueID = 0x54737431; // 'Tst1'
  static constexpr int kMfrID = 0x54657374;    // 'Test'

  explicit TestInstrument(IPlugInstanceInfo info, const char* channelIOStr = "0-2");

  void OnParamChange(int paramIdx) override { mParamChanges.push_back(paramIdx); }
  void OnActivate(bool active) override { mActivations.push_back(active); }
  void Reset() override { ++mResets; }
  void OnHostIdentified() override { mHostAtIdentification.push_back(mHost); }
  void ProcessMidiMsg(IMidiMsg* pMsg) override { mMidi.push_back(*pMsg); }
  void ProcessSysEx(ISysEx* pSysEx) override { mSysExSize = pSysEx->mSize; }
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;

  std::vector<int> mParamChanges;
  std::vector<bool> mActivations;
  std::vector<EHost> mHostAtIdentification;
  std::vector<IMidiMsg> mMidi;
  int mResets = 0;
  int mSysExSize = -1;
  int mProcessCalls = 0;
  ITimeInfo mTimeInfo;
};

class TestEffect : public IPlugAU
{
public:
  explicit TestEffect(IPlugInstanceInfo info);

  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;

  int mProcessCalls = 0;
};

IPlugInstanceInfo TestInstanceInfo();

// Component entries as the host sees them.
ComponentResult TestInstrument_Entry(ComponentParameters* params, void* storage);
ComponentResult TestEffect_Entry(ComponentParameters* params, void* storage);

// Registered once, in the bundle "com.example.audiounit.Test" at /tmp.
Component TestInstrumentComponent();
Component TestEffectComponent();
