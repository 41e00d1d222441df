#include "SynthTestHost.h"

#include "swell-ini.h"

#include <sys/stat.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <string>

namespace
{
std::string readText(const std::string& path)
{
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

void writeText(const std::string& path, const std::string& text)
{
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

mode_t modeOf(const std::string& path)
{
  struct stat status = {};
  EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
  return status.st_mode & 07777;
}

// Changes the process's file-creation mask for one scope.
struct ScopedUmask
{
  explicit ScopedUmask(mode_t mask) : mSaved(umask(mask)) {}
  ~ScopedUmask() { umask(mSaved); }
  mode_t mSaved;
};

} // namespace

struct SynthConfigTest : ::testing::Test
{
  static std::string iniPathIn(const ScopedConfigHome& home) { return home.xdg() + "/Pellworth/tessaryn.ini"; }
  std::string iniPath() const { return iniPathIn(mHome); }
  void store(const char* section, const char* key, const char* value)
  {
    ASSERT_TRUE(WritePrivateProfileString(section, key, value, iniPath().c_str()));
  }

  ScopedConfigHome mHome;
};

TEST_F(SynthConfigTest, ANewInstallationGetsTheFolderWithExactlyItsModeAndAnEmptyIniFile)
{
  std::unique_ptr<RecordingSynth> shell;
  {
    ScopedUmask mask(027);
    shell = makeShell();
  }
  EXPECT_EQ(modeOf(mHome.xdg() + "/Pellworth"), 0774u);
  EXPECT_EQ(std::string(shell->mIniPath.Get()), iniPath());
  ASSERT_TRUE(std::filesystem::exists(iniPath()));
  EXPECT_EQ(std::filesystem::file_size(iniPath()), 0u);
  EXPECT_EQ(std::string(shell->mProgramPath.Get()), mHome.home());
}

TEST_F(SynthConfigTest, AnExistingFolderKeepsItsMode)
{
  std::filesystem::create_directories(mHome.xdg() + "/Pellworth");
  chmod((mHome.xdg() + "/Pellworth").c_str(), 0700);
  makeShell();
  EXPECT_EQ(modeOf(mHome.xdg() + "/Pellworth"), 0700u);
  EXPECT_TRUE(std::filesystem::exists(iniPath()));
}

TEST_F(SynthConfigTest, TheFileLivesUnderXdgConfigHomeElseUnderDotConfigInHome)
{
  ScopedEnv restoreXdg("XDG_CONFIG_HOME");
  const std::string dotConfig = mHome.home() + "/.config/Pellworth";
  const std::string elsewhere = (mHome.root() / "elsewhere").string();
  const struct
  {
    const char* how;
    std::optional<std::string> xdg;
    std::string expectedFolder;
  } cases[] = {
      {"unset", std::nullopt, dotConfig},
      {"empty", "", dotConfig},
      {"relative", "relative/config", dotConfig},
      {"absolute", elsewhere, elsewhere + "/Pellworth"},
  };
  for (const auto& c : cases)
  {
    if (c.xdg)
      setenv("XDG_CONFIG_HOME", c.xdg->c_str(), 1);
    else
      unsetenv("XDG_CONFIG_HOME");
    std::unique_ptr<RecordingSynth> shell = makeShell();
    EXPECT_EQ(std::string(shell->mIniPath.Get()), c.expectedFolder + "/tessaryn.ini") << c.how;
    EXPECT_EQ(modeOf(c.expectedFolder), 0774u) << c.how;
    EXPECT_TRUE(std::filesystem::exists(c.expectedFolder + "/tessaryn.ini")) << c.how;
  }
}

TEST_F(SynthConfigTest, TheMidiOptionsReadTrueIgnoringCaseAndAnEmptyValueKeepsThem)
{
  std::unique_ptr<RecordingSynth> shell = makeShell();
  const struct
  {
    const char* key;
    std::atomic<bool> RecordingSynth::*option;
  } keys[] = {{"MIDI Thru", &RecordingSynth::mMidiThru},
              {"Ignore Program Change", &RecordingSynth::mIgnoreProgramChange}};
  const struct
  {
    const char* stored; // null: the key is missing
    bool before;
    bool after;
  } cases[] = {
      {"TRUE", false, true}, {"False", true, false}, {"yes", true, false}, {"", true, true}, {nullptr, true, true}};
  for (const auto& k : keys)
    for (const auto& c : cases)
    {
      store("MIDI Global", k.key, c.stored);
      (*shell).*k.option = c.before;
      shell->loadConfig();
      EXPECT_EQ((*shell).*k.option, c.after) << k.key << "=" << (c.stored ? c.stored : "(missing)");
    }
}

TEST_F(SynthConfigTest, AControllerEntryAssignsItsLeadingNumberAndOtherTextClearsIt)
{
  std::unique_ptr<RecordingSynth> shell = makeShell();
  const struct
  {
    const char* stored; // null: the key is missing
    int expected;       // the entry held 5 before
  } cases[] = {{"12", 12}, {"abc", -1}, {"-1", -1},   {"  7", 7},          {"", 5},
               {"3x", 3},  {"-0", -1},  {"500", 500}, {"99999999999", -1}, {"'4'", 4}};
  for (const auto& c : cases)
  {
    store("MIDI Control", "CC7", c.stored);
    shell->mMidiControlParam[7] = 5;
    shell->loadConfig();
    EXPECT_EQ(shell->midiControlParam(7), c.expected) << (c.stored ? c.stored : "(missing)");
  }
}

TEST_F(SynthConfigTest, ThePathsAreReadUpTo1023CharactersAndAMissingStartupBankMeansNone)
{
  std::unique_ptr<RecordingSynth> shell = makeShell();
  shell->mStartupBankPath.Set("/old/bank.fxb");
  store("Startup Bank", "File", "");
  store("Global", "Path to Program Files", "");
  shell->loadConfig();
  EXPECT_STREQ(shell->mStartupBankPath.Get(), "");
  EXPECT_EQ(std::string(shell->mProgramPath.Get()), mHome.home());

  const std::string longPath = "/" + std::string(1500, 'p');
  store("Startup Bank", "File", "/banks/Startup.fxb");
  store("Global", "Path to Program Files", longPath.c_str());
  shell->loadConfig();
  EXPECT_STREQ(shell->mStartupBankPath.Get(), "/banks/Startup.fxb");
  EXPECT_EQ(std::string(shell->mProgramPath.Get()), longPath.substr(0, 1023));
}

TEST_F(SynthConfigTest, SavingANewInstallationWritesTheMidiOptionsAndAnEmptyStartupBank)
{
  std::unique_ptr<RecordingSynth> shell = makeShell();
  EXPECT_TRUE(shell->saveConfig(false));
  EXPECT_EQ(readText(iniPath()), "[MIDI Global]\n"
                                 "Ignore Program Change=false\n"
                                 "MIDI Thru=false\n"
                                 "\n"
                                 "[Startup Bank]\n"
                                 "File=\n"
                                 "\n");
}

TEST_F(SynthConfigTest, SavingEverythingOrTheMidiOptionsOnlyWritesExactlyTheirSectionsAndKeys)
{
  const struct
  {
    bool midiGlobalOnly;
    const char* expected;
  } cases[] = {
      {false, "[Editor]\n\n"
              "[Global]\nPath to Program Files=/music\n\n"
              "[MIDI Control]\nCC1=3\nCC10=0\nCC2=69\n\n"
              "[MIDI Global]\nIgnore Program Change=true\nMIDI Thru=false\n\n"
              "[Startup Bank]\nFile=/banks/my.fxb\n\n"},
      {true, "[Editor]\nZoom=2\n\n"
             "[Global]\nPath to Program Files=/music\n\n"
             "[MIDI Control]\nCC5=9\n\n"
             "[MIDI Global]\nIgnore Program Change=true\nMIDI Thru=false\n\n"
             "[Startup Bank]\nFile=/banks/my.fxb\n\n"},
  };
  for (const auto& c : cases)
  {
    ScopedConfigHome caseHome; // a file of its own, whatever the INI store cached of the last
    const std::string path = iniPathIn(caseHome);
    writeText(path, "[Editor]\nZoom=2\n[Global]\nPath to Program Files=/music\n"
                    "[MIDI Control]\nCC5=9\n[Startup Bank]\nFile=/old.fxb\nStale=1\n");
    std::unique_ptr<RecordingSynth> shell = makeShell();
    ASSERT_EQ(shell->midiControlParam(5), 9);
    shell->mMidiControlParam[5] = -1;
    shell->mMidiControlParam[1] = 3;
    shell->mMidiControlParam[10] = 0;
    shell->mMidiControlParam[2] = 69;
    shell->mIgnoreProgramChange = true;
    shell->mStartupBankPath.Set("/banks/my.fxb");

    EXPECT_TRUE(shell->saveConfig(c.midiGlobalOnly));
    EXPECT_EQ(readText(path), c.expected) << c.midiGlobalOnly;
  }
}

TEST_F(SynthConfigTest, TheStartupBankIsWrittenAloneInItsSectionAndUnsettingEmptiesIt)
{
  std::unique_ptr<RecordingSynth> shell = makeShell();
  store("Startup Bank", "Stale", "1");
  const struct
  {
    const char* path;
    const char* expected;
  } cases[] = {{"/banks/Startup.fxb", "[Startup Bank]\nFile=/banks/Startup.fxb\n\n"},
               {"", "[Startup Bank]\nFile=\n\n"}};
  for (const auto& c : cases)
  {
    shell->mStartupBankPath.Set(c.path);
    EXPECT_TRUE(shell->saveStartupFxb());
    EXPECT_EQ(readText(iniPath()), c.expected) << c.path;
  }

  shell->mStartupBankPath.Set("/banks/Startup.fxb");
  EXPECT_TRUE(shell->unsetStartupFxb());
  EXPECT_STREQ(shell->mStartupBankPath.Get(), "");
  EXPECT_EQ(readText(iniPath()), "[Startup Bank]\n\n");
}

TEST_F(SynthConfigTest, LearnedControllersAndOptionsSurviveSavingAndTheNextStart)
{
  {
    std::unique_ptr<RecordingSynth> shell = makeShell();
    shell->doMidiLearn(true);
    shell->setMidiLearnCC(7);
    shell->setMidiLearnParam(4);
    shell->mMidiThru = true;
    ASSERT_TRUE(shell->saveConfig(false));
  }
  std::unique_ptr<RecordingSynth> next = makeShell();
  for (int controller = 0; controller < Synth::kNumControllers; ++controller)
    EXPECT_EQ(next->midiControlParam(controller), controller == 7 ? 4 : -1) << controller;
  EXPECT_TRUE(next->mMidiThru);
  EXPECT_FALSE(next->mIgnoreProgramChange);
}

TEST(SynthFilePaths, TheFolderOfAFileIsTheTextBeforeItsLastSeparatorNeverTheFirstCharacter)
{
  const struct
  {
    const char* file;
    const char* folder;
  } cases[] = {
      {"/a/b.fxp", "/a"}, {"b.fxp", ""}, {"/b.fxp", ""}, {"C:\\x\\y.fxb", "C:\\x"}, {"/a/b\\c.fxp", "/a/b"}, {"", ""},
  };
  for (const auto& c : cases)
  {
    WDL_String folder("untouched");
    makeNewFilePath(folder, WDL_String(c.file));
    EXPECT_STREQ(folder.Get(), c.folder) << c.file;

    WDL_String same(c.file);
    makeNewFilePath(same, same);
    EXPECT_STREQ(same.Get(), c.folder) << c.file << " in place";
  }
}

TEST(SynthFilePaths, TheProposedProgramFileNameReplacesTheNineRefusedCharactersInAtMost63)
{
  const std::string longName(70, 'n');
  const struct
  {
    const char* name;
    std::string expected;
  } cases[] = {
      {"a\"b*c/d:e<f>g?h\\i|j", "a_b_c_d_e_f_g_h_i_j"},
      {"Brass 'n' Strings (old) #2", "Brass 'n' Strings (old) #2"},
      {longName.c_str(), longName.substr(0, 63)},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(std::string(defaultProgramFileName(c.name).Get()), c.expected) << c.name;
}
