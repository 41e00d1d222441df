#include "KeyboardMap.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

namespace
{
constexpr uint32_t kF1 = 0xFFBE;
} // namespace

TEST(KeyboardMapTest, TwoRowsPlayTwoOctavesThatShiftAndReleaseWhatTheyStarted)
{
  // A press or release and the message it must give: status 0 for none.
  const std::tuple<bool, uint32_t, uint8_t, uint8_t> steps[] = {
      {true, 'z', 0x90, 48},  {true, 'm', 0x90, 59},  {true, 'q', 0x90, 60},  {true, 'i', 0x90, 72},
      {true, '2', 0x90, 61},  {true, 'Z', 0, 0},      // held: auto-repeat and Shift play nothing
      {true, '-', 0, 0},      {true, 'x', 0x90, 38},  // an octave down
      {false, 'z', 0x80, 48}, {false, 'x', 0x80, 38}, // each key ends its own note
      {false, 'z', 0, 0},     {true, 'a', 0, 0},      {true, kF1, 0, 0},      {false, kF1, 0, 0},
      {true, '=', 0, 0},      {true, '+', 0, 0},      {true, 'c', 0x90, 64},  {true, 'E', 0x90, 76},
  };
  KeyboardMap keyboard;
  for (const auto& [press, key, status, note] : steps)
  {
    const std::optional<MidiEvent> event = press ? keyboard.press(key) : keyboard.release(key);
    SCOPED_TRACE(std::string(press ? "press " : "release ") + char(key));
    ASSERT_EQ(event.has_value(), status != 0);
    if (!event) continue;
    EXPECT_EQ(event->mStatus, status);
    EXPECT_EQ(event->mData1, note);
    EXPECT_EQ(event->mData2, status == 0x90 ? KeyboardMap::kVelocity : 0);
  }
}

TEST(KeyboardMapTest, OctavesStopAtTheEndsOfTheMidiRange)
{
  KeyboardMap keyboard;
  for (int i = 0; i < 20; ++i)
    keyboard.press('-');
  EXPECT_EQ(keyboard.press('z')->mData1, 0);
  for (int i = 0; i < 20; ++i)
    keyboard.press('=');
  EXPECT_EQ(keyboard.press('x')->mData1, 110);
  EXPECT_FALSE(keyboard.press('i')) << "the upper row's top C would be note 132";
}
