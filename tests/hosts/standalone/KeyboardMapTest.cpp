#include "KeyboardMap.h"

#include <gtest/gtest.h>

#include <optional>

namespace
{
constexpr uint32_t kF1 = 0xFFBE;

// A press or release and the message it must give: status 0 for none.
struct Step
{
  bool mPress;
  uint32_t mKey;
  uint8_t mStatus;
  uint8_t mNote;
};
} // namespace

TEST(KeyboardMapTest, TwoRowsPlayTwoOctavesThatShiftAndReleaseWhatTheyStarted)
{
  const Step steps[] = {
      {true, 'z', 0x90, 48},  {true, 'm', 0x90, 59},  {true, 'q', 0x90, 60},  {true, 'i', 0x90, 72},
      {true, '2', 0x90, 61},  {true, 'Z', 0, 0},      // held: auto-repeat and Shift play nothing
      {true, '-', 0, 0},      {true, 'x', 0x90, 38},  // an octave down
      {false, 'z', 0x80, 48}, {false, 'x', 0x80, 38}, // each key ends its own note
      {false, 'z', 0, 0},     {true, 'a', 0, 0},      {true, kF1, 0, 0},      {false, kF1, 0, 0},
      {true, '=', 0, 0},      {true, '+', 0, 0},      {true, 'c', 0x90, 64},  {true, 'E', 0x90, 76},
  };
  KeyboardMap keyboard;
  for (const Step& step : steps)
  {
    const std::optional<MidiEvent> event = step.mPress ? keyboard.press(step.mKey) : keyboard.release(step.mKey);
    SCOPED_TRACE(std::string(step.mPress ? "press " : "release ") + char(step.mKey));
    ASSERT_EQ(event.has_value(), step.mStatus != 0);
    if (!event) continue;
    EXPECT_EQ(event->mStatus, step.mStatus);
    EXPECT_EQ(event->mData1, step.mNote);
    EXPECT_EQ(event->mData2, step.mStatus == 0x90 ? KeyboardMap::kVelocity : 0);
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
