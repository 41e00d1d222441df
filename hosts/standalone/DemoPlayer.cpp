#include "DemoPlayer.h"

#include "DemoSong.h"

#include <algorithm>

namespace
{
// Room after the last note-off for the release before the song starts again.
constexpr double kPauseSeconds = 1.5;
} // namespace

DemoPlayer::DemoPlayer(double sampleRate) : mEvents(demoSong().schedule(sampleRate))
{
  const uint64_t last = mEvents.empty() ? 0 : mEvents.back().mFrame;
  mLoopFrames = last + uint64_t(kPauseSeconds * sampleRate);
}

void DemoPlayer::sendDue(HostModel& host, uint32_t frames)
{
  for (uint32_t done = 0; done < frames;)
  {
    const uint64_t chunk = std::min<uint64_t>(frames - done, mLoopFrames - mPosition);
    for (; mNext < mEvents.size() && mEvents[mNext].mFrame < mPosition + chunk; ++mNext)
    {
      const TimedEvent& event = mEvents[mNext];
      host.SendMidiForRender(event.mStatus, event.mData1, event.mData2, done + uint32_t(event.mFrame - mPosition));
    }
    mPosition += chunk;
    done += uint32_t(chunk);
    if (mPosition == mLoopFrames) mPosition = mNext = 0;
  }
}
