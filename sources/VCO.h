#pragma once
// One oscillator of the instrument: band-limited table playback with a 28-bit
// fixed-point phase, portamento, per-tick pitch modulation, pulse waves made
// from two phase-shifted sawtooth reads, and hard sync. The instrument owns
// four by value and sets the public fields it controls directly.

#include "PitchScale.h"

#include <cstdint>

class VCO
{
public:
  enum WaveForm
  {
    kTriangle = 0,
    kSawtooth = 1,
    kPwm = 2,
    kPw = 3
  };

  static constexpr uint32_t kPhaseMask = 0x0FFFFFFF;
  static constexpr double kDefaultSampleRate = 44100.0;
  static constexpr int kInitialNote = 30;

  // Instrument thread. The first construction in the process builds the
  // shared wave tables.
  VCO();

  // Instrument thread (Reset), never during render: may build a table.
  // A rate that is not finite and positive is ignored.
  void setSampleRate(double rate);

  // Audio thread (note handling) or instrument thread under the plug-in mutex.
  void setNote(int note, int offset);
  void setTranspose(int selection);
  void setOctave(int selection);
  void setTuning(int steps);

  // Audio thread, once per control tick: glide, modulation (pitch-index steps),
  // increment, second phase and band limit.
  void update(double mod);

  // Audio thread, per sample: read, then advance.
  double out() const { return read(table); }
  double outBL() const { return read(tableBL); }
  void next();
  bool nextAndSyncOut();
  // Hard-sync restart; fraction is the master's post-wrap phase over its pitch.
  void restart(double fraction);

  PitchScale* synth = nullptr; // null keeps the oscillator inactive and silent
  double portamento = 0.0;     // seconds
  int waveForm = kTriangle;
  int transpose = 0; // semitones
  int octave = 0;    // semitones
  int tuning = 0;    // pitch-index steps
  double pulseWidth = 0.5;
  double pwmAmount = 0.0;
  const double* pwmSource = nullptr; // null reads as 0
  int note = kInitialNote;
  int noteOffset = 0;
  int currentPitch = kInitialNote * PitchScale::kStepsPerSemitone;
  int targetPitch = currentPitch;
  int pitch = currentPitch;
  int pitchOffset = 0;
  double glidePos = 0.0; // 1 at the start of a glide, 0 when done
  double glideStep = 0.0;
  double glideRange = 0.0;
  const double* table = nullptr;
  const double* tableBL = nullptr; // one step more band-limited than table
  uint32_t phase = 0;
  uint32_t phase2 = 0;
  uint32_t phaseInc = 0;
  double sampleRate;
  const uint32_t* freq2PhInc; // this oscillator's rate; shared and immutable

private:
  double read(const double* wave) const;
  void advanceGlide();
  int modulatedPitch(double mod) const;
  uint32_t secondPhase() const;
  void selectTables();
};
