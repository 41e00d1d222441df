#include "MidiPortMatch.h"

#include <algorithm>
#include <cctype>

namespace
{
std::string lowered(std::string text)
{
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}
} // namespace

bool midiPortMatches(const std::string& portName, const std::string& wanted)
{
  return wanted == "all" || lowered(portName).find(lowered(wanted)) != std::string::npos;
}

std::string noMidiPortMessage(const std::string& wanted)
{
  return "no MIDI port matches '" + wanted + "'; it plays on, connect a keyboard to its MIDI input by hand.";
}
