#include "ByteChunk.h"

#include <gtest/gtest.h>

#include <climits>

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
