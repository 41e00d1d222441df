#pragma once
// The panel's look in one place: colours, type and the sizes of every image.
// A change of look starts here.

#include <cstdint>

struct Colour
{
  double r, g, b, a;
};

constexpr Colour rgb(uint32_t hex, double alpha = 1.0)
{
  return {((hex >> 16) & 0xff) / 255.0, ((hex >> 8) & 0xff) / 255.0, (hex & 0xff) / 255.0, alpha};
}

namespace art
{
// Panel: dark anodised metal, cream print, orange accents.
constexpr Colour kPanelTop = rgb(0x2d2f33);
constexpr Colour kPanelBottom = rgb(0x1f2124);
constexpr Colour kSectionFill = rgb(0x34373c);
constexpr Colour kSectionBorder = rgb(0x6a6e75);
constexpr Colour kTitle = rgb(0xf08a3c);
constexpr Colour kCaption = rgb(0xe6dfcf);
constexpr Colour kPositionText = rgb(0xb9b3a6);
constexpr Colour kLogo = rgb(0xf1eadb);
constexpr Colour kDisplayFill = rgb(0x0f1215);
constexpr Colour kDisplayEdge = rgb(0x4d5158);

// Knobs and selectors.
constexpr Colour kSkirtLight = rgb(0x3b3d41);
constexpr Colour kSkirtDark = rgb(0x121314);
constexpr Colour kCapDarkLight = rgb(0x4a4d52);
constexpr Colour kCapDarkShade = rgb(0x1c1d20);
constexpr Colour kCapWhiteLight = rgb(0xf4efe2);
constexpr Colour kCapWhiteShade = rgb(0xb9b19d);
constexpr Colour kPointerOnDark = rgb(0xfbf7ec);
constexpr Colour kPointerOnWhite = rgb(0x17181a);
constexpr Colour kScaleTick = rgb(0x9d988c);

// Switches and buttons.
constexpr Colour kSlot = rgb(0x0b0c0d);
constexpr Colour kLeverLight = rgb(0xd9d6cf);
constexpr Colour kLeverShade = rgb(0x7d7a73);
constexpr Colour kButtonGrey = rgb(0x55595f);
constexpr Colour kButtonWhite = rgb(0xe7e1d3);
constexpr Colour kButtonOrange = rgb(0xe0782c);
constexpr Colour kLampLit = rgb(0xff4b26);
constexpr Colour kLampCore = rgb(0xfff1d6);
constexpr Colour kLampDark = rgb(0x4b1610);
constexpr Colour kBlind = rgb(0x25272a);
constexpr Colour kBlindSlat = rgb(0x17181a);
constexpr Colour kScrew = rgb(0x8d8a84);

constexpr const char* kFont = "DejaVu Sans Condensed";
constexpr double kCaptionSize = 9.0;
constexpr double kPositionSize = 8.0;
constexpr double kTitleSize = 9.0;
constexpr double kLogoSize = 30.0;

// Knobs turn through 270 degrees, centred on twelve o'clock.
constexpr double kKnobSweepDegrees = 270.0;
// A selector's detents spread over this arc.
constexpr double kSelectorSweepDegrees = 120.0;
} // namespace art
