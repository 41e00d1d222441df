#include "TestPlugins.h"

namespace
{
constexpr const char* kBundleID = "com.example.audiounit.Test";
} // namespace

IPlugInstanceInfo TestInstanceInfo()
{
  IPlugInstanceInfo info;
  info.mOSXBundleID.Set(kBundleID);
  info.mCocoaViewFactoryClassName.Set("Test_View");
  return info;
}

namespace
{
IPlugAU* makeTestInstrument()
{
  return new TestInstrument(TestInstanceInfo());
}
IPlugAU* makeTestEffect()
{
  return new TestEffect(TestInstanceInfo());
}

constexpr int kNInstrumentPresets = 3;
constexpr int kRampDivisor = 1000;
} // namespace

TestInstrument::TestInstrument(IPlugInstanceInfo info, const char* channelIOStr)
    : IPlugAU(info, kNTestInstrumentParams, channelIOStr, kNInstrumentPresets, "TestInstrument", "", "Tester",
              0x00010203, kUniqueID, kMfrID, 0, true, true, true, 0)
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
  ++mProcessCalls;
  GetTime(&mTimeInfo);
  const double level = GetParam(kLevel)->Value();
  for (int c = 0; c < NOutChannels(); ++c)
    for (int i = 0; i < nFrames; ++i)
      outputs[c][i] = (c ? -1.0 : 1.0) * level * (i + 1) / kRampDivisor;
}

TestEffect::TestEffect(IPlugInstanceInfo info)
    : IPlugAU(info, 1, "1-1 2-2", 1, "TestEffect", "", "Tester", 0x00010000, 0x54737432, TestInstrument::kMfrID, 0,
              false, true, false, 0)
{
  GetParam(0)->InitDouble("Gain", 0.5, 0.0, 2.0, 0.01);
}

void TestEffect::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  ++mProcessCalls;
  const double gain = GetParam(0)->Value();
  for (int c = 0; c < NOutChannels(); ++c)
    for (int i = 0; i < nFrames; ++i)
      outputs[c][i] = inputs[c][i] * gain;
}

ComponentResult TestInstrument_Entry(ComponentParameters* params, void* storage)
{
  return IPlugAU::IPlugAUEntry(params, storage, makeTestInstrument);
}

ComponentResult TestEffect_Entry(ComponentParameters* params, void* storage)
{
  return IPlugAU::IPlugAUEntry(params, storage, makeTestEffect);
}

Component TestInstrumentComponent()
{
  static Component component =
      RegisterComponent({kAudioUnitType_MusicDevice, TestInstrument::kUniqueID, TestInstrument::kMfrID, 0, 0},
                        "Tester: TestInstrument", TestInstrument_Entry, kBundleID, "/tmp");
  return component;
}

Component TestEffectComponent()
{
  static Component component = RegisterComponent({MakeFourCharCode("aufx"), 0x54737432, TestInstrument::kMfrID, 0, 0},
                                                 "Tester: TestEffect", TestEffect_Entry, kBundleID, "/tmp");
  return component;
}
