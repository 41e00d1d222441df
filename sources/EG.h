#pragma once
// Exponential ADSR envelope. Each stage chases a target beyond the level it
// should reach (10/9 for the attack, -1/9 for the release), so the curve keeps
// its analogue shape and still arrives at exactly 1 or 0 in finite time.
//
// Threads: update() runs on the audio thread; start/stop/reset and the setters
// run under the plug-in mutex from note handling and parameter changes. All of
// them are real-time safe: no allocation, no locks, no I/O.

class EG
{
public:
  enum Stage : int
  {
    kIdle = 0,
    kAttack,
    kDecay, // decays towards the sustain level and stays there
    kRelease
  };

  // Goes idle at level 0; the time scale follows the rate update() is called at.
  void reset(double updatesPerSecond);
  // Retriggers from the present level rather than from 0.
  void start();
  void stop();
  void update();

  bool isOn() const { return mStage != kIdle; }
  Stage stage() const { return mStage; }
  // A stable reference: oscillators keep its address as a modulation source.
  const double& value() const { return mValue; }

  void setAttack(double attack);
  void setDecay(double decay);
  void setSustain(double sustain);
  void setRelease(double release);

private:
  double timeCoefficient(double setting) const;
  void enter(Stage stage, double target, double setting);

  double mValue = 0.0;
  double mAttack = 0.0;
  double mDecay = 0.0;
  double mSustain = 0.0;
  double mRelease = 0.0;
  Stage mStage = kIdle;
  double mTimeScale = 0.002302585092994046; // ln(10) per 1000 updates a second
  double mTarget = 0.0;
  double mCoeff = 0.0;
};
