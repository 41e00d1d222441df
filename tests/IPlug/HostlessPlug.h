#pragma once
// A plug-in frame with no host adapter behind it: the calls a host would
// answer go nowhere, so a test overrides only those it records.

#include "IPlugBase.h"

class HostlessPlug : public IPlugBase
{
public:
  using IPlugBase::IPlugBase;

  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int, double) override {}
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}
  double GetSamplePos() override { return 0.0; }
  double GetTempo() override { return 120.0; }
  void GetTimeSig(int*, int*) override {}
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) override { return true; }
};
