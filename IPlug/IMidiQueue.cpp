#include "IMidiQueue.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

static_assert(sizeof(IMidiMsg) == 8, "page rounding assumes 8-byte messages");

namespace
{
constexpr int kMaxMessages = INT_MAX / IMidiQueue::kMessagesPerPage * IMidiQueue::kMessagesPerPage;

// At least one page, so that a zero or negative size (a host that has not
// reported its block size yet) still leaves a usable queue with a growth step.
int granulize(int size)
{
  if (size < 1) return IMidiQueue::kMessagesPerPage;
  if (size > kMaxMessages) return kMaxMessages;
  return (size + IMidiQueue::kMessagesPerPage - 1) / IMidiQueue::kMessagesPerPage * IMidiQueue::kMessagesPerPage;
}
} // namespace

IMidiQueue::IMidiQueue(int size) : mGrow(granulize(size))
{
  expand();
}

IMidiQueue::~IMidiQueue()
{
  free(mBuf);
}

bool IMidiQueue::reallocate(int size)
{
  void* buf = realloc(mBuf, static_cast<size_t>(size) * sizeof(IMidiMsg));
  if (!buf) return false;
  mBuf = static_cast<IMidiMsg*>(buf);
  mSize = size;
  return true;
}

bool IMidiQueue::expand()
{
  const long long size = (static_cast<long long>(mSize) / mGrow + 1) * mGrow;
  return size <= kMaxMessages && reallocate(static_cast<int>(size));
}

void IMidiQueue::compact()
{
  mBack -= mFront;
  if (mBack > 0) memmove(mBuf, mBuf + mFront, static_cast<size_t>(mBack) * sizeof(IMidiMsg));
  mFront = 0;
}

void IMidiQueue::erase(int index)
{
  --mBack;
  memmove(mBuf + index, mBuf + index + 1, static_cast<size_t>(mBack - index) * sizeof(IMidiMsg));
}

void IMidiQueue::Add(const IMidiMsg* msg)
{
  if (!msg) return;
  if (mBack == mSize)
  {
    if (mFront > 0)
      compact();
    else if (!expand())
      return;
  }
  int at = mBack;
  if (!Empty() && msg->mOffset < mBuf[mBack - 1].mOffset)
  {
    at = mBack - 1;
    while (at > mFront && mBuf[at - 1].mOffset > msg->mOffset)
      --at;
    memmove(mBuf + at + 1, mBuf + at, static_cast<size_t>(mBack - at) * sizeof(IMidiMsg));
  }
  mBuf[at] = *msg;
  ++mBack;
}

void IMidiQueue::Remove()
{
  if (!Empty()) ++mFront;
}

IMidiMsg* IMidiQueue::Peek() const
{
  return Empty() ? nullptr : mBuf + mFront;
}

void IMidiQueue::Flush(int nFrames)
{
  compact();
  // Saturates, so offsets in a queue nobody drains cannot wrap around.
  for (int i = 0; i < mBack; ++i)
  {
    const long long offset = static_cast<long long>(mBuf[i].mOffset) - nFrames;
    mBuf[i].mOffset = static_cast<int>(std::clamp<long long>(offset, INT_MIN, INT_MAX));
  }
}

void IMidiQueue::Resize(int size)
{
  if (mFront > 0) compact();
  mGrow = granulize(size);
  const int capacity = mBack > mGrow ? granulize(mBack) : mGrow;
  if (capacity != mSize) reallocate(capacity);
}
