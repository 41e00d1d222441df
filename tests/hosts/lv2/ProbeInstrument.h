#pragma once
// The test instrument made to show on its outputs what reached it, so a test
// can compare an LV2 host's audio with the host model's: the left channel is
// level × (held note + 1) / 128 from the frame each note event lands on (0
// when no key is held); the right channel's first frames carry the transport
// at the start of the block (tempo, beat, numerator, denominator, playing),
// the rest is zero. Fixed storage only.

#include "TestPlugins.h"

#include <array>

class ProbeInstrument : public TestInstrument
{
public:
  static constexpr int kMaxMidi = 256;
  enum ETransportFrame
  {
    kTempoFrame = 0,
    kBeatFrame,
    kNumeratorFrame,
    kDenominatorFrame,
    kPlayingFrame,
    kNTransportFrames
  };

  explicit ProbeInstrument(IPlugInstanceInfo info) : TestInstrument(info) {}

  void ProcessMidiMsg(IMidiMsg* pMsg) override;
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;

private:
  void play(const IMidiMsg& msg);

  std::array<IMidiMsg, kMaxMidi> mPending{};
  int mNPending = 0;
  int mNote = -1;
};

// Registers the probe once per process with its resources in resourcePath.
Component RegisterProbeInstrument(const char* resourcePath);
