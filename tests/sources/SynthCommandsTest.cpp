#include "SynthTestHost.h"

#include "swell-ini.h"

#include <filesystem>
#include <fstream>
#include <tuple>

struct SynthCommands : SynthWithEditor
{
  SynthCommands() { synth->mProgramPath.Set(folder("programs").c_str()); }
  std::string folder(const std::string& name) const
  {
    const std::string path = mConfigHome.home() + "/" + name;
    std::filesystem::create_directories(path);
    return path;
  }
  std::string ini(const char* section, const char* key) const
  {
    char value[1024];
    GetPrivateProfileString(section, key, "", value, sizeof value, synth->mIniPath.Get());
    return value;
  }
  std::string programName() const { return synth->GetPresetName(synth->GetCurrentPresetIdx()); }
};

TEST_F(SynthCommands, EachFileDialogOpensWithItsActionNameFolderAndExtensionAndCancellingChangesNothing)
{
  synth->ModifyCurrentPreset("Bass: 1/2");
  const std::string programs = synth->mProgramPath.Get();
  const std::tuple<File::Command, EFileAction, std::string, std::string, std::string> cases[] = {
      {File::LoadProgram, kFileOpen, "", programs, "fxp"},
      {File::SaveProgram, kFileSave, "Bass_ 1_2", programs, "fxp"},
      {File::LoadBank, kFileOpen, "", programs, "fxb"},
      {File::SaveBank, kFileSave, "Tessaryn", programs, "fxb"},
      {File::DefaultPath, kFileSave, "[file name is ignored]", programs, " "},
      {File::SelectStartupBank, kFileOpen, "", synth->mHomePath.Get(), "fxb"},
  };
  for (const auto& [command, action, proposedName, folder, extensions] : cases)
  {
    graphics->mFilePrompts.clear();
    synth->runFileCommand(command);
    ASSERT_EQ(graphics->mFilePrompts.size(), 1u) << command;
    const TestGraphics::FilePrompt& prompt = graphics->mFilePrompts[0];
    EXPECT_EQ(prompt.action, action) << command;
    EXPECT_EQ(prompt.proposedName, proposedName) << command;
    EXPECT_EQ(prompt.folder, folder) << command;
    EXPECT_EQ(prompt.extensions, extensions) << command;
  }
  EXPECT_EQ(synth->mProgramPath.Get(), programs);
  EXPECT_STREQ(synth->mStartupBankPath.Get(), "");
  EXPECT_TRUE(graphics->mMessages.empty());
  EXPECT_EQ(ini("Global", "Path to Program Files"), "");
}

TEST_F(SynthCommands, SavedProgramsLoadBackAndEveryChosenFileMovesTheProgramFolder)
{
  const std::string saved = folder("saved") + "/p.fxp";
  graphics->mFileChoice = saved;
  synth->SetParameterFromGUI(RecordingSynth::kProgramParam, 0.75);
  synth->runFileCommand(File::SaveProgram);
  EXPECT_EQ(synth->mProgramPath.Get(), folder("saved"));
  synth->SetParameterFromGUI(RecordingSynth::kProgramParam, 0.25);

  graphics->mFileChoice = saved;
  synth->runFileCommand(File::LoadProgram);
  EXPECT_DOUBLE_EQ(synth->GetParam(RecordingSynth::kProgramParam)->GetNormalized(), 0.75);
  EXPECT_TRUE(graphics->mMessages.empty());

  const std::string damaged = folder("damaged") + "/d.fxp";
  std::ofstream(damaged) << "CcnK but no program";
  graphics->mFileChoice = damaged;
  synth->runFileCommand(File::LoadProgram);
  EXPECT_DOUBLE_EQ(synth->GetParam(RecordingSynth::kProgramParam)->GetNormalized(), 0.75);
  EXPECT_EQ(synth->mProgramPath.Get(), folder("damaged"));

  graphics->mFileChoice = mConfigHome.home() + "/missing/folder/b.fxb";
  synth->runFileCommand(File::SaveBank);
  EXPECT_EQ(graphics->mMessages, (std::vector<std::string>{"Cannot load file!", "Cannot save file!"}));
}

TEST_F(SynthCommands, AnsweringNoToAQuestionChangesNothing)
{
  synth->mStartupBankPath.Set("/banks/s.fxb");
  graphics->mMessageBoxAnswer = kNo;
  const std::string iniPath = synth->mIniPath.Get();
  for (File::Command command : {File::PasteProgram, File::InitProgram, File::ReloadConfiguration,
                                File::SaveConfiguration, File::LoadStartupBank, File::UnselectStartupBank})
    synth->runFileCommand(command);
  EXPECT_EQ(graphics->mMessages,
            (std::vector<std::string>{
                "Do you really want to overwrite the current program?",
                "Do you really want to initialize the current program?",
                "The INI configuration file is:\n" + iniPath + "\n\nDo you really want to reload it?",
                "The INI configuration file is:\n" + iniPath + "\n\nDo you really want to overwrite it?",
                "The Startup Bank is:\n/banks/s.fxb\n\nDo you really want to reload all programs?",
                "The Startup Bank is:\n/banks/s.fxb\n\nDo you really want to unselect it?",
            }));
  EXPECT_EQ(programName(), "Program 1");
  EXPECT_STREQ(synth->mStartupBankPath.Get(), "/banks/s.fxb");
  EXPECT_EQ(std::filesystem::file_size(iniPath), 0u);
}

TEST_F(SynthCommands, SettingsChosenInTheMenuReachTheIniFileAtOnce)
{
  synth->runFileCommand(File::MidiThru);
  EXPECT_TRUE(synth->mMidiThru);
  EXPECT_EQ(ini("MIDI Global", "MIDI Thru"), "true");
  EXPECT_EQ(ini("MIDI Global", "Ignore Program Change"), "false");

  graphics->mFileChoice = folder("fxp") + "/ignored name";
  synth->runFileCommand(File::DefaultPath);
  EXPECT_EQ(ini("Global", "Path to Program Files"), folder("fxp"));

  graphics->mFileChoice = "/banks/startup.fxb";
  synth->runFileCommand(File::SelectStartupBank);
  EXPECT_EQ(ini("Startup Bank", "File"), "/banks/startup.fxb");
  synth->runFileCommand(File::LoadStartupBank);
  EXPECT_EQ(graphics->mMessages.back(), "Cannot load file!");
  synth->runFileCommand(File::UnselectStartupBank);
  EXPECT_EQ(ini("Startup Bank", "File"), "");
  EXPECT_STREQ(synth->mStartupBankPath.Get(), "");

  synth->runFileCommand(File::InitProgram);
  EXPECT_EQ(programName(), "Init");
}
