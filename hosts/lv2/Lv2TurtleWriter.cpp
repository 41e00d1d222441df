#include "Lv2TurtleWriter.h"

#include "Base64.h"
#include "IPlugStructs.h"
#include "Lv2Instrument.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <map>
#include <set>

namespace
{
constexpr const char* kPrefixes = "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
                                  "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
                                  "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
                                  "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
                                  "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                                  "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
                                  "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
                                  "@prefix pg: <http://lv2plug.in/ns/ext/port-groups#> .\n"
                                  "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
                                  "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                                  "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                                  "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                                  "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
                                  "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
                                  "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                                  "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
                                  "@prefix work: <http://lv2plug.in/ns/ext/worker#> .\n"
                                  "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n\n";

// Shortest text that reads back as the same float, always a decimal or
// double literal: hosts hand integer literals to the plug-in as atom:Int.
std::string number(float value)
{
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  std::string literal(text, end);
  if (literal.find_first_of(".e") == std::string::npos) literal += ".0";
  return literal;
}

constexpr const char* kMidiOutSymbol = "midi_out";

// LV2's own units for the unit symbols instruments use; any other symbol
// becomes a unit of the bundle's own.
const std::map<std::string, std::string> kStandardUnits = {
    {"s", "units:s"}, {"Hz", "units:hz"}, {"semitones", "units:semitone12TET"}};

std::string symbolFrom(const std::string& name)
{
  std::string symbol;
  for (unsigned char c : name)
  {
    if (std::isalnum(c))
      symbol += char(std::tolower(c));
    else if (!symbol.empty() && symbol.back() != '_')
      symbol += '_';
  }
  while (!symbol.empty() && symbol.back() == '_')
    symbol.pop_back();
  if (symbol.empty())
    symbol = "p";
  else if (std::isdigit(static_cast<unsigned char>(symbol[0])))
    symbol.insert(0, "p_");
  return symbol;
}
} // namespace

std::vector<std::string> Lv2PortSymbols(const std::vector<std::string>& names)
{
  // The fixed ports' symbols are taken too.
  std::set<std::string> taken = {"events", "out_left", "out_right", kMidiOutSymbol};
  std::vector<std::string> symbols;
  for (size_t i = 0; i < names.size(); ++i)
  {
    std::string symbol = symbolFrom(names[i]);
    if (taken.count(symbol)) symbol += "_" + std::to_string(i);
    taken.insert(symbol);
    symbols.push_back(symbol);
  }
  return symbols;
}

std::string Lv2TurtleString(const std::string& text)
{
  std::string literal = "\"";
  for (unsigned char c : text)
  {
    if (c == '"' || c == '\\')
      (literal += '\\') += char(c);
    else if (c < 0x20)
    {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", c);
      literal += escape;
    }
    else
      literal += char(c);
  }
  return literal + "\"";
}

Lv2TurtleWriter::Lv2TurtleWriter(HostModel& host, std::string uri, std::string name, std::string maker,
                                 std::string uiUri)
    : mUri(std::move(uri)), mName(std::move(name)), mMaker(std::move(maker)), mUiUri(std::move(uiUri)),
      mVersion(host.ComponentVersion())
{
  readControls(host);
  readPresets(host);
}

void Lv2TurtleWriter::readControls(const HostModel& host)
{
  std::vector<std::string> names;
  for (AudioUnitParameterID id = 0; id < host.ParameterCount(); ++id)
  {
    HostParameterInfo info;
    host.GetParameterInfo(id, info);
    const HostParameterNotes notes = host.ParameterNotes(id);
    Lv2ControlPortInfo port;
    port.mName = info.mName;
    port.mComment = notes.mDescription;
    port.mGroup = info.mClumpId ? host.ClumpName(info.mClumpId) : std::string();
    port.mUnit = notes.mUnit;
    port.mMin = info.mMin;
    port.mMax = info.mMax;
    port.mDefault = std::clamp(info.mDefault, info.mMin, info.mMax);
    port.mToggled = info.mUnit == kAudioUnitParameterUnit_Boolean;
    port.mInteger = port.mToggled || info.mUnit == kAudioUnitParameterUnit_Indexed;
    const std::vector<std::string> texts = host.ParameterValueStrings(id);
    port.mEnumeration = !texts.empty();
    for (size_t i = 0; i < texts.size(); ++i)
      port.mScalePoints.push_back({info.mMin + float(i), texts[i]});
    if (notes.mHasNamedValue) port.mScalePoints.push_back({notes.mNamedValue, notes.mValueName});
    names.push_back(info.mName);
    mControls.push_back(port);
  }
  const std::vector<std::string> symbols = Lv2PortSymbols(names);
  for (size_t i = 0; i < symbols.size(); ++i)
    mControls[i].mSymbol = symbols[i];
}

void Lv2TurtleWriter::readPresets(HostModel& host)
{
  for (const HostPreset& preset : host.FactoryPresets())
  {
    Lv2PresetInfo info;
    info.mNumber = preset.mNumber;
    info.mName = preset.mName;
    if (host.SelectPreset(preset.mNumber) != noErr || host.SaveState(info.mState) != noErr) continue;
    for (AudioUnitParameterID id = 0; id < mControls.size(); ++id)
    {
      float value = mControls[id].mDefault;
      host.GetParameter(id, &value);
      info.mValues.push_back(value);
    }
    mPresets.push_back(std::move(info));
  }
}

std::string Lv2TurtleWriter::presetUri(const Lv2PresetInfo& preset) const
{
  return "<" + mUri + "#preset-" + std::to_string(preset.mNumber) + ">";
}

// The number leads, zero-padded to the widest, so that hosts sorting by
// label keep the bank's order.
std::string Lv2TurtleWriter::presetLabel(const Lv2PresetInfo& preset) const
{
  int32_t last = 0;
  for (const Lv2PresetInfo& each : mPresets)
    last = std::max(last, each.mNumber);
  const int width = std::max(2, int(std::to_string(last).size()));
  char number[16];
  std::snprintf(number, sizeof number, "%0*d: ", width, int(preset.mNumber));
  return number + preset.mName;
}

std::string Lv2TurtleWriter::groupUri(const std::string& group) const
{
  return "<" + mUri + "#group_" + symbolFrom(group) + ">";
}

std::string Lv2TurtleWriter::unitUri(const std::string& unit) const
{
  const auto standard = kStandardUnits.find(unit);
  return standard != kStandardUnits.end() ? standard->second : "<" + mUri + "#unit_" + symbolFrom(unit) + ">";
}

void Lv2TurtleWriter::WriteManifest(std::ostream& out, const std::string& binary, const std::string& description) const
{
  const std::string bank = "<" + mUri + "#factory-bank>";
  out << kPrefixes;
  out << "<" << mUri << ">\n  a lv2:Plugin, lv2:InstrumentPlugin ;\n  lv2:binary <" << binary << "> ;\n  rdfs:seeAlso <"
      << description << "> .\n";
  if (!mUiUri.empty())
    out << "\n<" << mUiUri << ">\n  a ui:X11UI ;\n  ui:binary <" << binary << "> ;\n  rdfs:seeAlso <" << description
        << "> .\n";
  if (!mPresets.empty())
    out << "\n" << bank << "\n  a pset:Bank ;\n  rdfs:label " << Lv2TurtleString(mName + " factory programs") << " .\n";
  for (const Lv2PresetInfo& preset : mPresets)
    out << "\n"
        << presetUri(preset) << "\n  a pset:Preset ;\n  lv2:appliesTo <" << mUri << "> ;\n  pset:bank " << bank
        << " ;\n  rdfs:label " << Lv2TurtleString(presetLabel(preset)) << " ;\n  rdfs:seeAlso <" << description
        << "> .\n";
}

void Lv2TurtleWriter::WriteDescription(std::ostream& out) const
{
  out << kPrefixes;
  out << "<" << mUri << ">\n  a lv2:Plugin, lv2:InstrumentPlugin, doap:Project ;\n";
  writeIdentity(out);
  out << "  lv2:requiredFeature urid:map ;\n";
  if (!mUiUri.empty()) out << "  ui:ui <" << mUiUri << "> ;\n";
  out << "  lv2:optionalFeature lv2:hardRTCapable, opts:options, bufsz:boundedBlockLength, work:schedule ;\n"
      << "  opts:supportedOption bufsz:maxBlockLength, bufsz:nominalBlockLength ;\n"
      << "  lv2:extensionData state:interface, opts:interface, work:interface ;\n";
  writePorts(out);
  out << "\n<" << mUri << "#state>\n  a rdf:Property ;\n  rdfs:label \"State\" ;\n"
      << "  rdfs:comment \"The instrument's state dictionary: program name and sound.\" ;\n"
      << "  rdfs:range atom:Chunk .\n";
  writeGroupsAndUnits(out);
  writeUi(out);
  for (const Lv2PresetInfo& preset : mPresets)
    writePreset(out, preset);
}

// LV2 counts a plug-in as a development version when its minor or micro
// version is odd, so both carry a trailing zero: 2.3.1 is 20300.10.
void Lv2TurtleWriter::writeIdentity(std::ostream& out) const
{
  int major = 0, minor = 0, bugfix = 0;
  GetVersionParts(int(mVersion), &major, &minor, &bugfix);
  out << "  doap:name " << Lv2TurtleString(mName) << " ;\n";
  if (!mMaker.empty()) out << "  doap:maintainer [ foaf:name " << Lv2TurtleString(mMaker) << " ] ;\n";
  out << "  doap:release [ doap:revision \"" << major << "." << minor << "." << bugfix << "\" ] ;\n"
      << "  lv2:minorVersion " << major * 10000 + minor * 100 << " ;\n  lv2:microVersion " << bugfix * 10 << " ;\n";
}

// The editor reaches the instance directly and is driven by the host's idle calls.
void Lv2TurtleWriter::writeUi(std::ostream& out) const
{
  if (mUiUri.empty()) return;
  out << "\n<" << mUiUri << ">\n  a ui:X11UI ;\n"
      << "  lv2:requiredFeature <http://lv2plug.in/ns/ext/instance-access>, ui:parent, ui:idleInterface ;\n"
      << "  lv2:optionalFeature ui:resize, ui:touch, ui:noUserResize, opts:options, urid:map ;\n"
      << "  lv2:extensionData ui:idleInterface ;\n  opts:supportedOption ui:scaleFactor .\n";
}

void Lv2TurtleWriter::writePorts(std::ostream& out) const
{
  out << "  lv2:port [\n    a lv2:InputPort, atom:AtomPort ;\n    atom:bufferType atom:Sequence ;\n"
      << "    atom:supports midi:MidiEvent, time:Position ;\n    lv2:designation lv2:control ;\n"
      << "    lv2:index " << Lv2Instrument::kEventsPort << " ;\n    lv2:symbol \"events\" ;\n"
      << "    lv2:name \"Events\"\n  ] , [\n    a lv2:OutputPort, lv2:AudioPort ;\n    lv2:index "
      << Lv2Instrument::kLeftPort << " ;\n    lv2:symbol \"out_left\" ;\n    lv2:name \"Left\"\n  ] , [\n"
      << "    a lv2:OutputPort, lv2:AudioPort ;\n    lv2:index " << Lv2Instrument::kRightPort
      << " ;\n    lv2:symbol \"out_right\" ;\n    lv2:name \"Right\"\n  ]";
  for (size_t i = 0; i < mControls.size(); ++i)
    writeControlPort(out, mControls[i], Lv2Instrument::kFirstControlPort + uint32_t(i));
  out << " , [\n    a lv2:OutputPort, atom:AtomPort ;\n    atom:bufferType atom:Sequence ;\n"
      << "    atom:supports midi:MidiEvent ;\n    lv2:index " << Lv2Instrument::kFirstControlPort + mControls.size()
      << " ;\n    lv2:symbol \"" << kMidiOutSymbol << "\" ;\n    lv2:name \"MIDI Out\"\n  ] .\n";
}

void Lv2TurtleWriter::writeControlPort(std::ostream& out, const Lv2ControlPortInfo& port, uint32_t index) const
{
  out << " , [\n    a lv2:InputPort, lv2:ControlPort ;\n    lv2:index " << index << " ;\n    lv2:symbol "
      << Lv2TurtleString(port.mSymbol) << " ;\n    lv2:name " << Lv2TurtleString(port.mName) << " ;\n    lv2:default "
      << number(port.mDefault) << " ;\n    lv2:minimum " << number(port.mMin) << " ;\n    lv2:maximum "
      << number(port.mMax);
  if (!port.mComment.empty()) out << " ;\n    rdfs:comment " << Lv2TurtleString(port.mComment);
  if (!port.mGroup.empty()) out << " ;\n    pg:group " << groupUri(port.mGroup);
  if (!port.mUnit.empty()) out << " ;\n    units:unit " << unitUri(port.mUnit);
  if (port.mInteger) out << " ;\n    lv2:portProperty lv2:integer";
  if (port.mToggled) out << " ;\n    lv2:portProperty lv2:toggled";
  if (port.mEnumeration) out << " ;\n    lv2:portProperty lv2:enumeration";
  for (const Lv2ScalePoint& point : port.mScalePoints)
    out << " ;\n    lv2:scalePoint [ rdfs:label " << Lv2TurtleString(point.mLabel) << " ; rdf:value "
        << number(point.mValue) << " ]";
  out << "\n  ]";
}

void Lv2TurtleWriter::writeGroupsAndUnits(std::ostream& out) const
{
  std::set<std::string> written;
  for (const Lv2ControlPortInfo& port : mControls)
  {
    if (!port.mGroup.empty() && written.insert("group " + port.mGroup).second)
      out << "\n"
          << groupUri(port.mGroup) << "\n  a pg:Group ;\n  lv2:symbol " << Lv2TurtleString(symbolFrom(port.mGroup))
          << " ;\n  rdfs:label " << Lv2TurtleString(port.mGroup) << " .\n";
    if (!port.mUnit.empty() && !kStandardUnits.count(port.mUnit) && written.insert("unit " + port.mUnit).second)
      out << "\n"
          << unitUri(port.mUnit) << "\n  a units:Unit ;\n  rdfs:label " << Lv2TurtleString(port.mUnit)
          << " ;\n  units:symbol " << Lv2TurtleString(port.mUnit) << " ;\n  units:render "
          << Lv2TurtleString("%g " + port.mUnit) << " .\n";
  }
}

void Lv2TurtleWriter::writePreset(std::ostream& out, const Lv2PresetInfo& preset) const
{
  WDL_String state;
  Base64Encode(preset.mState.data(), int(preset.mState.size()), &state);
  out << "\n"
      << presetUri(preset) << "\n  a pset:Preset ;\n  lv2:appliesTo <" << mUri << "> ;\n  rdfs:label "
      << Lv2TurtleString(presetLabel(preset));
  for (size_t i = 0; i < preset.mValues.size(); ++i)
    out << " ;\n  lv2:port [ lv2:symbol " << Lv2TurtleString(mControls[i].mSymbol) << " ; pset:value "
        << number(preset.mValues[i]) << " ]";
  out << " ;\n  state:state [ <" << mUri << "#state> \"" << state.Get() << "\"^^xsd:base64Binary ] .\n";
}
