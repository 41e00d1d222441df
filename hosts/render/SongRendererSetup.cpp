// The instrument options: bank and program files, programs and parameters.

#include "SongRenderer.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

namespace
{
bool isWholeNumber(const std::string& text)
{
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

std::string joined(const std::vector<std::string>& texts)
{
  std::string line;
  for (const std::string& text : texts)
    line += (line.empty() ? "" : ", ") + text;
  return line;
}

std::string numberText(float value)
{
  std::ostringstream text;
  text << value;
  return text.str();
}

// NaN unless the text is an index of the list.
float listIndex(const std::string& text, size_t count)
{
  const bool isIndex = isWholeNumber(text) && text.size() <= std::to_string(count).size() && std::stoul(text) < count;
  return isIndex ? float(std::stoul(text)) : std::numeric_limits<float>::quiet_NaN();
}

RenderStatus badSetting(const std::string& message)
{
  return RenderStatus::failure(kExitUsage, message);
}
} // namespace

RenderStatus SongRenderer::applyOptions(const RenderOptions& options)
{
  RenderStatus status;
  if (!options.mBankFile.empty()) status = loadFile(options.mBankFile, "bank", &HostModel::LoadBankFile);
  if (status.ok() && !options.mProgram.empty()) status = selectProgram(options.mProgram);
  if (status.ok() && !options.mProgramFile.empty())
    status = loadFile(options.mProgramFile, "program", &HostModel::LoadProgramFile);
  for (size_t i = 0; status.ok() && i < options.mSettings.size(); ++i)
    status = applySetting(options.mSettings[i]);
  return status;
}

RenderStatus SongRenderer::loadFile(const std::string& path, const char* kind, OSStatus (HostModel::*load)(const char*))
{
  const std::string what = std::string("the ") + kind + " file '" + path + "'";
  if (!std::ifstream(path, std::ios::binary))
    return RenderStatus::failure(kExitInput, "Cannot read " + what + ": " + std::strerror(errno) +
                                                 ". Check the name and its permissions.");
  const OSStatus status = (mHost.*load)(path.c_str());
  if (status == kAudioUnitErr_InvalidProperty)
    return RenderStatus::failure(kExitInstrument, std::string("This build of the instrument cannot read ") + kind +
                                                      " files yet; leave out " +
                                                      (load == &HostModel::LoadBankFile ? "--bank." : "--fxp."));
  if (status != noErr)
    return RenderStatus::failure(kExitInput, "The instrument rejected " + what + ": it is damaged or made for " +
                                                 "another plug-in. Give a " + kind + " file saved by this instrument.");
  return {};
}

RenderStatus SongRenderer::selectProgram(const std::string& program)
{
  const std::vector<HostPreset> presets = mHost.FactoryPresets();
  for (const HostPreset& preset : presets)
    if ((isWholeNumber(program) && std::to_string(preset.mNumber) == program) || preset.mName == program)
    {
      const OSStatus status = mHost.SelectPreset(preset.mNumber);
      if (status != noErr) return instrumentFailure("select the program", status);
      return {};
    }
  return RenderStatus::failure(kExitUsage, "There is no program '" + program +
                                               "'; run tessaryn-render --list-programs to see the numbers and names.");
}

bool SongRenderer::findParameter(const std::string& name, AudioUnitParameterID& id) const
{
  for (id = 0; id < mHost.ParameterCount(); ++id)
    if (mHost.ParameterName(id) == name) return true;
  return false;
}

RenderStatus SongRenderer::applySetting(const ParameterSetting& setting)
{
  AudioUnitParameterID id = 0;
  if (!findParameter(setting.mName, id))
    return badSetting("There is no parameter named '" + setting.mName +
                      "'; run tessaryn-render --list-params to see the names.");
  float value = 0.0f;
  RenderStatus status = settingValue(id, setting, value);
  if (!status.ok()) return status;
  if (const OSStatus result = mHost.SetParameter(id, value); result != noErr)
    return instrumentFailure("take the parameter " + setting.mName, result);
  return {};
}

// The value as a host sends it: a 32-bit float in the parameter's own units,
// or the index of a list parameter's text, given as the text or the index.
RenderStatus SongRenderer::settingValue(AudioUnitParameterID id, const ParameterSetting& setting, float& value) const
{
  const std::vector<std::string> texts = mHost.ParameterValueStrings(id);
  if (!texts.empty())
  {
    value = std::numeric_limits<float>::quiet_NaN(); // left alone when the text is not one of the list
    if (!mHost.ParameterValueFromText(id, setting.mValue.c_str(), &value) || std::isnan(value))
      value = listIndex(setting.mValue, texts.size());
    if (std::isnan(value))
      return badSetting("'" + setting.mValue + "' is not a value of " + setting.mName +
                        "; use one of: " + joined(texts) + ".");
    return {};
  }
  HostParameterInfo info;
  mHost.GetParameterInfo(id, info);
  const std::string range = numberText(info.mMin) + " to " + numberText(info.mMax);
  double number = 0.0;
  if (!parseStrictNumber(setting.mValue, number))
    return badSetting("The value '" + setting.mValue + "' of " + setting.mName + " is not a number; give one from " +
                      range + ".");
  value = float(number);
  if (value < info.mMin || value > info.mMax)
    return badSetting("The value " + setting.mValue + " of " + setting.mName + " is outside its range " + range + ".");
  return {};
}
