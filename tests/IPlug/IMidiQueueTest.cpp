#include "IMidiQueue.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

namespace
{
// The note number doubles as an arrival tag.
void add(IMidiQueue& queue, int offset, int tag = 0)
{
  const IMidiMsg msg(offset, 0x90, static_cast<uint8_t>(tag), 100);
  queue.Add(&msg);
}

void addMany(IMidiQueue& queue, int count)
{
  for (int i = 0; i < count; ++i)
    add(queue, i);
}

using Pending = std::pair<int, int>; // offset, tag

std::vector<Pending> drain(IMidiQueue& queue)
{
  std::vector<Pending> out;
  for (; !queue.Empty(); queue.Remove())
    out.push_back({queue.Peek()->mOffset, queue.Peek()->mData1});
  return out;
}
} // namespace

TEST(MidiQueue, KeepsOffsetOrderAndArrivalOrderForEqualOffsets)
{
  IMidiQueue queue(1024);
  const int offsets[] = {10, 5, 5, 20, 0};
  for (int i = 0; i < 5; ++i)
    add(queue, offsets[i], i);
  EXPECT_EQ(drain(queue), (std::vector<Pending>{{0, 4}, {5, 1}, {5, 2}, {10, 0}, {20, 3}}));
}

TEST(MidiQueue, InsertsBehindConsumedMessagesWithoutReachingThem)
{
  IMidiQueue queue(1);
  add(queue, 1, 0);
  add(queue, 8, 1);
  add(queue, 9, 2);
  queue.Remove();
  add(queue, 0, 3); // earlier than everything still pending: goes to the front
  add(queue, 8, 4);
  EXPECT_EQ(drain(queue), (std::vector<Pending>{{0, 3}, {8, 1}, {8, 4}, {9, 2}}));
}

TEST(MidiQueue, GrowsByItsStepOnlyWhenFullAndNothingConsumed)
{
  IMidiQueue queue(1024);
  addMany(queue, 1024);
  EXPECT_EQ(queue.Capacity(), 1024);
  add(queue, 5000);
  EXPECT_EQ(queue.Capacity(), 2048);
  EXPECT_EQ(queue.NumPending(), 1025);

  IMidiQueue consumed(1024);
  addMany(consumed, 1024);
  consumed.Remove();
  add(consumed, 5000);
  EXPECT_EQ(consumed.Capacity(), 1024);
  EXPECT_EQ(consumed.NumPending(), 1024);
  EXPECT_EQ(consumed.Peek()->mOffset, 1);
}

TEST(MidiQueue, ResizeNeverDropsPendingMessages)
{
  IMidiQueue queue(1024);
  addMany(queue, 610);
  for (int i = 0; i < 10; ++i)
    queue.Remove();
  queue.Resize(100);
  EXPECT_EQ(queue.Capacity(), 1024);
  ASSERT_EQ(queue.NumPending(), 600);
  EXPECT_EQ(queue.Peek()->mOffset, 10);

  // The growth step follows the resize, not the pending count.
  addMany(queue, 424);
  add(queue, 0);
  EXPECT_EQ(queue.Capacity(), 1536);
}

TEST(MidiQueue, EmptyQueueIgnoresRemoveAndPeeksNothing)
{
  IMidiQueue queue(512);
  queue.Remove();
  EXPECT_TRUE(queue.Empty());
  EXPECT_EQ(queue.Peek(), nullptr);
  add(queue, 3, 1);
  queue.Remove();
  queue.Remove();
  queue.Add(nullptr);
  EXPECT_TRUE(queue.Empty());
  add(queue, 4, 2);
  EXPECT_EQ(drain(queue), (std::vector<Pending>{{4, 2}}));
}

TEST(MidiQueue, FlushSaturatesOffsetsInsteadOfWrapping)
{
  IMidiQueue queue(512);
  add(queue, INT_MIN + 5);
  add(queue, INT_MAX - 5);
  queue.Flush(10);
  EXPECT_EQ(queue.Peek()->mOffset, INT_MIN);
  queue.Flush(-20);
  queue.Remove();
  EXPECT_EQ(queue.Peek()->mOffset, INT_MAX);
}
