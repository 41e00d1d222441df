#include "synth.h"
#include "IGraphics.h"

namespace
{
constexpr int kMessageYesNo = 4;
constexpr int kAnswerNo = 7;
} // namespace

const char* Synth::serverHost()
{
  return TESSARYN_SERVER;
}

// The program commands and the two MIDI options; the file dialogs and the
// update check come with the file commands' own branch.
void Synth::runFileCommand(File::Command command)
{
  auto confirmed = [this](const char* text, const char* caption)
  { return !mEditorGraphics || mEditorGraphics->ShowMessageBox(text, caption, kMessageYesNo) != kAnswerNo; };
  switch (command)
  {
  case File::CopyProgram:
    copyPreset();
    break;
  case File::PasteProgram:
    if (confirmed("Do you really want to overwrite the current program?", "Paste Program")) pastePreset();
    break;
  case File::InitProgram:
    if (confirmed("Do you really want to initialize the current program?", "Initialize Program")) initPreset();
    break;
  case File::MidiThru:
    mMidiThru = !mMidiThru;
    saveConfig(true);
    break;
  case File::IgnoreProgramChange:
    mIgnoreProgramChange = !mIgnoreProgramChange;
    saveConfig(true);
    break;
  default:
    break;
  }
}
