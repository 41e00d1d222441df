// tessaryn-standalone as a user meets it, on a private JACK server.

#include "StandaloneFixture.h"
#include "TestJackClient.h"

#include "HostModel.h"
#include "IPlugAUDictionary.h"
#include "TessarynEntry.h"

#include <fstream>
#include <thread>
#include <tuple>

namespace
{
constexpr AudioUnitParameterID kCutoff = 43; // the filter's, 0 to 1

// The instrument in this process, where the test edits programs as a user would.
std::unique_ptr<HostModel> openInstrument()
{
  auto host = std::make_unique<HostModel>();
  EXPECT_EQ(host->Open(registerTessarynComponent(std::filesystem::path(STANDALONE_PATH).parent_path().c_str())), noErr);
  return host;
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
  EXPECT_TRUE(tester.waitForSound(kAudible, true));
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
    // A state under a name the instrument lacks renames and stores the current program.
    CFPropertyListRef state = nullptr;
    ASSERT_EQ(user->GetState(&state), noErr);
    PutStrInDict(CFMutableDictionaryRef(state), "name", "Edited Five");
    EXPECT_EQ(user->SetState(state), noErr);
    CFRelease(state);
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
  for (const auto& [number, stored] : {std::pair(5, 0.37f), std::pair(7, 0.61f)})
  {
    float cutoff = -1.0f;
    later->SelectPreset(number);
    later->GetParameter(kCutoff, &cutoff);
    EXPECT_EQ(cutoff, stored) << number;
  }
  EXPECT_EQ(later->FactoryPresets().at(5).mName, "Edited Five");
}

TEST_F(StandaloneTest, DamagedStateAndBankFilesAreSetAsideAndReplacedOnQuit)
{
  std::filesystem::create_directories(std::filesystem::path(statePath()).parent_path());
  std::ofstream(statePath()) << "not a saved sound";
  std::ofstream(bankPath()) << "not a bank";
  const auto damaged = start({});
  ASSERT_TRUE(damaged->waitForOutput(kPlaying)) << damaged->errors();
  EXPECT_NE(damaged->errors().find("damaged"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(statePath() + ".damaged"));
  EXPECT_TRUE(std::filesystem::exists(bankPath() + ".damaged"));
  EXPECT_EQ(damaged->quit(), 0);
  const auto again = start({});
  ASSERT_TRUE(again->waitForOutput(kPlaying));
  EXPECT_EQ(again->errors(), "");
  EXPECT_EQ(again->quit(), 0);
}

TEST_F(StandaloneTest, FailuresExitWithTheirOwnCodeAndSayWhy)
{
  // Arguments, exit code and a part of the message.
  const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
      {{"--rate", "1"}, 2, "--rate"},
      {{"--program", "no such program"}, 2, "no such program"},
      {{"--state", mFolder}, 3, "cannot read the saved sound"},
      {{"--backend", "alsa", "--device", "no-such-device"}, 4, "cannot open audio: "},
  };
  for (const auto& [args, code, message] : cases)
  {
    const auto app = start(args);
    EXPECT_EQ(app->exitCode(), code) << args[0];
    EXPECT_NE(app->errors().find(message), std::string::npos) << app->errors();
  }
}

TEST_F(StandaloneTest, TheDemoPlaysWithoutAKeyboard)
{
  TestJackClient tester;
  const auto app = start({"--demo"});
  ASSERT_TRUE(app->waitForOutput(kPlaying)) << app->errors();
  ASSERT_TRUE(tester.connect("tessaryn:out_right", "tester:in"));
  EXPECT_TRUE(tester.waitForSound(kAudible, false));
  EXPECT_EQ(app->quit(), 0);
}
