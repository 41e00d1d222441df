#pragma once
// A test instrument whose output shows when each MIDI event took effect: every
// frame carries Level × (sum of held velocities) / 127, applied at the event's
// own offset, so the output does not depend on how the host slices blocks. It
// records the transport of each render call and the files handed to it.

#include "ComponentManager.h"
#include "IMidiMsg.h"
#include "IPlugAU.h"

#include <string>
#include <vector>

class StepInstrument : public IPlugAU
{
public:
  enum EParam
  {
    kLevel = 0, // double 0..1
    kShape,     // list: "flat", "negated"
    kNParams
  };

  StepInstrument();

  void ProcessMidiMsg(IMidiMsg* pMsg) override { mPending.push_back(*pMsg); }
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;
  ComponentResult LoadFileFromHost(EHostFileKind kind, const char* path) override;

  static std::vector<ITimeInfo> sTransports; // of every instance, render call by render call
  static std::vector<std::string> sLoadedFiles;

private:
  void apply(const IMidiMsg& message);

  std::vector<IMidiMsg> mPending;
  int mHeldVelocity[128] = {};
  int mVelocitySum = 0;
};

// Registered once; files named "*.bad" are refused as another plug-in's.
Component StepInstrumentComponent();
