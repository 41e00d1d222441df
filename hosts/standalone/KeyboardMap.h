#pragma once
// The computer keyboard as a two-octave piano, as other Linux synths lay it
// out: Z S X D C V G B H N J M play C to B, Q 2 W 3 E R 5 T 6 Y 7 U I the
// octave above up to its C; - and = (or +) shift both rows an octave. Keys
// are X keysyms. A key's release ends the note its press started, whatever
// the octave is by then; a press of a held key (auto-repeat) plays nothing.

#include "MidiEvent.h"

#include <array>
#include <cstdint>
#include <optional>

class KeyboardMap
{
public:
  static constexpr uint8_t kVelocity = 100;
  static constexpr int kDefaultOctaveBase = 48; // Z plays C3
  static constexpr int kOctaveStep = 12;

  // Note-on for a piano key, nothing for other keys (the octave keys included).
  std::optional<MidiEvent> press(uint32_t keysym);
  std::optional<MidiEvent> release(uint32_t keysym);
  // The note-off of some held key, nothing once none is held: for losing focus.
  std::optional<MidiEvent> releaseAny();
  int octaveBase() const { return mOctaveBase; }

private:
  static constexpr int kNotHeld = -1;
  static constexpr size_t kKeys = 128;

  int mOctaveBase = kDefaultOctaveBase;
  std::array<int, kKeys> mHeld = filledWith(kNotHeld);

  static constexpr std::array<int, kKeys> filledWith(int value)
  {
    std::array<int, kKeys> keys{};
    keys.fill(value);
    return keys;
  }
};
