#pragma once
// The pitch scale as the instrument plays it: equal temperament, or the
// tuning an MTS-ESP master publishes while one is running. The shell derives
// from this class, so each plug-in instance registers one tuning client for
// its lifetime.

#include "PitchScale.h"

class MTSClient;
class mtsclientglobal;

// The pitch index for a frequency in Hz: a binary search with halving steps
// from the middle of the range, comparing with the interpolated table of
// convert2Hz, so the result always lies within 4..17276. Real-time safe.
int pitchIndexForFrequency(double hz);

class TunedPitchScale : public PitchScale
{
public:
  // Creating thread; allocates. Registers with the process-wide tuning library.
  TunedPitchScale();
  // Registers with another loader (tests).
  explicit TunedPitchScale(const mtsclientglobal& library);
  ~TunedPitchScale() override;
  TunedPitchScale(const TunedPitchScale&) = delete;
  TunedPitchScale& operator=(const TunedPitchScale&) = delete;

  // Audio thread, during note handling: no allocation, no lock.
  int getFrequency(int note) override;
  // Audio thread: true when the master wants this note left unplayed.
  bool noteShouldBeSkipped(int note);

protected:
  MTSClient* mMTSClient;
};
