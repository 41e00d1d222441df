#pragma once
// --midi-in names ports the way a user reads them in a patchbay: "all", or
// any part of a port's full name, case-insensitively.

#include <string>

bool midiPortMatches(const std::string& portName, const std::string& wanted);

std::string noMidiPortMessage(const std::string& wanted);
