// Events land at round(t × rate) and take effect at that frame whatever the
// block size; the transport follows the file's tempo map.

#include "MidiSong.h"
#include "RenderTestSupport.h"
#include "StepInstrument.h"

#include <gtest/gtest.h>

#include <utility>

namespace
{
// At 60 beats per minute, 8000 pulses per beat and 8000 Hz, one pulse is one frame.
constexpr int kRate = kStepRate;
constexpr int kPpqn = 8000;
constexpr double kTempo = 60.0;

const auto noteOn = [](int note) { return std::vector<uint8_t>{0x90, uint8_t(note), 127}; };
const auto noteOff = [](int note) { return std::vector<uint8_t>{0x80, uint8_t(note), 0}; };

struct RenderTimingTest : StepRenderTest
{
  // The left channel of a float render.
  std::vector<float> renderLeft(std::vector<std::string> options)
  {
    options.insert(options.end(), {"--format", "float"});
    const WavContents wav = render(options);
    std::vector<float> left;
    for (size_t i = 0; i < wav.mSamples.size(); i += size_t(wav.mChannels))
      left.push_back(wav.mSamples[i]);
    return left;
  }
};
} // namespace

TEST_F(RenderTimingTest, EventsAtTheLastFrameOfABlockAndTheFirstOfTheNextTakeEffectThere)
{
  writeMidiFile(song, kPpqn, kTempo, {{255, noteOn(60)}, {256, noteOn(62)}, {511, noteOff(60)}, {512, noteOff(62)}});
  std::vector<float> left = renderLeft({"--block", "256", "--frames", "600"});
  ASSERT_EQ(left.size(), 600u);
  const std::pair<size_t, float> expected[] = {{0, 0.0f},   {254, 0.0f}, {255, 1.0f}, {256, 2.0f},
                                               {510, 2.0f}, {511, 1.0f}, {512, 0.0f}};
  for (const auto& [frame, value] : expected)
    EXPECT_EQ(left[frame], value) << "frame " << frame;
}

TEST_F(RenderTimingTest, TheTransportAndTheEventsFollowTheFilesTempoOrTheTempoOption)
{
  // Two beats at 60, then 120 beats per minute: beat 3 lies at 2.5 s, or at 0.75 s at 240.
  writeMidiFile(song, kPpqn, kTempo, {{2 * kPpqn, tempoEvent(120.0)}, {3 * kPpqn, noteOn(60)}});
  StepInstrument::sTransports.clear();
  std::vector<float> fromMap = renderLeft({"--block", "4000", "--frames", "24000"});
  ASSERT_EQ(StepInstrument::sTransports.size(), 6u);
  EXPECT_EQ(StepInstrument::sTransports[3].mTempo, 60.0);
  EXPECT_DOUBLE_EQ(StepInstrument::sTransports[3].mPPQPos, 1.5);
  EXPECT_EQ(StepInstrument::sTransports[4].mTempo, 120.0);
  EXPECT_DOUBLE_EQ(StepInstrument::sTransports[4].mPPQPos, 2.0);
  EXPECT_EQ(fromMap[5 * kRate / 2 - 1], 0.0f);
  EXPECT_EQ(fromMap[5 * kRate / 2], 1.0f);

  std::vector<float> at240 = renderLeft({"--frames", "8000", "--tempo", "240"});
  EXPECT_EQ(at240[3 * kRate / 4 - 1], 0.0f);
  EXPECT_EQ(at240[3 * kRate / 4], 1.0f);
}

TEST(MidiSongTest, EventsLieAtTheRoundedFrameOfTheirTime)
{
  // 120 beats per minute at 8000 Hz: 4000 frames a beat.
  MidiSong song;
  const std::pair<double, uint64_t> cases[] = {{5.0 / 960, 21}, {0.000125, 1}, {0.0001, 0}};
  for (const auto& [beat, frame] : cases)
    song.mEvents.push_back({beat, 0x90, 60, 100});
  std::vector<TimedEvent> timed = song.schedule(kRate);
  for (size_t i = 0; i < timed.size(); ++i)
    EXPECT_EQ(timed[i].mFrame, cases[i].second) << "beat " << cases[i].first;
}

TEST(TempoMapTest, BarsFollowTheSignatureFromItsChange)
{
  TempoMap map(120.0, 3, 4);
  map.addChange(6.0, 60.0, 6, 8); // two bars of 3/4, then 6/8 at half the tempo
  EXPECT_DOUBLE_EQ(map.secondsAt(7.0), 4.0);
  EXPECT_DOUBLE_EQ(map.beatAt(4.0), 7.0);
  HostTransport after = map.transportAt(uint64_t(7.5 * 48000), 48000.0); // beat 10.5
  EXPECT_EQ(after.mTempo, 60.0);
  EXPECT_EQ(after.mDownBeat, 9.0);
  EXPECT_EQ(after.mDenominator, 8u);
  EXPECT_EQ(after.mSamplesToNextBeat, 24000u);
}
