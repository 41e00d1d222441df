#pragma once
// The desktop icon of the standalone application: a white knob on a piece of
// the panel with the instrument's name, drawn with the controls' own painters.

#include <string>

// A 256 × 256 PNG at `path`; false when it cannot be written.
bool writeAppIcon(const std::string& path);
