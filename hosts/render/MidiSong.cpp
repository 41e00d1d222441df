#include "MidiSong.h"

#include <cmath>

void MidiSong::overrideTempo(double tempo)
{
  const TempoSegment& first = mTempoMap.segments().front();
  mTempoMap = TempoMap(tempo, first.mNumerator, first.mDenominator);
}

std::vector<TimedEvent> MidiSong::schedule(double sampleRate) const
{
  std::vector<TimedEvent> timed;
  timed.reserve(mEvents.size());
  for (const SongEvent& event : mEvents)
  {
    const double frame = std::round(mTempoMap.secondsAt(event.mBeat) * sampleRate);
    timed.push_back({uint64_t(frame), event.mStatus, event.mData1, event.mData2});
  }
  return timed;
}
