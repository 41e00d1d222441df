#include "PanelLayout.h"

#include "ArtCatalogue.h"

namespace
{
using S = Section;

constexpr int kNoParam = -1;
constexpr int kName = -1;
constexpr int kKeyAssgn = 0;
// Display texts of "KeyAssgn", one per key-assign button.
constexpr int kUnison = 0, kRndRobin = 1, kChordMemory = 2, kUnisonShare = 3, kPoly = 4;

PanelItem control(int x, int y, const char* image, int param, Section section)
{
  return {x, y, image, 0, 0, param, kName, section};
}

PanelItem keyButton(int x, int y, int text, Section section = S::kKeyAssign)
{
  return {x, y, "button_off", 0, 0, kKeyAssgn, text, section};
}

PanelItem tweak(PanelItem item)
{
  item.inTweakStrip = true;
  return item;
}

PanelItem printed(int x, int y, int width, int height, Print print, Section section, int param = kNoParam)
{
  return {x, y, nullptr, width, height, param, kName, section, print};
}

// One oscillator row: tune, wave, octave, level, starting at parameter first.
void addOscillatorRow(std::vector<PanelItem>& items, int y, int first, bool masterTune)
{
  items.push_back(masterTune ? control(586, y, "knob", 11, S::kOscillators)
                             : control(586, y, "knob_white", first - 1, S::kOscillators));
  items.push_back(control(654, y, "switch_white", first, S::kOscillators));
  items.push_back(control(714, y, "switch_white", first + 1, S::kOscillators));
  items.push_back(control(776, y, "knob_white", first + 2, S::kOscillators));
}

void addKnobRow(std::vector<PanelItem>& items, int y, int first, Section section)
{
  for (int k = 0; k < 4; ++k)
    items.push_back(control(850 + 62 * k, y, "knob", first + k, section));
}

std::vector<PanelItem> makeItems()
{
  std::vector<PanelItem> items = {
      control(514, 22, "knob", 13, S::kOscillators),
      control(24, 96, "knob", 8, S::kOutput),
      control(109, 101, "switch3", 9, S::kOutput),
      control(170, 96, "knob", 48, S::kModulation),
      control(244, 96, "knob", 49, S::kModulation),
      control(319, 101, "switch3", 34, S::kModulation),
      control(368, 96, "knob", 33, S::kModulation),
      control(440, 96, "knob", 35, S::kModulation),
      control(514, 96, "knob", 12, S::kOscillators),
      control(24, 174, "knob", 15, S::kWheels),
      control(96, 174, "knob", 17, S::kWheels),
      control(170, 174, "switch", 47, S::kModulation),
      control(244, 174, "knob", 38, S::kEffects),
      control(311, 174, "knob", 39, S::kEffects),
      control(366, 185, "switch2", 40, S::kEffects),
      control(413, 179, "switch3", 41, S::kEffects),
      control(460, 185, "switch2", 42, S::kEffects),
      control(527, 179, "switch3", 10, S::kOscillators),
      control(37, 253, "switch3", 14, S::kWheels),
      control(109, 253, "switch3", 16, S::kWheels),
      control(164, 253, "switch3", 58, S::kArpeggiator),
      control(210, 253, "switch3", 59, S::kArpeggiator),
      control(256, 253, "switch3", 60, S::kArpeggiator),
      control(319, 248, "button_orange_off", 37, S::kEffects),
      control(379, 248, "button_white_off", 3, S::kKeyAssign),
      keyButton(417, 248, kChordMemory),
      keyButton(455, 248, kUnison),
      keyButton(493, 248, kUnisonShare),
      keyButton(531, 248, kPoly),
      control(850, 250, "knob", 36, S::kVoice),
      control(930, 260, "switch2", 1, S::kVoice),
      control(1029, 260, "switch2", 2, S::kVoice),
      control(214, 87, "led", kNoParam, S::kModulation),
      control(288, 87, "led", kNoParam, S::kModulation),
      printed(598, 342, 24, 16, Print::kDisplay, S::kProgram),
      printed(645, 342, 176, 16, Print::kDisplay, S::kProgram),
      control(580, 339, "prev", kNoParam, S::kProgram),
      control(624, 339, "next", kNoParam, S::kProgram),
      printed(464, 330, 78, 18, Print::kOptionButton, S::kProgram),
      control(463, 358, "midilearn", kNoParam, S::kProgram),
      control(0, 310, "blind_left", kNoParam, S::kNone),
      control(830, 310, "blind_right", kNoParam, S::kNone),
      control(16, 360, "tweak_on", kNoParam, S::kNone),
      tweak(control(16, 360, "tweak_off", kNoParam, S::kNone)),
      tweak(control(96, 330, "knob", 61, S::kTweaksLeft)),
      tweak(control(319, 340, "switch2", 62, S::kTweaksLeft)),
      tweak(keyButton(379, 328, kRndRobin, S::kTweaksLeft)),
      tweak(control(164, 333, "switch3", 69, S::kTweaksLeft)),
      tweak(control(212, 340, "switch2", 65, S::kTweaksLeft)),
      // The ARPTempo menu writes its text 4 pixels taller than its 48 x 20.
      tweak(printed(240, 340, 48, 24, Print::kDisplay, S::kTweaksLeft, 66)),
      tweak(control(260, 326, "led", kNoParam, S::kTweaksLeft)),
  };
  addOscillatorRow(items, 22, 18, true);
  addOscillatorRow(items, 96, 22, false);
  addOscillatorRow(items, 174, 26, false);
  addOscillatorRow(items, 250, 30, false);
  for (const int y : {71, 145, 223, 299})
    items.push_back(control(678, y, "led", kNoParam, S::kOscillators));
  addKnobRow(items, 22, 43, S::kFilter);
  addKnobRow(items, 96, 50, S::kEnvelopes);
  addKnobRow(items, 174, 54, S::kEnvelopes);
  for (int k = 0; k < 4; ++k)
    items.push_back(tweak(control(850 + 62 * k, 330, "knob", k < 2 ? 63 + k : 65 + k, S::kTweaksRight)));
  return items;
}
} // namespace

Box PanelItem::box() const
{
  const ImageSpec* spec = image ? findControlImage(image) : nullptr;
  const int w = spec ? spec->width : width;
  const int h = spec ? spec->height : height;
  return {double(x), double(y), double(x + w), double(y + h)};
}

const std::vector<PanelItem>& panelItems()
{
  static const std::vector<PanelItem> items = makeItems();
  return items;
}

const char* sectionTitle(Section section)
{
  switch (section)
  {
  case S::kOutput:
    return "OUTPUT";
  case S::kModulation:
    return "MODULATION";
  case S::kWheels:
    return "WHEELS";
  case S::kEffects:
    return "EFFECTS";
  case S::kArpeggiator:
    return "ARPEGGIATOR";
  case S::kKeyAssign:
    return "KEY ASSIGN";
  case S::kOscillators:
    return "OSCILLATORS";
  case S::kFilter:
    return "FILTER";
  case S::kEnvelopes:
    return "ENVELOPES";
  case S::kVoice:
    return "VOICE";
  case S::kProgram:
    return "PROGRAM";
  case S::kTweaksLeft:
  case S::kTweaksRight:
    return "TWEAKS";
  case S::kNone:
    break;
  }
  return "";
}
