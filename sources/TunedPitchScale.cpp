#include "TunedPitchScale.h"

#include "libMTSClient.h"

namespace
{
// The middle of the pitch range; halving steps from here reach 4..17276.
constexpr int kSearchStart = 8640;
// The instrument ignores MIDI channels, so it asks the master's
// single-channel tuning.
constexpr char kNoChannel = -1;
} // namespace

int pitchIndexForFrequency(double hz)
{
  int pitch = kSearchStart;
  for (int step = kSearchStart / 2; step > 0; step /= 2)
  {
    const double candidate = PitchScale::convert2Hz(pitch);
    if (candidate > hz)
      pitch -= step;
    else if (candidate < hz)
      pitch += step;
    else
      break;
  }
  return pitch;
}

TunedPitchScale::TunedPitchScale() : mMTSClient(MTS_RegisterClient()) {}

TunedPitchScale::TunedPitchScale(const mtsclientglobal& library) : mMTSClient(MTS_RegisterClientWith(library)) {}

TunedPitchScale::~TunedPitchScale()
{
  MTS_DeregisterClient(mMTSClient);
}

int TunedPitchScale::getFrequency(int note)
{
  if (!MTS_HasMaster(mMTSClient)) return PitchScale::getFrequency(note);
  return pitchIndexForFrequency(MTS_NoteToFrequency(mMTSClient, static_cast<char>(note), kNoChannel));
}

bool TunedPitchScale::noteShouldBeSkipped(int note)
{
  return MTS_HasMaster(mMTSClient) && MTS_ShouldFilterNote(mMTSClient, static_cast<char>(note), kNoChannel);
}
