#pragma once
// Low-frequency modulation generator: a 4096-step cycle advanced once per
// control tick, read as triangle, falling or rising sawtooth, or square.
//
// Threads: update() runs on the audio thread; restart and the setters run under
// the plug-in mutex. All are real-time safe: no allocation, no locks, no I/O.

class MG
{
public:
  enum WaveForm : int
  {
    kTriangle = 0,
    kSawDown,
    kSawUp,
    kSquare
  };

  static constexpr double kCycle = 4096.0;
  // Phase advance per update at rate 1: 0.03 cycles, 30 Hz at 1000 ticks a second.
  static constexpr double kMaxIncrement = 122.88;

  // Back to the start of the cycle; wave and rate stay.
  void restart();
  void update();

  // A number outside the four waves holds the outputs where they are.
  void setWaveForm(int waveForm) { mWaveForm = waveForm; }
  // Rates outside 0..1 (and NaN) are pulled into range, so the phase can never
  // run backwards or take more than one wrap per update.
  void setRate(double rate);

  double bipolar() const { return mBipolar; }
  // A stable reference: oscillators keep its address as a modulation source.
  const double& unipolar() const { return mUnipolar; }
  // Whether the phase was in the first half of the cycle before the last update.
  bool firstHalf() const { return mFirstHalf; }
  double phase() const { return mPhase; }

private:
  void setOutputs();

  double mBipolar = 0.0;
  double mUnipolar = 0.0;
  bool mFirstHalf = true;
  int mWaveForm = kTriangle;
  double mPhase = 0.0;
  double mPhaseInc = 0.0;
};
