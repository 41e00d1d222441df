#pragma once
// Drives a Tessaryn directly: MIDI in through the shell, render through
// ProcessDoubleReplacing, and a view of the instrument's own fields.

#include "IMidiMsg.h"
#include "tessaryn.h"

#include <initializer_list>
#include <utility>
#include <vector>

class TessarynProbe : public Tessaryn
{
public:
  TessarynProbe() : Tessaryn(IPlugInstanceInfo{}) {}
  // A host's transport, standing still at the tempo set here.
  void GetTime(ITimeInfo* info) override
  {
    *info = ITimeInfo{};
    info->mTempo = mHostTempo;
  }
  double mHostTempo = 120.0;

  using Tessaryn::eg2;
  using Tessaryn::freq2rad;
  using Tessaryn::gate;
  using Tessaryn::hold;
  using Tessaryn::lastMG2Half;
  using Tessaryn::lastVco;
  using Tessaryn::mDataVersion;
  using Tessaryn::mMidiControlParam;
  using Tessaryn::mNumHeldKeys;
  using Tessaryn::mNumPressedKeys;
  using Tessaryn::mStartupBankPath;
  using Tessaryn::mUpdateInterval;
  using Tessaryn::next;
  using Tessaryn::pitchMod;
  using Tessaryn::vco;
  using Tessaryn::vcoKey;
  using Tessaryn::vcoNote;
  using Tessaryn::vcoOn;
};

struct Stereo
{
  std::vector<double> left, right;
};

class TessarynRig
{
public:
  explicit TessarynRig(double rate = 48000.0, int blockSize = 256)
  {
    synth.SetBlockSize(blockSize);
    synth.SetSampleRate(rate); // resets
    synth.OnParamReset();
  }

  // Sets a parameter by its own value, as the editor would.
  void set(int param, double value) { synth.SetParameterFromGUI(param, synth.GetParam(param)->GetNormalized(value)); }
  void set(std::initializer_list<std::pair<int, double>> settings)
  {
    for (auto [param, value] : settings)
      set(param, value);
  }

  void noteOn(int note, int velocity = 127, int offset = 0) { message(0x90, note, velocity, offset); }
  void noteOff(int note, int offset = 0) { message(0x80, note, 0, offset); }
  void message(uint8_t status, uint8_t data1, uint8_t data2, int offset = 0)
  {
    IMidiMsg msg(offset, status, data1, data2);
    synth.ProcessMidiMsg(&msg);
  }

  Stereo render(int nFrames)
  {
    Stereo out{std::vector<double>(nFrames), std::vector<double>(nFrames)};
    double* outputs[2] = {out.left.data(), out.right.data()};
    synth.ProcessDoubleReplacing(nullptr, outputs, nFrames);
    return out;
  }
  // Renders whole control ticks, so that MIDI sent before takes effect.
  Stereo ticks(int count = 1) { return render(count * synth.mUpdateInterval); }

  TessarynProbe synth;
};
