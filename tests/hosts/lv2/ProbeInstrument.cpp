#include "ProbeInstrument.h"

#include <algorithm>

namespace
{
constexpr double kNoteScale = 128.0;

ComponentResult probeEntry(ComponentParameters* params, void* storage)
{
  return IPlugAU::IPlugAUEntry(params, storage, []() -> IPlugAU* { return new ProbeInstrument(TestInstanceInfo()); });
}
} // namespace

void ProbeInstrument::ProcessMidiMsg(IMidiMsg* pMsg)
{
  if (mNPending < kMaxMidi) mPending[mNPending++] = *pMsg;
}

void ProbeInstrument::play(const IMidiMsg& msg)
{
  const int status = msg.mStatus & 0xF0;
  if (status == 0x90 && msg.mData2 > 0)
    mNote = msg.mData1;
  else if ((status == 0x80 || status == 0x90) && msg.mData1 == mNote)
    mNote = -1;
}

void ProbeInstrument::ProcessDoubleReplacing(double**, double** outputs, int nFrames)
{
  // The adapter delivers in arrival order; a stable sort keeps that within a frame.
  std::stable_sort(mPending.begin(), mPending.begin() + mNPending,
                   [](const IMidiMsg& a, const IMidiMsg& b) { return a.mOffset < b.mOffset; });
  const double level = GetParam(kLevel)->Value();
  int next = 0;
  for (int i = 0; i < nFrames; ++i)
  {
    for (; next < mNPending && mPending[next].mOffset <= i; ++next)
      play(mPending[next]);
    outputs[0][i] = level * (mNote + 1) / kNoteScale;
    outputs[1][i] = 0.0;
  }
  for (; next < mNPending; ++next)
    play(mPending[next]);
  mNPending = 0;

  ITimeInfo time;
  GetTime(&time);
  const double transport[kNTransportFrames] = {time.mTempo, time.mPPQPos, double(time.mNumerator),
                                               double(time.mDenominator), time.mTransportIsRunning ? 1.0 : 0.0};
  std::copy(transport, transport + std::min<int>(kNTransportFrames, nFrames), outputs[1]);
}

Component RegisterProbeInstrument(const char* resourcePath)
{
  static const Component component =
      RegisterComponent({kAudioUnitType_MusicDevice, 0x50726f62, uint32_t(TestInstrument::kMfrID), 0, 0},
                        "Tester: Probe Instrument", probeEntry, "com.example.audiounit.Probe", resourcePath);
  return component;
}
