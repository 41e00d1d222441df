#pragma once
// What every loader must leave behind, whatever its input: every value in its
// parameter's range, every program name ending within its buffer and a
// current program that exists. Aborts otherwise, which the fuzzer reports.

#include "IPlugBase.h"

#include <cstdlib>
#include <cstring>

inline void requireSaneParamsAndPrograms(const IPlugBase& plug)
{
  for (int i = 0; i < plug.NParams(); ++i)
  {
    const IParam* pParam = plug.GetParam(i);
    const double value = pParam->Value();
    if (!(value >= pParam->GetMin() && value <= pParam->GetMax())) abort();
  }
  for (int i = 0; i < plug.NPresets(); ++i)
    if (strnlen(plug.GetPresetName(i), IPreset::kNameSize) >= static_cast<size_t>(IPreset::kNameSize)) abort();
  if (plug.GetCurrentPresetIdx() < 0 || plug.GetCurrentPresetIdx() >= plug.NPresets()) abort();
}
