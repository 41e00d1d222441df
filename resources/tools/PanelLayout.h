#pragma once
// Where every control of the instrument's panel sits, which parameter it
// shows and which section frames it. Positions are the editor's; sizes come
// from the images.

#include "Painter.h"

#include <string>
#include <vector>

enum class Section
{
  kNone,
  kOutput,
  kModulation,
  kWheels,
  kEffects,
  kArpeggiator,
  kKeyAssign,
  kOscillators,
  kFilter,
  kEnvelopes,
  kVoice,
  kProgram,
  kTweaksLeft,
  kTweaksRight,
};

// What the background prints beneath a control that draws little or nothing.
enum class Print
{
  kNothing,
  kDisplay,      // a dark window for text the control writes
  kOptionButton, // the options menu draws nothing itself
};

struct PanelItem
{
  int x, y;
  const char* image; // catalogue stem, or null for a control drawn by code
  int width, height; // used when image is null
  int param;         // the parameter captioned, or -1
  int displayText;   // >= 0: the caption is this display text of param, not its name
  Section section;
  Print print = Print::kNothing;
  bool inTweakStrip = false;

  Box box() const;
};

struct PanelSize
{
  static constexpr int kWidth = 1096;
  static constexpr int kHeight = 395;
  // The lower strip behind the blinds starts here.
  static constexpr int kStripTop = 310;
};

const std::vector<PanelItem>& panelItems();
const char* sectionTitle(Section section);
