#pragma once
// A plug-in frame with the host side recorded instead of supplied by an adapter.

#include "IPlugBase.h"

#include <string>
#include <vector>

class TestPlug : public IPlugBase
{
public:
  explicit TestPlug(int nParams = 4, const char* channelIO = "1-2", int nPresets = 8, const char* effectName = "Effect",
                    bool doesChunks = true)
      : IPlugBase(nParams, channelIO, nPresets, effectName, "Product", "Maker", 0x00020301, 0x54737279, 0x5065576f, 0,
                  true, doesChunks, true, kAPIAU)
  {
  }

  void OnParamChange(int paramIdx) override { mChanged.push_back(paramIdx); }
  void PresetsChangedByHost() override { ++mPresetsChanged; }

  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int paramIdx, double normalizedValue) override
  {
    mInformed.push_back({paramIdx, normalizedValue});
  }
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}
  double GetSamplePos() override { return 0.0; }
  double GetTempo() override { return 120.0; }
  void GetTimeSig(int*, int*) override {}
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) override { return true; }

  struct Informed
  {
    int idx;
    double normalized;
  };

  std::vector<int> mChanged;
  std::vector<Informed> mInformed;
  int mPresetsChanged = 0;
};
