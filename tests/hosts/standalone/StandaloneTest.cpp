// tessaryn-standalone as a user meets it, on a private JACK server.

#include "StandaloneFixture.h"
#include "TestJackClient.h"

#include <fstream>
#include <thread>

namespace
{
constexpr auto kSettle = std::chrono::milliseconds(300);
constexpr float kAudible = 0.01f;

bool exists(const std::string& path)
{
  return std::filesystem::exists(path);
}
} // namespace

using StandaloneTest = StandaloneFixture;

TEST_F(StandaloneTest, ANoteFromAJackKeyboardSoundsAtTheOutputAfterSilence)
{
  TestJackClient tester;
  const auto app = start({"--midi-in", "tester:midi_out"});
  ASSERT_TRUE(app->waitForOutput(kPlaying)) << app->errors();
  ASSERT_TRUE(tester.connect("tessaryn:out_left", "tester:in"));
  std::this_thread::sleep_for(kSettle);
  tester.takePeak();
  std::this_thread::sleep_for(kSettle);
  EXPECT_EQ(tester.takePeak(), 0.0f);
  tester.playNote();
  std::this_thread::sleep_for(kSettle);
  EXPECT_GT(tester.takePeak(), kAudible);
  EXPECT_EQ(app->quit(), 0);
  EXPECT_EQ(app->errors(), "") << "no display may be opened, nor anything else complain";
}

TEST_F(StandaloneTest, TheProgramSurvivesARestartFromAlsaToJack)
{
  // ALSA's null device takes the sound and plays nothing, as fast as it is rendered.
  const auto first = start({"--program", "5", "--backend", "alsa", "--device", "null"});
  ASSERT_TRUE(first->waitForOutput("program 5 ")) << first->errors();
  EXPECT_EQ(first->quit(), 0);
  const auto second = start({});
  ASSERT_TRUE(second->waitForOutput(kPlaying)) << second->errors();
  EXPECT_NE(second->output().find("program 5 "), std::string::npos) << second->output();
  EXPECT_EQ(second->quit(), 0);
}

TEST_F(StandaloneTest, ADamagedStateFileIsSetAsideAndReplacedOnQuit)
{
  std::filesystem::create_directories(std::filesystem::path(statePath()).parent_path());
  std::ofstream(statePath()) << "not a saved sound";
  const auto damaged = start({});
  ASSERT_TRUE(damaged->waitForOutput(kPlaying)) << damaged->errors();
  EXPECT_NE(damaged->errors().find("damaged"), std::string::npos);
  EXPECT_TRUE(exists(statePath() + ".damaged"));
  EXPECT_EQ(damaged->quit(), 0);
  const auto again = start({});
  ASSERT_TRUE(again->waitForOutput(kPlaying));
  EXPECT_EQ(again->errors(), "");
  EXPECT_EQ(again->quit(), 0);
}

TEST_F(StandaloneTest, FailuresExitWithTheirOwnCodeAndSayWhy)
{
  struct Case
  {
    std::vector<std::string> mArgs;
    int mExitCode;
    const char* mMessage;
  };
  const Case cases[] = {
      {{"--rate", "1"}, 2, "--rate"},
      {{"--program", "no such program"}, 2, "no such program"},
      {{"--state", mFolder}, 3, "cannot read the saved sound"},
      {{"--backend", "alsa", "--device", "no-such-device"}, 4, "cannot open audio: "},
  };
  for (const Case& c : cases)
  {
    const auto app = start(c.mArgs);
    EXPECT_EQ(app->exitCode(), c.mExitCode) << c.mArgs[0];
    EXPECT_NE(app->errors().find(c.mMessage), std::string::npos) << app->errors();
  }
}

TEST_F(StandaloneTest, TheDemoPlaysWithoutAKeyboard)
{
  TestJackClient tester;
  const auto app = start({"--demo"});
  ASSERT_TRUE(app->waitForOutput(kPlaying)) << app->errors();
  ASSERT_TRUE(tester.connect("tessaryn:out_right", "tester:in"));
  std::this_thread::sleep_for(kSettle * 3);
  EXPECT_GT(tester.takePeak(), kAudible);
  EXPECT_EQ(app->quit(), 0);
}
