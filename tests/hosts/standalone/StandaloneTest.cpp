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

// The instrument in this process, as a user edits it in the editor.
class UserInstrument
{
public:
  UserInstrument()
  {
    EXPECT_EQ(mHost.Open(registerTessarynComponent(std::filesystem::path(STANDALONE_PATH).parent_path().c_str())),
              noErr);
  }
  HostModel& host() { return mHost; }

  // Sets the cutoff a fraction into its range and, with a name, renames and
  // stores the program; returns the value as the instrument keeps it.
  float edit(int32_t number, float fraction, const char* name = nullptr)
  {
    HostParameterInfo info;
    mHost.GetParameterInfo(kEdited, info);
    const float factory = program(number).second;
    mHost.SetParameter(kEdited, info.mMin + fraction * (info.mMax - info.mMin));
    EXPECT_NE(program(number).second, factory);
    if (name) rename(name);
    return program(number).second;
  }

  // The name and the edited value of a program, which becomes the current one.
  std::pair<std::string, float> program(int32_t number)
  {
    if (HostPreset current; mHost.CurrentPreset(current) != noErr || current.mNumber != number)
      mHost.SelectPreset(number);
    AudioUnitParameterValue value = 0.0f;
    mHost.GetParameter(kEdited, &value);
    return {mHost.FactoryPresets().at(size_t(number)).mName, value};
  }

private:
  // A state under a name the instrument lacks comes back as the current program, renamed.
  void rename(const char* name)
  {
    CFPropertyListRef state = nullptr;
    ASSERT_EQ(mHost.GetState(&state), noErr);
    PutStrInDict(CFMutableDictionaryRef(state), "name", name);
    EXPECT_EQ(mHost.SetState(state), noErr);
    CFRelease(state);
  }

  static constexpr AudioUnitParameterID kEdited = 43; // the filter's cutoff
  HostModel mHost;
};
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
  float five = 0.0f, seven = 0.0f;
  {
    UserInstrument user;
    five = user.edit(5, 0.37f, "Edited Five");
    seven = user.edit(7, 0.61f);
    ASSERT_EQ(user.host().SaveBankFile(edited.c_str()), noErr);
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

  UserInstrument later;
  ASSERT_EQ(later.host().LoadBankFile(bankPath().c_str()), noErr);
  EXPECT_EQ(later.program(5), std::make_pair(std::string("Edited Five"), five));
  EXPECT_EQ(later.program(7).second, seven);
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
