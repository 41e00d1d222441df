#include "VCO.h"

#include "PhaseIncrementTable.h"
#include "WaveTables.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double kHalfCycle = 134217728.0; // 2^27
constexpr double kControlTicksPerSecond = 1000.0;
constexpr int kTableStepShift = 16;
constexpr double kHalfOctaveDown = 0.7071067811865476;

// Truncates a phase computed in floating point and wraps it to 28 bits, as
// two's complement would; also defined for negative and huge values.
uint32_t wrapPhase(double value)
{
  if (!std::isfinite(value)) return 0;
  const auto whole = static_cast<int64_t>(std::fmod(value, PhaseIncrementTable::kPhaseScale));
  return static_cast<uint32_t>(whole) & VCO::kPhaseMask;
}

// Each table holds half an octave fewer harmonics than the one before, so the
// band limit follows from the number of table samples skipped per output
// sample: every doubling of that stride moves two tables on. The constant is
// the double just above sqrt(2)/2, which puts exact powers of two one table
// further; the tables were voiced with that choice.
int tableForStride(uint32_t stride)
{
  int t = 0;
  for (double x = stride; x > 1.0 && t < WaveTables::kNumTables - 1; x *= kHalfOctaveDown)
    ++t;
  return t;
}

int semitonesForOctave(int selection)
{
  constexpr int kOctaves[] = {-12, 0, 12, 24};
  return selection >= 0 && selection < 4 ? kOctaves[selection] : 0;
}

int semitonesForTranspose(int selection)
{
  if (selection == 0) return 12;
  if (selection == 2) return -12;
  return 0;
}
} // namespace

VCO::VCO() : sampleRate(kDefaultSampleRate), freq2PhInc(PhaseIncrementTable::forSampleRate(kDefaultSampleRate))
{
  WaveTables::shared();
}

void VCO::setSampleRate(double rate)
{
  if (rate == sampleRate || !PhaseIncrementTable::isUsableRate(rate)) return;
  sampleRate = rate;
  freq2PhInc = PhaseIncrementTable::forSampleRate(rate);
}

void VCO::setNote(int newNote, int offset)
{
  if (!synth) return;
  note = newNote;
  noteOffset = offset;
  targetPitch = synth->getFrequency(newNote) + (offset + transpose) * PitchScale::kStepsPerSemitone;
  if (portamento > 0.0)
  {
    glideRange = static_cast<double>(targetPitch) - currentPitch;
    glidePos = 1.0;
    glideStep = 1.0 / portamento / kControlTicksPerSecond;
  }
  else
  {
    glideRange = glideStep = glidePos = 0.0;
    currentPitch = targetPitch;
  }
}

void VCO::setTranspose(int selection)
{
  transpose = semitonesForTranspose(selection);
  setNote(note, noteOffset);
}

void VCO::setOctave(int selection)
{
  octave = semitonesForOctave(selection);
  pitchOffset = octave * PitchScale::kStepsPerSemitone + tuning;
}

void VCO::setTuning(int steps)
{
  tuning = steps;
  pitchOffset = octave * PitchScale::kStepsPerSemitone + tuning;
}

void VCO::update(double mod)
{
  if (!synth) return;
  advanceGlide();
  pitch = modulatedPitch(mod);
  phaseInc = freq2PhInc[std::clamp(pitch, 0, PitchScale::kMaxPitch)];
  phase2 = secondPhase();
  selectTables();
}

// The pitch follows target - range * pos^2 with pos falling linearly: a
// quadratic ease-out, quick at first and settling gently on the target. It is
// taken from the curve itself rather than summed per tick, so truncating the
// integer pitch cannot stall an upward glide or overshoot a downward one.
void VCO::advanceGlide()
{
  if (glidePos <= 0.0) return;
  glidePos -= glideStep;
  if (glidePos <= 0.0)
    currentPitch = targetPitch;
  else
    currentPitch = static_cast<int>(targetPitch - glidePos * glidePos * glideRange);
}

int VCO::modulatedPitch(double mod) const
{
  // Far beyond the table ends either way, and safe to convert.
  constexpr double kLimit = 1 << 30;
  const double wanted = (currentPitch + pitchOffset) + (std::isfinite(mod) ? mod : 0.0);
  return static_cast<int>(std::clamp(wanted, -kLimit, kLimit));
}

uint32_t VCO::secondPhase() const
{
  if (waveForm == kPwm)
  {
    const double m = pwmAmount * (pwmSource ? *pwmSource : 0.0);
    // Outside 0..1 the two reads coincide and the pulse falls silent.
    if (m >= 0.0 && m <= 1.0) return wrapPhase((1.0 - m) * kHalfCycle + phase);
    return phase;
  }
  if (waveForm == kPw) return wrapPhase(pulseWidth * PhaseIncrementTable::kPhaseScale + phase);
  return phase;
}

void VCO::selectTables()
{
  const int t = tableForStride(phaseInc >> kTableStepShift);
  const auto set = waveForm == kTriangle ? WaveTables::kTriangleSet : WaveTables::kSawtoothSet;
  const WaveTables& waves = WaveTables::shared();
  table = waves.get(set, t);
  tableBL = waves.get(set, std::min(t + 1, WaveTables::kNumTables - 1));
}

double VCO::read(const double* wave) const
{
  if (!wave || !synth) return 0.0;
  const double v = wave[phase >> kTableStepShift];
  if (waveForm == kPwm || waveForm == kPw) return v - wave[phase2 >> kTableStepShift];
  return v;
}

void VCO::next()
{
  phase2 = (phase2 + phaseInc) & kPhaseMask;
  phase = (phase + phaseInc) & kPhaseMask;
}

bool VCO::nextAndSyncOut()
{
  const bool wrapped = static_cast<uint64_t>(phase) + phaseInc > kPhaseMask;
  next();
  return wrapped;
}

void VCO::restart(double fraction)
{
  const uint32_t distance = phase2 - phase;
  phase = wrapPhase(pitch * fraction);
  phase2 = (phase + distance) & kPhaseMask;
}
