#include "SongRenderer.h"

#include "TailDetector.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace
{
// The exact length, when the options fix one.
std::optional<uint64_t> fixedLength(const RenderOptions& options, uint64_t lastEventFrame)
{
  if (options.mFrames) return *options.mFrames;
  if (options.mTailSeconds)
    return lastEventFrame + 1 + uint64_t(std::llround(*options.mTailSeconds * options.mSampleRate));
  return std::nullopt;
}
} // namespace

RenderStatus SongRenderer::open(Component component, const RenderOptions& options)
{
  OSStatus status = mHost.Open(component);
  if (status != noErr) return instrumentFailure("open", status);
  if ((status = mHost.SetSampleRate(options.mSampleRate)) != noErr)
    return instrumentFailure("take the sample rate", status);
  if ((status = mHost.SetMaxFrames(options.mBlockFrames)) != noErr)
    return instrumentFailure("take the block size", status);
  if ((status = mHost.SetStreamFormat(kAudioUnitScope_Output, 0, kInstrumentChannels)) != noErr)
    return instrumentFailure("take a stereo output", status);
  if ((status = mHost.Initialize()) != noErr) return instrumentFailure("initialise", status);
  mLeft.assign(options.mBlockFrames, 0.0f);
  mRight.assign(options.mBlockFrames, 0.0f);
  mInterleaved.assign(size_t(options.mBlockFrames) * kInstrumentChannels, 0.0f);
  return {};
}

RenderStatus SongRenderer::render(const MidiSong& song, const RenderOptions& options, WavFile& output,
                                  ProgressBar& progress)
{
  const double rate = options.mSampleRate;
  const std::vector<TimedEvent> events = song.schedule(rate);
  const uint64_t lastEventFrame = events.empty() ? 0 : events.back().mFrame;
  const std::optional<uint64_t> length = fixedLength(options, lastEventFrame);
  const double expected = double(length.value_or(lastEventFrame + uint64_t(TailDetector::kHoldSeconds * rate)));
  TailDetector tail(rate, lastEventFrame);
  float* outputs[] = {mLeft.data(), mRight.data()};
  size_t next = 0;
  mRenderedFrames = 0;
  while (!tail.finished())
  {
    const uint64_t start = mRenderedFrames;
    const uint32_t frames =
        length ? uint32_t(std::min<uint64_t>(options.mBlockFrames, *length - start)) : options.mBlockFrames;
    if (frames == 0) break;
    RenderStatus sent = sendEventsBefore(events, next, start, frames);
    if (!sent.ok()) return sent;
    mHost.SetTransport(song.mTempoMap.transportAt(start, rate));
    if (OSStatus status = mHost.Render(outputs, kInstrumentChannels, frames); status != noErr)
      return instrumentFailure("render", status);
    const uint32_t kept = length ? frames : tail.keep(outputs, kInstrumentChannels, start, frames);
    RenderStatus written = writeFrames(output, kept, options.mMono);
    if (!written.ok()) return written;
    mRenderedFrames += kept;
    progress.update(double(mRenderedFrames) / expected);
  }
  progress.finish();
  return {};
}

// Every event of the block [start, start + frames), with its offset into the block.
RenderStatus SongRenderer::sendEventsBefore(const std::vector<TimedEvent>& events, size_t& next, uint64_t start,
                                            uint32_t frames)
{
  for (; next < events.size() && events[next].mFrame < start + frames; ++next)
  {
    const TimedEvent& event = events[next];
    const OSStatus status = mHost.SendMidi(event.mStatus, event.mData1, event.mData2, uint32_t(event.mFrame - start));
    if (status != noErr) return instrumentFailure("take a MIDI event", status);
  }
  return {};
}

RenderStatus SongRenderer::writeFrames(WavFile& output, uint32_t frames, bool mono)
{
  for (uint32_t i = 0; i < frames; ++i)
  {
    if (mono)
    {
      mInterleaved[i] = (mLeft[i] + mRight[i]) * 0.5f;
      continue;
    }
    mInterleaved[2 * i] = mLeft[i];
    mInterleaved[2 * i + 1] = mRight[i];
  }
  return output.write(mInterleaved.data(), frames);
}
