#include "Lv2Transport.h"

#include <lv2/atom/util.h>

#include <cmath>

namespace
{
// Hosts send the numeric fields with whichever atom type they like.
bool readNumber(const LV2_Atom* atom, const Lv2Urids& urids, double& out)
{
  if (!atom) return false;
  const LV2_URID type = atom->type;
  if (type == urids.mAtomFloat)
    out = reinterpret_cast<const LV2_Atom_Float*>(atom)->body;
  else if (type == urids.mAtomDouble)
    out = reinterpret_cast<const LV2_Atom_Double*>(atom)->body;
  else if (type == urids.mAtomInt)
    out = reinterpret_cast<const LV2_Atom_Int*>(atom)->body;
  else if (type == urids.mAtomLong)
    out = double(reinterpret_cast<const LV2_Atom_Long*>(atom)->body);
  else
    return false;
  return true;
}
} // namespace

void Lv2Transport::Apply(const LV2_Atom_Object& position, const Lv2Urids& urids)
{
  const LV2_Atom *bar = nullptr, *barBeat = nullptr, *beatUnit = nullptr, *beatsPerBar = nullptr, *tempo = nullptr,
                 *frame = nullptr, *speed = nullptr;
  lv2_atom_object_get(&position, urids.mTimeBar, &bar, urids.mTimeBarBeat, &barBeat, urids.mTimeBeatUnit, &beatUnit,
                      urids.mTimeBeatsPerBar, &beatsPerBar, urids.mTimeBeatsPerMinute, &tempo, urids.mTimeFrame, &frame,
                      urids.mTimeSpeed, &speed, 0);
  readNumber(bar, urids, mBar);
  readNumber(barBeat, urids, mBarBeat);
  readNumber(frame, urids, mFrame);
  readNumber(speed, urids, mSpeed);
  double value = 0.0;
  // Zero or negative metres and tempi would divide by zero further on.
  if (readNumber(beatUnit, urids, value) && value > 0.0) mBeatUnit = value;
  if (readNumber(beatsPerBar, urids, value) && value > 0.0) mBeatsPerBar = value;
  if (readNumber(tempo, urids, value) && value > 0.0) mTempo = value;
}

double Lv2Transport::beatsPerFrame() const
{
  return mTempo / 60.0 / mSampleRate;
}

void Lv2Transport::Advance(uint32_t frames)
{
  mFrame += frames * mSpeed;
  mBarBeat += frames * mSpeed * beatsPerFrame();
  const double bars = std::floor(mBarBeat / mBeatsPerBar);
  mBar += bars;
  mBarBeat -= bars * mBeatsPerBar;
}

HostTransport Lv2Transport::Current() const
{
  // The host model counts in quarter notes; the time extension in beat units.
  const double quarters = 4.0 / mBeatUnit;
  const double barStart = mBar * mBeatsPerBar;
  HostTransport transport;
  transport.mTempo = mTempo;
  transport.mBeat = (barStart + mBarBeat) * quarters;
  transport.mDownBeat = barStart * quarters;
  transport.mSamplePosition = mFrame;
  transport.mPlaying = mSpeed != 0.0;
  transport.mNumerator = float(mBeatsPerBar);
  transport.mDenominator = uint32_t(mBeatUnit);
  const double toNextBeat = std::ceil(mBarBeat) - mBarBeat;
  transport.mSamplesToNextBeat = uint32_t(toNextBeat / beatsPerFrame());
  return transport;
}
