// tessaryn-standalone as a user meets it, on a private JACK server.

#include "StandaloneFixture.h"
#include "TestJackClient.h"

#include "HostModel.h"
#include "IPlugAUDictionary.h"
#include "TessarynEntry.h"

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

constexpr AudioUnitParameterID kCutoff = 43; // the filter's, 0 to 1

// The instrument in this process, where the test edits programs as a user would.
std::unique_ptr<HostModel> openInstrument()
{
  auto host = std::make_unique<HostModel>();
  EXPECT_EQ(host->Open(registerTessarynComponent(std::filesystem::path(STANDALONE_PATH).parent_path().c_str())),
            noErr);
  return host;
}

// A state under a name the instrument lacks renames and stores the current program.
void renameCurrentProgram(HostModel& host, const char* name)
{
  CFPropertyListRef state = nullptr;
  ASSERT_EQ(host.GetState(&state), noErr);
  PutStrInDict(CFMutableDictionaryRef(state), "name", name);
  EXPECT_EQ(host.SetState(state), noErr);
  CFRelease(state);
}

std::pair<std::string, float> program(HostModel& host, int32_t number)
{
  float cutoff = -1.0f;
  host.SelectPreset(number);
  host.GetParameter(kCutoff, &cutoff);
  return {host.FactoryPresets().at(size_t(number)).mName, cutoff};
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

TEST_F(StandaloneTest, EditedProgramsSurviveARestartFromAlsaToJack)
{
  // The user's edits reach the first run as its startup bank: program 5
  // edited and renamed, program 7 left current with an edit not yet stored.
  const std::string edited = mFolder + "/edited.fxb";
  {
    const auto user = openInstrument();
    user->SelectPreset(5);
    user->SetParameter(kCutoff, 0.37f);
    renameCurrentProgram(*user, "Edited Five");
    user->SelectPreset(7);
    user->SetParameter(kCutoff, 0.61f);
    ASSERT_EQ(user->SaveBankFile(edited.c_str()), noErr);
  }
  std::filesystem::create_directories(mFolder + "/config/Pellworth");
  std::ofstream(mFolder + "/config/Pellworth/tessaryn.ini") << "[Startup Bank]\nFile=" << edited << "\n";

  // ALSA's null device takes the sound and plays nothing, as fast as it is rendered.
  const auto first = start({"--program", "5", "--backend", "alsa", "--device", "null"});
  ASSERT_TRUE(first->waitForOutput("program 5 Edited Five")) << first->errors();
  EXPECT_EQ(first->quit(), 0);
  std::filesystem::remove(edited);
  const auto second = start({});
  ASSERT_TRUE(second->waitForOutput(kPlaying)) << second->errors();
  EXPECT_NE(second->output().find("program 5 Edited Five"), std::string::npos) << second->output();
  EXPECT_EQ(second->quit(), 0);
  EXPECT_EQ(second->errors(), "");

  const auto later = openInstrument();
  ASSERT_EQ(later->LoadBankFile(bankPath().c_str()), noErr);
  EXPECT_EQ(program(*later, 5), std::make_pair(std::string("Edited Five"), 0.37f));
  EXPECT_EQ(program(*later, 7).second, 0.61f);
}

TEST_F(StandaloneTest, DamagedStateAndBankFilesAreSetAsideAndReplacedOnQuit)
{
  std::filesystem::create_directories(std::filesystem::path(statePath()).parent_path());
  std::ofstream(statePath()) << "not a saved sound";
  std::ofstream(bankPath()) << "not a bank";
  const auto damaged = start({});
  ASSERT_TRUE(damaged->waitForOutput(kPlaying)) << damaged->errors();
  EXPECT_NE(damaged->errors().find("damaged"), std::string::npos);
  EXPECT_TRUE(exists(statePath() + ".damaged"));
  EXPECT_TRUE(exists(bankPath() + ".damaged"));
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
