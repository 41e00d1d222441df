#include "TunedPitchScale.h"

#include "libMTSClient.h"

namespace
{
// The middle of the pitch range; halving steps from here reach 4..17276.
constexpr int kSearchStart = 8640;
// The instrument ignores MIDI channels, so it asks the master's
// single-channel tuning.
constexpr char kNoChannel = -1;
constexpr int kNumNotes = 128;
constexpr int kSemitonesPerOctave = 12;

// Octaves to move a note by to bring it into the master's 128 notes.
int octavesOutside(int note)
{
  if (note >= kNumNotes) return (note - kNumNotes) / kSemitonesPerOctave + 1;
  if (note < 0) return -((-note - 1) / kSemitonesPerOctave + 1);
  return 0;
}
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
  // The master tunes only MIDI's notes; the arpeggiator's octaves above them
  // repeat the tuning of the notes an octave or more down.
  const int octaves = octavesOutside(note);
  const int tuned = note - octaves * kSemitonesPerOctave;
  return pitchIndexForFrequency(MTS_NoteToFrequency(mMTSClient, static_cast<char>(tuned), kNoChannel)) +
         octaves * kSemitonesPerOctave * kStepsPerSemitone;
}

bool TunedPitchScale::noteShouldBeSkipped(int note)
{
  return MTS_HasMaster(mMTSClient) && MTS_ShouldFilterNote(mMTSClient, static_cast<char>(note), kNoChannel);
}
