#include "FileContents.h"
#include "SynthTestHost.h"

#include "swell-ini.h"

#include <sys/stat.h>

#include <string>
#include <tuple>
#include <utility>

struct SynthConfigTest : ::testing::Test
{
  static std::string iniPathIn(const ScopedConfigHome& home) { return home.xdg() + "/Pellworth/tessaryn.ini"; }
  std::string iniPath() const { return iniPathIn(mHome); }

  ScopedConfigHome mHome;
};

TEST_F(SynthConfigTest, ANewInstallationGetsTheFolderWithExactlyItsModeAndAnEmptyIniFile)
{
  const mode_t savedMask = umask(027);
  std::unique_ptr<RecordingSynth> shell = makeShell();
  umask(savedMask);
  struct stat folder = {};
  ASSERT_EQ(stat((mHome.xdg() + "/Pellworth").c_str(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 07777, 0774u);
  EXPECT_EQ(std::string(shell->mIniPath.Get()), iniPath());
  ASSERT_TRUE(std::filesystem::exists(iniPath()));
  EXPECT_EQ(std::filesystem::file_size(iniPath()), 0u);
  EXPECT_EQ(std::string(shell->mProgramPath.Get()), mHome.home());
}

TEST_F(SynthConfigTest, TheFileLivesUnderAnAbsoluteXdgConfigHomeElseUnderDotConfigInHome)
{
  ScopedEnv restoreXdg("XDG_CONFIG_HOME");
  const std::string dotConfig = mHome.home() + "/.config/Pellworth";
  const std::string elsewhere = (mHome.root() / "elsewhere").string();
  const std::pair<std::string, std::string> cases[] = {
      {"", dotConfig}, {"relative/config", dotConfig}, {elsewhere, elsewhere + "/Pellworth"}};
  for (const auto& [xdg, expectedFolder] : cases)
  {
    setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
    std::unique_ptr<RecordingSynth> shell = makeShell();
    EXPECT_EQ(std::string(shell->mIniPath.Get()), expectedFolder + "/tessaryn.ini") << xdg;
    EXPECT_TRUE(std::filesystem::exists(expectedFolder + "/tessaryn.ini")) << xdg;
  }
}

// Each row stores one key over a shell whose Thru is on, Ignore Program
// Change off, CC7 at 5 and startup bank /old.fxb.
TEST_F(SynthConfigTest, LoadingReadsEachKindOfKeyAndAnEmptyValueKeepsTheSetting)
{
  std::unique_ptr<RecordingSynth> shell = makeShell();
  using Read = std::string (*)(RecordingSynth&);
  const Read thru = [](RecordingSynth& s) { return std::to_string(s.mMidiThru); };
  const Read ignore = [](RecordingSynth& s) { return std::to_string(s.mIgnoreProgramChange); };
  const Read cc7 = [](RecordingSynth& s) { return std::to_string(s.midiControlParam(7)); };
  const Read bank = [](RecordingSynth& s) { return std::string(s.mStartupBankPath.Get()); };
  const Read programs = [](RecordingSynth& s) { return std::string(s.mProgramPath.Get()); };
  const Read scale = [](RecordingSynth& s) { return std::to_string(s.userEditorScale()); };
  const std::string longPath = "/" + std::string(1500, 'p');
  const std::tuple<const char*, const char*, const char*, Read, std::string> cases[] = {
      {"MIDI Global", "Ignore Program Change", "TRUE", ignore, "1"},
      {"MIDI Global", "MIDI Thru", "yes", thru, "0"},
      {"MIDI Global", "MIDI Thru", "", thru, "1"},
      {"MIDI Control", "CC7", "  7", cc7, "7"},
      {"MIDI Control", "CC7", "3x", cc7, "3"},
      {"MIDI Control", "CC7", "abc", cc7, "-1"},
      {"MIDI Control", "CC7", "99999999999", cc7, "-1"},
      {"MIDI Control", "CC7", "", cc7, "5"},
      {"Startup Bank", "File", "", bank, ""},
      {"Global", "Path to Program Files", "", programs, mHome.home()},
      {"Global", "Path to Program Files", longPath.c_str(), programs, longPath.substr(0, 1023)},
      {"Display", "Scale", "1.5", scale, "1.500000"},
      {"Display", "Scale", "-2", scale, "0.000000"},
  };
  for (const auto& [section, key, stored, read, expected] : cases)
  {
    ASSERT_TRUE(WritePrivateProfileString(section, key, stored, iniPath().c_str()));
    shell->mMidiThru = true;
    shell->mIgnoreProgramChange = false;
    shell->mMidiControlParam[7] = 5;
    shell->mStartupBankPath.Set("/old.fxb");
    shell->loadConfig();
    EXPECT_EQ(read(*shell), expected) << key << "=" << stored;
  }
}

TEST_F(SynthConfigTest, SavingEverythingOrTheMidiOptionsOnlyWritesExactlyTheirSectionsAndKeys)
{
  const std::pair<bool, const char*> cases[] = {
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
  for (const auto& [midiGlobalOnly, expected] : cases)
  {
    ScopedConfigHome caseHome; // a file of its own, whatever the INI store cached of the last
    const std::string path = iniPathIn(caseHome);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    writeFile(path, "[Editor]\nZoom=2\n[Global]\nPath to Program Files=/music\n"
                    "[MIDI Control]\nCC5=9\n[Startup Bank]\nFile=/old.fxb\nStale=1\n");
    std::unique_ptr<RecordingSynth> shell = makeShell();
    ASSERT_EQ(shell->midiControlParam(5), 9);
    shell->mMidiControlParam[5] = -1;
    shell->mMidiControlParam[1] = 3;
    shell->mMidiControlParam[10] = 0;
    shell->mMidiControlParam[2] = 69;
    shell->mIgnoreProgramChange = true;
    shell->mStartupBankPath.Set("/banks/my.fxb");

    EXPECT_TRUE(shell->saveConfig(midiGlobalOnly));
    EXPECT_EQ(readFile(path), expected) << midiGlobalOnly;
  }
}

TEST(SynthFilePaths, TheFolderNeverKeepsTheFirstCharacterAndProposedNamesAreCleanedAndCut)
{
  WDL_String folder("/b.fxp");
  makeNewFilePath(folder, folder);
  EXPECT_STREQ(folder.Get(), "");
  makeNewFilePath(folder, WDL_String("C:\\x\\y.fxb"));
  EXPECT_STREQ(folder.Get(), "C:\\x");
  EXPECT_STREQ(defaultProgramFileName("a\"b*c/d:e<f>g?h\\i|j").Get(), "a_b_c_d_e_f_g_h_i_j");
  EXPECT_EQ(std::string(defaultProgramFileName(std::string(70, 'n').c_str()).Get()), std::string(63, 'n'));
}
