#pragma once
// The Turtle description of an LV2 bundle, read from an open instrument
// through the host model: ports from the parameter table, the factory
// programs as presets with their port values and state. Build-time only.

#include "HostModel.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

struct Lv2ControlPortInfo
{
  std::string mSymbol;
  std::string mName;
  float mMin = 0.0f;
  float mMax = 0.0f;
  float mDefault = 0.0f;
  bool mInteger = false;
  bool mToggled = false;
  std::vector<std::string> mScalePoints; // display texts of min, min + 1, ...
};

struct Lv2PresetInfo
{
  int32_t mNumber = 0;
  std::string mName;
  std::vector<float> mValues; // one per control port
  std::vector<uint8_t> mState;
};

class Lv2TurtleWriter
{
public:
  // Reads the parameters' current values as defaults, then selects every
  // factory preset in turn. Control thread of an initialised instance.
  // uiUri: the bundle's X11 UI, empty for none.
  Lv2TurtleWriter(HostModel& host, std::string uri, std::string name, std::string uiUri = {});

  void WriteManifest(std::ostream& out, const std::string& binary, const std::string& description) const;
  void WriteDescription(std::ostream& out) const;

  const std::vector<Lv2ControlPortInfo>& Controls() const { return mControls; }
  const std::vector<Lv2PresetInfo>& Presets() const { return mPresets; }

private:
  void readControls(const HostModel& host);
  void readPresets(HostModel& host);
  std::string presetUri(const Lv2PresetInfo& preset) const;
  void writePorts(std::ostream& out) const;
  void writePreset(std::ostream& out, const Lv2PresetInfo& preset) const;
  void writeUi(std::ostream& out) const;

  std::string mUri;
  std::string mName;
  std::string mUiUri;
  std::vector<Lv2ControlPortInfo> mControls;
  std::vector<Lv2PresetInfo> mPresets;
};

// Port symbols from parameter names: lower-case letters, digits and single
// underscores, never starting with a digit, made unique by the index.
std::vector<std::string> Lv2PortSymbols(const std::vector<std::string>& names);
// A Turtle string literal, quotes included.
std::string Lv2TurtleString(const std::string& text);
