#pragma once
// The editor's scale factor (device pixels per editor pixel) on X11.

#include <string>

constexpr double kMinEditorScale = 1.0;
constexpr double kMaxEditorScale = 4.0;

// The first of these that is set wins: the user's own setting, the host's,
// the desktop's font resolution (Xft.dpi in the X resources, 96 dpi being 1),
// GDK_SCALE. 0 or less means "not set". The result is clamped to 1..4.
double ChooseEditorScale(double userScale, double hostScale, const std::string& xResources, const char* gdkScale);

// Xft.dpi / 96 from the text of the RESOURCE_MANAGER property; 0 when absent.
double XftDpiScale(const std::string& xResources);
