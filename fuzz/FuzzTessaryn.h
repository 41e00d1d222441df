#pragma once
// The instrument the state and file fuzz targets load into. Its configuration
// lives in a private temporary folder, never in the user's.

#include "SaneState.h"
#include "tessaryn.h"

#include <cstdlib>
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

  // Sane, with the data version back at the current one, before and after
  // selecting every program.
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
    requireSaneParamsAndPrograms(*this);
    if (mDataVersion != kDataVersion) abort();
  }
};
