// The options menu's commands: their questions, file dialogs and messages.

#include "synth.h"

#include "IGraphics.h"

#include <string>

namespace
{
constexpr int kMessageOk = 0;
constexpr int kMessageYesNo = 4;
constexpr int kAnswerNo = 7;
constexpr int kPathTextSize = 1024;
constexpr const char* kIniCaption = "Problem with INI File";

std::string withPath(const char* format, const WDL_String& path)
{
  char text[kPathTextSize + 128];
  snprintf(text, sizeof text, format, std::string(path.Get()).substr(0, kPathTextSize).c_str());
  return text;
}
} // namespace

void Synth::runFileCommand(File::Command command)
{
  if (!confirmCommand(command)) return;
  switch (command)
  {
  case File::CopyProgram:
    copyPreset();
    break;
  case File::PasteProgram:
    pastePreset();
    break;
  case File::InitProgram:
    initPreset();
    break;
  case File::LoadProgram:
    loadFile("fxp", &Synth::loadTessarynProgramFromFXP);
    break;
  case File::SaveProgram:
    saveFile("fxp", defaultProgramFileName(GetPresetName(GetCurrentPresetIdx())).Get(), &IPlugBase::SaveProgramAsFXP);
    break;
  case File::LoadBank:
    loadFile("fxb", &Synth::loadTessarynBankFromFXB);
    break;
  case File::SaveBank:
    saveFile("fxb", "Tessaryn", &IPlugBase::SaveBankAsFXB);
    break;
  case File::DefaultPath:
    chooseProgramFolder();
    break;
  case File::ReloadConfiguration:
    loadConfig();
    break;
  case File::SaveConfiguration:
    reportIniWrite(saveConfig(false));
    break;
  case File::SelectStartupBank:
    selectStartupBank();
    break;
  case File::LoadStartupBank:
    if (!loadTessarynBankFromFXB(&mStartupBankPath)) tell("Cannot load file!", "Error");
    break;
  case File::UnselectStartupBank:
    reportIniWrite(unsetStartupFxb());
    break;
  case File::MidiThru:
    toggleOption(mMidiThru);
    break;
  case File::IgnoreProgramChange:
    toggleOption(mIgnoreProgramChange);
    break;
  case File::CheckForUpdate:
    checkVersionAgainstWeb();
    break;
  case File::VisitWebSite:
    break; // the menu opens the site itself
  }
}

// False when the user answers No to the command's question; commands that
// ask nothing go ahead.
bool Synth::confirmCommand(File::Command command)
{
  static const struct
  {
    File::Command command;
    const char* question; // with %s for the file it names
    const char* caption;
    WDL_String Synth::*file;
  } kQuestions[] = {
      {File::PasteProgram, "Do you really want to overwrite the current program?", "Paste Program", nullptr},
      {File::InitProgram, "Do you really want to initialize the current program?", "Initialize Program", nullptr},
      {File::ReloadConfiguration, "The INI configuration file is:\n%s\n\nDo you really want to reload it?",
       "Reload Configuration", &Synth::mIniPath},
      {File::SaveConfiguration, "The INI configuration file is:\n%s\n\nDo you really want to overwrite it?",
       "Save Configuration", &Synth::mIniPath},
      {File::LoadStartupBank, "The Startup Bank is:\n%s\n\nDo you really want to reload all programs?",
       "Load Startup Bank", &Synth::mStartupBankPath},
      {File::UnselectStartupBank, "The Startup Bank is:\n%s\n\nDo you really want to unselect it?",
       "Unselect Startup Bank", &Synth::mStartupBankPath},
  };
  for (const auto& q : kQuestions)
    if (q.command == command) return confirm(q.file ? withPath(q.question, this->*q.file) : q.question, q.caption);
  return true;
}

bool Synth::confirm(const std::string& question, const char* caption)
{
  return mEditorGraphics && mEditorGraphics->ShowMessageBox(question.c_str(), caption, kMessageYesNo) != kAnswerNo;
}

void Synth::tell(const std::string& message, const char* caption)
{
  if (mEditorGraphics) mEditorGraphics->ShowMessageBox(message.c_str(), caption, kMessageOk);
}

// The proposal in `file` is replaced by the user's choice, empty when cancelled.
bool Synth::askForFile(WDL_String& file, EFileAction action, const WDL_String& folder, const char* extensions)
{
  if (!mEditorGraphics) return false;
  WDL_String startFolder(folder);
  std::string extensionList(extensions);
  mEditorGraphics->PromptForFile(&file, action, &startFolder, extensionList.data());
  return file.GetLength() > 0;
}

void Synth::loadFile(const char* extension, bool (Synth::*load)(WDL_String*))
{
  WDL_String file;
  if (!askForFile(file, kFileOpen, mProgramPath, extension)) return;
  const bool loaded = (this->*load)(&file);
  makeNewFilePath(mProgramPath, file);
  if (!loaded) tell("Cannot load file!", "Error");
}

void Synth::saveFile(const char* extension, const char* proposedName, bool (IPlugBase::*save)(WDL_String*))
{
  WDL_String file(proposedName);
  if (!askForFile(file, kFileSave, mProgramPath, extension)) return;
  bool saved;
  {
    WDL_MutexLock lock(&mMutex);
    ModifyCurrentPreset(nullptr);
    saved = (this->*save)(&file);
  }
  makeNewFilePath(mProgramPath, file);
  if (!saved) tell("Cannot save file!", "Error");
}

// Only the folder of the chosen name counts; it is the one setting of the
// command that lives on in the configuration.
void Synth::chooseProgramFolder()
{
  WDL_String file("[file name is ignored]");
  if (!askForFile(file, kFileSave, mProgramPath.GetLength() ? mProgramPath : mHomePath, " ")) return;
  makeNewFilePath(mProgramPath, file);
  reportIniWrite(saveProgramPath());
}

// The bank is only remembered here; it is loaded at the next start or by
// "Load Startup Bank".
void Synth::selectStartupBank()
{
  WDL_String file;
  if (!askForFile(file, kFileOpen, mHomePath, "fxb")) return;
  mStartupBankPath = file;
  reportIniWrite(saveStartupFxb());
}

void Synth::toggleOption(std::atomic<bool>& option)
{
  option = !option;
  reportIniWrite(saveConfig(true));
}

void Synth::reportIniWrite(bool written)
{
  if (!written) tell("Uhoh, something is wrong with writing the INI file!", kIniCaption);
}
