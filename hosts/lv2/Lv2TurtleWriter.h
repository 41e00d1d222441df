#pragma once
// The Turtle description of an LV2 bundle, read from an open instrument
// through the host model: its maker and version, ports from the parameter
// table (grouped by section, with units, notes and named values), a MIDI
// output, and the factory programs as one bank of presets with their port
// values and state. Build-time only.

#include "HostModel.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

struct Lv2ScalePoint
{
  float mValue;
  std::string mLabel;
};

struct Lv2ControlPortInfo
{
  std::string mSymbol;
  std::string mName;
  std::string mComment;
  std::string mGroup; // the section's name; empty for none
  std::string mUnit;  // the unit's symbol; empty for none
  float mMin = 0.0f;
  float mMax = 0.0f;
  float mDefault = 0.0f;
  bool mInteger = false;
  bool mToggled = false;
  bool mEnumeration = false; // every value has a text
  std::vector<Lv2ScalePoint> mScalePoints;
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
  Lv2TurtleWriter(HostModel& host, std::string uri, std::string name, std::string maker, std::string uiUri = {});

  void WriteManifest(std::ostream& out, const std::string& binary, const std::string& description) const;
  void WriteDescription(std::ostream& out) const;

  const std::vector<Lv2ControlPortInfo>& Controls() const { return mControls; }
  const std::vector<Lv2PresetInfo>& Presets() const { return mPresets; }

private:
  void readControls(const HostModel& host);
  void readPresets(HostModel& host);
  std::string presetUri(const Lv2PresetInfo& preset) const;
  std::string presetLabel(const Lv2PresetInfo& preset) const;
  std::string groupUri(const std::string& group) const;
  std::string unitUri(const std::string& unit) const;
  void writeIdentity(std::ostream& out) const;
  void writePorts(std::ostream& out) const;
  void writeControlPort(std::ostream& out, const Lv2ControlPortInfo& port, uint32_t index) const;
  void writeGroupsAndUnits(std::ostream& out) const;
  void writePreset(std::ostream& out, const Lv2PresetInfo& preset) const;
  void writeUi(std::ostream& out) const;

  std::string mUri;
  std::string mName;
  std::string mMaker;
  std::string mUiUri;
  uint32_t mVersion = 0;
  std::vector<Lv2ControlPortInfo> mControls;
  std::vector<Lv2PresetInfo> mPresets;
};

// Port symbols from parameter names: lower-case letters, digits and single
// underscores, never starting with a digit, made unique by the index.
std::vector<std::string> Lv2PortSymbols(const std::vector<std::string>& names);
// A Turtle string literal, quotes included.
std::string Lv2TurtleString(const std::string& text);
