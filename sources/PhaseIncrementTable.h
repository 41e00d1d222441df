#pragma once
// Phase increment per sample for every pitch index, one immutable table per
// sample rate. Oscillators at different rates in one process each hold the
// table of their own rate, so one instance's rate change never retunes another.

#include <cstdint>

class PhaseIncrementTable
{
public:
  // Phases are 28-bit fractions of a cycle.
  static constexpr double kPhaseScale = 268435456.0; // 2^28

  // Not for the audio thread; the rate must be usable. The first request for a rate takes a lock and
  // builds the table. The table then lives as long as the process, so the
  // pointer stays valid; it holds PitchScale::kMaxPitch + 1 entries.
  static const uint32_t* forSampleRate(double rate);

  // Whether a rate yields a usable table (finite and positive).
  static bool isUsableRate(double rate);
};
