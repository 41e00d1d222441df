#pragma once
// The host's musical position from the time extension's position objects,
// carried forward between them by the frames rendered, in the form the host
// model's transport procedures report. Audio thread; no allocation.

#include "HostModel.h"
#include "Lv2Urids.h"

#include <lv2/atom/atom.h>

class Lv2Transport
{
public:
  explicit Lv2Transport(double sampleRate) : mSampleRate(sampleRate) {}

  // Takes the fields a position object carries; the others keep their values.
  void Apply(const LV2_Atom_Object& position, const Lv2Urids& urids);
  // Moves the position on by `frames` at the current tempo and speed.
  void Advance(uint32_t frames);
  HostTransport Current() const;
  double SampleRate() const { return mSampleRate; }

private:
  double beatsPerFrame() const; // in the position's beat unit

  double mSampleRate;
  double mTempo = 120.0;
  double mSpeed = 0.0;
  double mFrame = 0.0;
  double mBar = 0.0;
  double mBarBeat = 0.0;
  double mBeatsPerBar = 4.0;
  double mBeatUnit = 4.0;
};
