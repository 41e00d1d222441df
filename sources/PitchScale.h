#pragma once
// The engine's one pitch unit and its conversion to Hz. A pitch index counts
// 1/128 semitone: index n * 128 is MIDI note n, and 0..17280 is the range the
// tables cover. The instrument shell derives from this class so that a
// microtuning client can replace the note-to-pitch mapping.

class PitchScale
{
public:
  static constexpr int kStepsPerSemitone = 128;
  static constexpr int kMaxPitch = 17280;

  virtual ~PitchScale() = default;

  // Any thread; pure, allocates nothing.
  static double convert2Hz(int pitch);

  // Audio thread, during note handling. Returns a pitch index (not Hz) for a
  // MIDI note; equal temperament here.
  virtual int getFrequency(int note);
};
