// What --list-params and --list-programs print.

#include "SongRenderer.h"

#include <algorithm>
#include <iomanip>

namespace
{
void writeTexts(std::ostream& out, const std::vector<std::string>& texts)
{
  for (size_t i = 0; i < texts.size(); ++i)
    out << (i ? " | " : "") << texts[i];
}
} // namespace

void SongRenderer::listParameters(std::ostream& out) const
{
  const uint32_t count = mHost.ParameterCount();
  size_t width = 0;
  for (AudioUnitParameterID id = 0; id < count; ++id)
    width = std::max(width, mHost.ParameterName(id).size());
  for (AudioUnitParameterID id = 0; id < count; ++id)
  {
    HostParameterInfo info;
    mHost.GetParameterInfo(id, info);
    out << std::left << std::setw(int(width)) << mHost.ParameterName(id) << "  ";
    const std::vector<std::string> texts = mHost.ParameterValueStrings(id);
    if (texts.empty())
      out << info.mMin << " to " << info.mMax;
    else
      writeTexts(out, texts);
    // The info record's default is the value now, the loaded program's.
    if (float tableDefault = 0.0f; mHost.GetParameterDefault(id, &tableDefault) == noErr)
      out << ", default " << mHost.ParameterValueText(id, tableDefault);
    out << ", current " << mHost.ParameterValueText(id, info.mDefault) << "\n";
  }
}

void SongRenderer::listPrograms(std::ostream& out) const
{
  for (const HostPreset& preset : mHost.FactoryPresets())
    out << std::right << std::setw(2) << preset.mNumber << "  " << preset.mName << "\n";
}
