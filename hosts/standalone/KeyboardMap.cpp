#include "KeyboardMap.h"

#include <string_view>

namespace
{
constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kNoteOff = 0x80;
constexpr int kHighestBase = 108;
// Each row's keys in semitone order from its C.
constexpr std::string_view kLowerRow = "zsxdcvgbhnjm";
constexpr std::string_view kUpperRow = "q2w3er5t6y7ui";
constexpr int kUpperRowOffset = 12;

// Caps Lock and Shift give the capital letter's keysym; the key is the same.
uint32_t folded(uint32_t keysym)
{
  return keysym >= 'A' && keysym <= 'Z' ? keysym - 'A' + 'a' : keysym;
}

// Semitones above the octave base, or -1 for keys that play nothing.
int semitone(uint32_t key)
{
  if (key >= 128) return -1;
  if (const size_t at = kLowerRow.find(char(key)); at != std::string_view::npos) return int(at);
  if (const size_t at = kUpperRow.find(char(key)); at != std::string_view::npos) return kUpperRowOffset + int(at);
  return -1;
}
} // namespace

std::optional<MidiEvent> KeyboardMap::press(uint32_t keysym)
{
  const uint32_t key = folded(keysym);
  if (key == '-' && mOctaveBase >= kOctaveStep) mOctaveBase -= kOctaveStep;
  if ((key == '=' || key == '+') && mOctaveBase < kHighestBase) mOctaveBase += kOctaveStep;
  const int offset = semitone(key);
  if (offset < 0 || mHeld[key] != kNotHeld || mOctaveBase + offset > 127) return std::nullopt;
  mHeld[key] = mOctaveBase + offset;
  return MidiEvent{kNoteOn, uint8_t(mHeld[key]), kVelocity};
}

std::optional<MidiEvent> KeyboardMap::release(uint32_t keysym)
{
  const uint32_t key = folded(keysym);
  if (key >= kKeys || mHeld[key] == kNotHeld) return std::nullopt;
  const uint8_t note = uint8_t(mHeld[key]);
  mHeld[key] = kNotHeld;
  return MidiEvent{kNoteOff, note, 0};
}

std::optional<MidiEvent> KeyboardMap::releaseAny()
{
  for (size_t key = 0; key < kKeys; ++key)
    if (mHeld[key] != kNotHeld) return release(uint32_t(key));
  return std::nullopt;
}
