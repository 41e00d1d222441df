#pragma once
// Band-limited single-cycle waves shared by every oscillator in the process.
// Table t of a set carries fewer harmonics than table t - 1 (a factor of
// about 1/sqrt(2), half an octave), so an oscillator can pick the richest
// table whose top harmonic stays below Nyquist at its pitch.

class WaveTables
{
public:
  static constexpr int kTableSize = 4096;
  static constexpr int kNumTables = 22;
  enum WaveSet
  {
    kSawtoothSet = 0,
    kTriangleSet = 1,
    kNumSets
  };

  // Any thread. Built on first use (about 1.4 MB); two threads asking at once
  // both wait for the one build. Read-only afterwards.
  static const WaveTables& shared();

  static int harmonicCount(int table);

  // Builds every table; costs milliseconds, so never call it on the audio thread.
  WaveTables();

  const double* get(WaveSet set, int table) const { return wave[set][table]; }

private:
  void buildSet(WaveSet set);

  double wave[kNumSets][kNumTables][kTableSize];
};
