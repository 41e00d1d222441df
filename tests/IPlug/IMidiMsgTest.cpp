#include "IMidiMsg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>

TEST(MidiMsg, BuildersNeverLetAnArgumentBecomeAStatusOrAnotherKind)
{
  IMidiMsg msg;
  msg.MakeNoteOnMsg(200, -5, 0, 0x30);
  EXPECT_EQ(std::tuple(msg.mStatus, msg.mData1, msg.mData2), std::tuple(0x90, 127, 0));
  EXPECT_EQ(msg.StatusMsg(), IMidiMsg::kNoteOn);

  msg.MakeControlChangeMsg(IMidiMsg::kModWheel, 2.0, 0);
  EXPECT_EQ(msg.mData2, 127);
  msg.MakeControlChangeMsg(IMidiMsg::kModWheel, std::nan(""), 0);
  EXPECT_EQ(msg.mData2, 0);
}

TEST(MidiMsg, DecodingKeepsVelocityZeroNoteOnsAndMasksMalformedDataBytes)
{
  const IMidiMsg silent(0, 0x90, 60, 0);
  EXPECT_EQ(silent.StatusMsg(), IMidiMsg::kNoteOn);
  EXPECT_EQ(silent.Velocity(), 0);
  const IMidiMsg note(0, 0x90, 0xFF, 0x80);
  EXPECT_EQ(note.NoteNumber(), 127);
  EXPECT_EQ(note.Velocity(), 0);
  const IMidiMsg cc(0, 0xB0, 0x81, 0xFF);
  EXPECT_EQ(cc.ControlChangeIdx(), IMidiMsg::kModWheel);
  EXPECT_EQ(cc.ControlChange(IMidiMsg::kModWheel), 1.0);
  EXPECT_EQ(cc.ControlChange(static_cast<IMidiMsg::EControlChangeMsg>(7)), -1.0);
  EXPECT_EQ(IMidiMsg(0, 0xE7, 0xFF, 0xFF).PitchWheel(), 8191.0 / 8192.0);
}

TEST(MidiMsg, StatusNumbersOutsideTheKindsAreNamedUnknown)
{
  for (int value : {7, 15, -1})
    EXPECT_STREQ(IMidiMsg::StatusMsgStr(static_cast<IMidiMsg::EStatusMsg>(value)), "unknown") << value;
}

TEST(SysEx, TextShowsAsManyHexBytesAsFit)
{
  const uint8_t bytes[] = {0xF0, 0x7E, 0x0A, 0xF7};
  const struct
  {
    int maxlen;
    const uint8_t* data;
    int size;
    std::string text;
  } cases[] = {
      {11, bytes, 4, "F0 7E 0A"},
      {64, bytes, -3, ""},
      {64, nullptr, 4, ""},
  };
  for (const auto& c : cases)
  {
    std::string buf(64, '#');
    EXPECT_EQ(SysExStr(buf.data(), c.maxlen, c.data, c.size), buf.data());
    EXPECT_EQ(std::string(buf.c_str()), c.text) << c.maxlen << " " << c.size;
    EXPECT_LE(buf.find('\0'), static_cast<size_t>(c.maxlen - 1));
  }
}

TEST(SysEx, TextLeavesABufferWithNoRoomUntouched)
{
  char buf[] = "x";
  const uint8_t byte = 0x12;
  EXPECT_EQ(SysExStr(buf, 0, &byte, 1), buf);
  EXPECT_STREQ(buf, "x");
}
