#include "TestPlugins.h"

namespace
{
constexpr const char* kBundleID = "com.example.audiounit.Test";
constexpr int kNInstrumentPresets = 3;
constexpr int kRampDivisor = 1000;
} // namespace

IPlugInstanceInfo TestInstanceInfo()
{
  IPlugInstanceInfo info;
  info.mOSXBundleID.Set(kBundleID);
  info.mCocoaViewFactoryClassName.Set("Test_View");
  return info;
}

TestInstrument::TestInstrument(IPlugInstanceInfo info)
    : IPlugAU(info, kNTestInstrumentParams, "0-2", kNInstrumentPresets, "TestInstrument", "", "Tester", 0x00010203,
              kUniqueID, kMfrID, 0, true, true, true, 0)
{
  GetParam(kLevel)->InitDouble("Level", 0.5, 0.0, 1.0, 0.01, "", "Amp");
  GetParam(kWave)->InitEnum("Wave", 0, 3, "", "Osc");
  GetParam(kWave)->SetDisplayText(0, "tri");
  GetParam(kWave)->SetDisplayText(1, "saw");
  GetParam(kWave)->SetDisplayText(2, "pulse");
  GetParam(kSync)->InitBool("Sync", false, "", "Osc");
  GetParam(kSync)->SetCanAutomate(false);
  GetParam(kCutoff)->InitDouble("Cutoff Frequency Of The Filter!", 1000.0, 20.0, 20000.0, 1.0, "Hz");
  GetParam(kCutoff)->SetIsMeta(true);
  GetParam(kDetune)->InitDouble("Detune", 0.0, -1.0, 1.0, 0.01, "", "Amp");
  GetParam(kDetune)->NegateDisplay();
  MakeDefaultPreset("Init");
  GetParam(kLevel)->Set(1.0);
  MakeDefaultPreset("Loud");
  GetParam(kLevel)->Set(0.5);
}

// Output channel c, frame i carries level × (i + 1) / 1000, negated on the
// second channel, so tests can tell frames, channels and blocks apart.
void TestInstrument::ProcessDoubleReplacing(double**, double** outputs, int nFrames)
{
  GetTime(&mTimeInfo);
  const double level = GetParam(kLevel)->Value();
  for (int c = 0; c < NOutChannels(); ++c)
    for (int i = 0; i < nFrames; ++i)
      outputs[c][i] = (c ? -1.0 : 1.0) * level * (i + 1) / kRampDivisor;
}

Component TestInstrumentComponent()
{
  const auto entry = [](ComponentParameters* params, void* storage)
  {
    return IPlugAU::IPlugAUEntry(params, storage, []() -> IPlugAU* { return new TestInstrument(TestInstanceInfo()); });
  };
  static Component component =
      RegisterComponent({kAudioUnitType_MusicDevice, TestInstrument::kUniqueID, TestInstrument::kMfrID, 0, 0},
                        "Tester: TestInstrument", entry, kBundleID, "/tmp");
  return component;
}
