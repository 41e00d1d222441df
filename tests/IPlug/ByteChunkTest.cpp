#include "ByteChunk.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

TEST(ByteChunk, ValuesRoundTripInLittleEndianWithoutPadding)
{
  ByteChunk chunk;
  const int i = 0x01020304;
  const double d = -2.5;
  chunk.Put(&i);
  chunk.PutBool(true);
  EXPECT_EQ(chunk.Put(&d), 13);
  EXPECT_EQ(chunk.GetBytes()[0], 0x04);
  EXPECT_EQ(chunk.GetBytes()[4], 1);

  int readInt = 0;
  bool readBool = false;
  double readDouble = 0.0;
  int pos = chunk.Get(&readInt, 0);
  pos = chunk.GetBool(&readBool, pos);
  pos = chunk.Get(&readDouble, pos);
  EXPECT_EQ(pos, 13);
  EXPECT_EQ(readInt, i);
  EXPECT_TRUE(readBool);
  EXPECT_EQ(readDouble, d);
}

TEST(ByteChunk, AFailedReadReturnsMinusOneAndLeavesTheTarget)
{
  ByteChunk chunk;
  chunk.Resize(3);
  int value = 7;
  EXPECT_EQ(chunk.Get(&value, 0), -1);
  EXPECT_EQ(chunk.Get(&value, -1), -1);
  EXPECT_EQ(chunk.Get(&value, INT_MAX - 1), -1);
  EXPECT_EQ(value, 7);
  char bytes[2];
  EXPECT_EQ(chunk.GetBytes(bytes, -1, 0), -1);
  EXPECT_EQ(chunk.GetBytes(bytes, 2, 1), 3);
}

TEST(ByteChunk, ANegativeOrWrappingStringLengthIsAFailedRead)
{
  for (const int length : {-1, INT_MIN, INT_MAX - 3})
  {
    ByteChunk chunk;
    chunk.Put(&length);
    chunk.PutStr("payload");
    WDL_String text("kept");
    EXPECT_EQ(chunk.GetStr(&text, 0), -1) << length;
    EXPECT_STREQ(text.Get(), "kept");
  }
}
