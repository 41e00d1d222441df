// The WAV file: formats and channels, its length from --frames, --tail or the
// fade-out, and no half file when a render does not finish.

#include "RenderTestSupport.h"
#include "StepInstrument.h"
#include "TailDetector.h"
#include "WavFile.h"

#include <sndfile.h>

#include <gtest/gtest.h>

#include <csignal>
#include <tuple>

namespace
{
constexpr int kRate = kStepRate;

struct RenderOutputTest : StepRenderTest
{
  // A note held from frame 0 to `offFrame` at 8000 Hz (60 beats per minute, a pulse a frame).
  void writeNote(int offFrame, int velocity = 127)
  {
    std::vector<MidiFileEvent> events = {{0, {0x90, 60, uint8_t(velocity)}}};
    if (offFrame >= 0) events.push_back({offFrame, {0x80, 60, 0}});
    writeMidiFile(song, kRate, 60.0, events);
  }

  static size_t frames(const WavContents& wav) { return wav.mSamples.size() / size_t(std::max(wav.mChannels, 1)); }
};
} // namespace

TEST_F(RenderOutputTest, EachFormatKeepsTheSignalWithinItsResolution)
{
  writeNote(-1, 64); // 64/127 of full scale
  const std::tuple<const char*, int, float> cases[] = {{"16", SF_FORMAT_PCM_16, 1.0f / 32768},
                                                       {"24", SF_FORMAT_PCM_24, 1.0f / 8388608},
                                                       {"float", SF_FORMAT_FLOAT, 0.0f}};
  for (const auto& [format, subtype, tolerance] : cases)
  {
    WavContents wav = render({"--format", format, "--frames", "100"});
    EXPECT_EQ(wav.mFormat, SF_FORMAT_WAV | subtype) << format;
    ASSERT_EQ(wav.mChannels, 2);
    EXPECT_NEAR(wav.mSamples[198], 64.0f / 127, tolerance) << format;
  }
}

TEST_F(RenderOutputTest, MonoWritesOneChannelAndPcmClipsInsteadOfWrapping)
{
  writeMidiFile(song, kRate, 60.0, {{0, {0x90, 60, 127}}, {0, {0x90, 61, 127}}}); // twice full scale
  WavContents mono = render({"--mono", "--format", "float", "--frames", "10"});
  EXPECT_EQ(mono.mChannels, 1);
  EXPECT_EQ(mono.mSamples, std::vector<float>(10, 2.0f));
  WavContents pcm = render({"--format", "16", "--frames", "10"});
  EXPECT_NEAR(pcm.mSamples[0], 1.0f, 1e-4f);
}

TEST_F(RenderOutputTest, TheLengthIsExactWithFramesOrTailAndEndsAfterTheFadeOtherwise)
{
  const int hold = int(TailDetector::kHoldSeconds * kRate);
  const int most = int(TailDetector::kMaxSeconds * kRate);
  writeNote(1000);
  EXPECT_EQ(frames(render({"--frames", "123"})), 123u);
  EXPECT_EQ(frames(render({"--tail", "0.25"})), 1000u + 1 + 2000);
  EXPECT_EQ(frames(render({})), size_t(1000 + hold)) << "silent from the note-off on";
  writeNote(-1);
  EXPECT_EQ(frames(render({})), size_t(most)) << "a held note stops at the limit";
}

TEST(WavFileTest, AnUnfinishedFileLeavesNothingBehind)
{
  TemporaryFolder folder;
  const float frame[] = {0.5f, -0.5f};
  {
    WavFile file;
    ASSERT_TRUE(file.create(folder.path("a.wav"), kRate, 2, SampleFormat::kPcm24).ok());
    ASSERT_TRUE(file.write(frame, 1).ok());
    EXPECT_EQ(folder.fileNames().size(), 1u) << "the temporary file";
  }
  EXPECT_TRUE(folder.fileNames().empty());

  WavFile committed;
  ASSERT_TRUE(committed.create(folder.path("b.wav"), kRate, 2, SampleFormat::kFloat).ok());
  ASSERT_TRUE(committed.write(frame, 1).ok());
  ASSERT_TRUE(committed.commit().ok());
  EXPECT_EQ(folder.fileNames(), std::vector<std::string>{"b.wav"});
}

TEST(WavFileDeathTest, AnInterruptRemovesTheTemporaryFile)
{
  TemporaryFolder folder;
  EXPECT_EXIT(
      {
        WavFile::removeTemporaryOnInterrupt();
        WavFile file;
        if (file.create(folder.path("a.wav"), kRate, 2, SampleFormat::kPcm16).ok()) std::raise(SIGINT);
      },
      ::testing::ExitedWithCode(kExitInterrupted), "");
  EXPECT_TRUE(folder.fileNames().empty());
}
