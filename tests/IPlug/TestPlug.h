#pragma once
// A plug-in frame with the host side recorded instead of supplied by an adapter.

#include "HostlessPlug.h"

#include <utility>
#include <vector>

class TestPlug : public HostlessPlug
{
public:
  explicit TestPlug(int nParams = 4, const char* channelIO = "1-2", int nPresets = 8, const char* effectName = "Effect",
                    bool doesChunks = true)
      : HostlessPlug(nParams, channelIO, nPresets, effectName, "Product", "Maker", 0x00020301, 0x54737279, 0x5065576f,
                     0, true, doesChunks, true, kAPIAU)
  {
  }

  void OnParamChange(int paramIdx) override { mChanged.push_back(paramIdx); }
  void PresetsChangedByHost() override { ++mPresetsChanged; }

  void InformHostOfParamChange(int paramIdx, double normalizedValue) override
  {
    mInformed.push_back({paramIdx, normalizedValue});
  }

  // Every parameter's value, in parameter order.
  std::vector<double> values() const
  {
    std::vector<double> result;
    for (int i = 0; i < NParams(); ++i)
      result.push_back(GetParam(i)->Value());
    return result;
  }

  std::vector<int> mChanged;
  std::vector<std::pair<int, double>> mInformed; // parameter, normalised value
  int mPresetsChanged = 0;
};
