#include "Lv2TurtleWriter.h"

#include "Base64.h"
#include "Lv2Instrument.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <set>

namespace
{
constexpr const char* kPrefixes = "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
                                  "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
                                  "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
                                  "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                                  "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
                                  "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
                                  "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
                                  "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                                  "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                                  "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                                  "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
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
  std::set<std::string> taken = {"events", "out_left", "out_right"};
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

Lv2TurtleWriter::Lv2TurtleWriter(HostModel& host, std::string uri, std::string name, std::string uiUri)
    : mUri(std::move(uri)), mName(std::move(name)), mUiUri(std::move(uiUri))
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
    Lv2ControlPortInfo port;
    port.mName = info.mName;
    port.mMin = info.mMin;
    port.mMax = info.mMax;
    port.mDefault = std::clamp(info.mDefault, info.mMin, info.mMax);
    port.mToggled = info.mUnit == kAudioUnitParameterUnit_Boolean;
    port.mInteger = port.mToggled || info.mUnit == kAudioUnitParameterUnit_Indexed;
    port.mScalePoints = host.ParameterValueStrings(id);
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

void Lv2TurtleWriter::WriteManifest(std::ostream& out, const std::string& binary, const std::string& description) const
{
  out << kPrefixes;
  out << "<" << mUri << ">\n  a lv2:Plugin, lv2:InstrumentPlugin ;\n  lv2:binary <" << binary << "> ;\n  rdfs:seeAlso <"
      << description << "> .\n";
  if (!mUiUri.empty())
    out << "\n<" << mUiUri << ">\n  a ui:X11UI ;\n  ui:binary <" << binary << "> ;\n  rdfs:seeAlso <" << description
        << "> .\n";
  for (const Lv2PresetInfo& preset : mPresets)
    out << "\n"
        << presetUri(preset) << "\n  a pset:Preset ;\n  lv2:appliesTo <" << mUri << "> ;\n  rdfs:label "
        << Lv2TurtleString(preset.mName) << " ;\n  rdfs:seeAlso <" << description << "> .\n";
}

void Lv2TurtleWriter::WriteDescription(std::ostream& out) const
{
  out << kPrefixes;
  out << "<" << mUri << ">\n  a lv2:Plugin, lv2:InstrumentPlugin, doap:Project ;\n  doap:name "
      << Lv2TurtleString(mName) << " ;\n  lv2:requiredFeature urid:map ;\n";
  if (!mUiUri.empty()) out << "  ui:ui <" << mUiUri << "> ;\n";
  out << "  lv2:optionalFeature lv2:hardRTCapable, opts:options, bufsz:boundedBlockLength, work:schedule ;\n"
      << "  opts:supportedOption bufsz:maxBlockLength, bufsz:nominalBlockLength ;\n"
      << "  lv2:extensionData state:interface, opts:interface, work:interface ;\n";
  writePorts(out);
  out << "\n<" << mUri << "#state>\n  a rdf:Property ;\n  rdfs:label \"State\" ;\n"
      << "  rdfs:comment \"The instrument's state dictionary: program name and sound.\" ;\n"
      << "  rdfs:range atom:Chunk .\n";
  writeUi(out);
  for (const Lv2PresetInfo& preset : mPresets)
    writePreset(out, preset);
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
  {
    const Lv2ControlPortInfo& port = mControls[i];
    out << " , [\n    a lv2:InputPort, lv2:ControlPort ;\n    lv2:index " << Lv2Instrument::kFirstControlPort + i
        << " ;\n    lv2:symbol " << Lv2TurtleString(port.mSymbol) << " ;\n    lv2:name " << Lv2TurtleString(port.mName)
        << " ;\n    lv2:default " << number(port.mDefault) << " ;\n    lv2:minimum " << number(port.mMin)
        << " ;\n    lv2:maximum " << number(port.mMax);
    if (port.mInteger) out << " ;\n    lv2:portProperty lv2:integer";
    if (port.mToggled) out << " ;\n    lv2:portProperty lv2:toggled";
    if (!port.mScalePoints.empty()) out << " ;\n    lv2:portProperty lv2:enumeration";
    for (size_t point = 0; point < port.mScalePoints.size(); ++point)
      out << " ;\n    lv2:scalePoint [ rdfs:label " << Lv2TurtleString(port.mScalePoints[point]) << " ; rdf:value "
          << number(port.mMin + float(point)) << " ]";
    out << "\n  ]";
  }
  out << " .\n";
}

void Lv2TurtleWriter::writePreset(std::ostream& out, const Lv2PresetInfo& preset) const
{
  WDL_String state;
  Base64Encode(preset.mState.data(), int(preset.mState.size()), &state);
  out << "\n"
      << presetUri(preset) << "\n  a pset:Preset ;\n  lv2:appliesTo <" << mUri << "> ;\n  rdfs:label "
      << Lv2TurtleString(preset.mName);
  for (size_t i = 0; i < preset.mValues.size(); ++i)
    out << " ;\n  lv2:port [ lv2:symbol " << Lv2TurtleString(mControls[i].mSymbol) << " ; pset:value "
        << number(preset.mValues[i]) << " ]";
  out << " ;\n  state:state [ <" << mUri << "#state> \"" << state.Get() << "\"^^xsd:base64Binary ] .\n";
}
