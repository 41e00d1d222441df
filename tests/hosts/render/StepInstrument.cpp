#include "StepInstrument.h"

#include "ComponentManager.h"

std::vector<ITimeInfo> StepInstrument::sTransports;
std::vector<std::string> StepInstrument::sLoadedFiles;

namespace
{
constexpr int kUniqueID = 0x53746570; // 'Step'
constexpr int kMfrID = 0x54657374;    // 'Test'
constexpr double kMaxVelocity = 127.0;

ComponentResult stepEntry(ComponentParameters* params, void* storage)
{
  return IPlugAU::IPlugAUEntry(params, storage, [] { return static_cast<IPlugAU*>(new StepInstrument()); });
}
} // namespace

StepInstrument::StepInstrument()
    : IPlugAU({}, kNParams, "0-2", 2, "StepInstrument", "", "Tester", 0x00010000, kUniqueID, kMfrID, 0, true, true,
              true, 0)
{
  GetParam(kLevel)->InitDouble("Level", 1.0, 0.0, 1.0, 0.01);
  GetParam(kShape)->InitEnum("Shape", 0, 2);
  GetParam(kShape)->SetDisplayText(0, "flat");
  GetParam(kShape)->SetDisplayText(1, "negated");
  MakeDefaultPreset("Full");
  GetParam(kLevel)->Set(0.5);
  MakeDefaultPreset("Half Level");
  GetParam(kLevel)->Set(1.0);
}

void StepInstrument::apply(const IMidiMsg& message)
{
  const int kind = message.mStatus & 0xF0;
  const int note = message.mData1 & 0x7F;
  const int velocity = kind == 0x90 ? message.mData2 : 0;
  if (kind != 0x80 && kind != 0x90) return;
  mVelocitySum += velocity - mHeldVelocity[note];
  mHeldVelocity[note] = velocity;
}

void StepInstrument::ProcessDoubleReplacing(double**, double** outputs, int nFrames)
{
  ITimeInfo time;
  GetTime(&time);
  sTransports.push_back(time);
  std::stable_sort(mPending.begin(), mPending.end(),
                   [](const IMidiMsg& a, const IMidiMsg& b) { return a.mOffset < b.mOffset; });
  const double sign = GetParam(kShape)->Int() ? -1.0 : 1.0;
  size_t next = 0;
  for (int i = 0; i < nFrames; ++i)
  {
    for (; next < mPending.size() && mPending[next].mOffset <= i; ++next)
      apply(mPending[next]);
    const double value = sign * GetParam(kLevel)->Value() * mVelocitySum / kMaxVelocity;
    outputs[0][i] = value;
    outputs[1][i] = value;
  }
  mPending.clear();
}

ComponentResult StepInstrument::LoadFileFromHost(EHostFileKind kind, const char* path)
{
  sLoadedFiles.push_back((kind == kHostBankFile ? "bank:" : "program:") + std::string(path));
  return std::string(path).ends_with(".bad") ? kAudioUnitErr_InvalidPropertyValue : noErr;
}

Component StepInstrumentComponent()
{
  static const Component component =
      RegisterComponent({kAudioUnitType_MusicDevice, uint32_t(kUniqueID), uint32_t(kMfrID), 0, 0},
                        "Tester: StepInstrument", stepEntry, "com.example.audiounit.Step", "/tmp");
  return component;
}
