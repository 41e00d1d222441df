#pragma once
// The instrument the state and file fuzz targets load into. Its configuration
// lives in a private temporary folder, never in the user's.

#include "tessaryn.h"

#include <cstdlib>
#include <cstring>
#include <string>

class FuzzTessaryn : public Tessaryn
{
public:
  FuzzTessaryn() : Tessaryn(IPlugInstanceInfo{}) {}

  // Call once from LLVMFuzzerInitialize, before the first instance.
  static void useTemporaryConfigHome()
  {
    static std::string home = "/tmp/tessaryn-fuzz-XXXXXX";
    if (!mkdtemp(home.data())) abort();
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
  }

  // The first input byte chooses which version's data the rest is read as.
  void takeDataVersion(uint8_t selector) { mDataVersion = selector & 1 ? 20104 : kDataVersion; }
  void endDataVersion() { mDataVersion = kDataVersion; }

  // Whatever the input, every value stays in its parameter's range, every
  // name ends within its buffer, the current program exists and the data
  // version is the current one again; then every program still restores.
  void requireSaneProgramsAndState()
  {
    requireSaneState();
    for (int i = 0; i < NPresets(); ++i)
    {
      RestorePreset(i);
      requireSaneState();
    }
  }

private:
  void requireSaneState() const
  {
    for (int i = 0; i < NParams(); ++i)
    {
      const IParam* pParam = GetParam(i);
      const double value = pParam->Value();
      if (!(value >= pParam->GetMin() && value <= pParam->GetMax())) abort();
    }
    for (int i = 0; i < NPresets(); ++i)
      if (strnlen(GetPresetName(i), IPreset::kNameSize) >= static_cast<size_t>(IPreset::kNameSize)) abort();
    if (GetCurrentPresetIdx() < 0 || GetCurrentPresetIdx() >= NPresets() || mDataVersion != kDataVersion) abort();
  }
};
