#pragma once
// A small instrument on the Audio Unit adapter, without inputs, that writes a
// known ramp, reads the host transport and records what the adapter hands it.

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

  explicit TestInstrument(IPlugInstanceInfo info);

  void Reset() override { ++mResets; }
  void ProcessMidiMsg(IMidiMsg* pMsg) override { mMidi.push_back(*pMsg); }
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;

  std::vector<IMidiMsg> mMidi;
  int mResets = 0;
  ITimeInfo mTimeInfo;
};

IPlugInstanceInfo TestInstanceInfo();

// Registered once, in the bundle "com.example.audiounit.Test" at /tmp.
Component TestInstrumentComponent();
