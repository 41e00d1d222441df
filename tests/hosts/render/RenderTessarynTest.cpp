// The real instrument through the renderer: the same events give the same
// samples as a host model driven by hand, and the demo plays.

#include "RenderTestSupport.h"
#include "TessarynEntry.h"

#include "HostModel.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
constexpr uint32_t kRate = 48000;
constexpr uint32_t kBlock = 256;
constexpr uint32_t kFrames = 24000;
constexpr int kPpqn = 480;

Component tessaryn()
{
  return registerTessarynComponent("/nonexistent");
}

struct Note
{
  int mPulses;
  uint8_t mStatus, mKey, mVelocity;
};

// At 120 beats per minute and 48000 Hz a pulse of 480 per beat is 50 frames.
const Note kPhrase[] = {{0, 0x90, 57, 100},   {120, 0x90, 64, 90}, {200, 0x80, 57, 0}, {240, 0x80, 64, 0},
                        {241, 0x90, 60, 110}, {300, 0xE0, 0, 80},  {400, 0xB0, 1, 64}, {420, 0x80, 60, 0}};

// The phrase through a host model, following the timing rule by hand.
std::vector<float> renderDirectly()
{
  HostModel host;
  EXPECT_EQ(host.Open(tessaryn()), noErr);
  host.SetSampleRate(kRate);
  host.SetMaxFrames(kBlock);
  host.SetStreamFormat(kAudioUnitScope_Output, 0, 2);
  EXPECT_EQ(host.Initialize(), noErr);
  std::vector<float> left(kFrames), right(kFrames);
  size_t next = 0;
  for (uint32_t start = 0; start < kFrames; start += kBlock)
  {
    for (; next < std::size(kPhrase) && uint32_t(kPhrase[next].mPulses) * 50 < start + kBlock; ++next)
      host.SendMidi(kPhrase[next].mStatus, kPhrase[next].mKey, kPhrase[next].mVelocity,
                    uint32_t(kPhrase[next].mPulses) * 50 - start);
    HostTransport transport;
    transport.mPlaying = true;
    transport.mBeat = start / 24000.0;
    transport.mSamplePosition = start;
    transport.mSamplesToNextBeat = uint32_t(std::lround((std::ceil(transport.mBeat) - transport.mBeat) * 24000));
    transport.mDownBeat = std::floor(transport.mBeat / 4) * 4;
    host.SetTransport(transport);
    float* outputs[] = {left.data() + start, right.data() + start};
    EXPECT_EQ(host.Render(outputs, 2, std::min(kBlock, kFrames - start)), noErr);
  }
  std::vector<float> interleaved;
  for (uint32_t i = 0; i < kFrames; ++i)
    interleaved.insert(interleaved.end(), {left[i], right[i]});
  return interleaved;
}

bool allFinite(const std::vector<float>& samples)
{
  return std::all_of(samples.begin(), samples.end(), [](float x) { return std::isfinite(x); });
}

float peak(const std::vector<float>& samples)
{
  float most = 0.0f;
  for (float x : samples)
    most = std::max(most, std::fabs(x));
  return most;
}
} // namespace

TEST(RenderTessarynTest, ARenderedPhraseMatchesTheSameEventsThroughTheHostModel)
{
  TemporaryFolder folder;
  const std::string song = folder.path("phrase.mid"), out = folder.path("phrase.wav");
  std::vector<MidiFileEvent> events;
  for (const Note& note : kPhrase)
    events.push_back({note.mPulses, {note.mStatus, note.mKey, note.mVelocity}});
  writeMidiFile(song, kPpqn, 120.0, events);

  CommandResult result = runCommand(tessaryn(), {song, "-o", out, "--format", "float", "--frames",
                                                 std::to_string(kFrames), "--block", std::to_string(kBlock)});
  ASSERT_EQ(result.mExitCode, 0) << result.mErr;
  WavContents wav = readWav(out);
  const std::vector<float> direct = renderDirectly();
  ASSERT_EQ(wav.mSamples.size(), direct.size());
  EXPECT_GT(peak(direct), 0.01f);
  EXPECT_EQ(wav.mSamples, direct);
}

TEST(RenderTessarynTest, TheDemoPlaysForAboutHalfAMinuteAndStaysFinite)
{
  TemporaryFolder folder;
  const std::string out = folder.path("demo.wav");
  CommandResult result = runCommand(tessaryn(), {"-o", out, "--format", "float", "--rate", "22050"});
  ASSERT_EQ(result.mExitCode, 0) << result.mErr;
  EXPECT_NE(result.mOut.find("Wrote " + out), std::string::npos);
  WavContents wav = readWav(out);
  const double seconds = double(wav.mSamples.size()) / 2 / wav.mSampleRate;
  EXPECT_GT(seconds, 29.0);
  EXPECT_LT(seconds, 41.0);
  EXPECT_TRUE(allFinite(wav.mSamples));
  EXPECT_GT(peak(wav.mSamples), 0.05f);
}
