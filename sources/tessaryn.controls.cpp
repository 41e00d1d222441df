#include "tessaryn.controls.h"

#include "IGraphics.h"
#include "IParam.h"
#include "tessaryn.h"

#include <cstdio>
#include <string>

namespace
{
constexpr int kProgramsPerSubmenu = 16;
constexpr int kLastProgram = Synth::kNumPrograms - 1;
constexpr int kTextEntryChars = 253;
constexpr int kNewNameChars = 256;
constexpr int kPopUpWidth = 48, kPopUpHeight = 20;

// Submenus of the options menu answer with their first command's number
// plus the chosen position.
constexpr int kMidiMenuBase = File::MidiThru;
constexpr int kOnlineMenuBase = File::CheckForUpdate;
constexpr int kPasteItem = File::PasteProgram;
constexpr int kLoadStartupItem = File::LoadStartupBank;
constexpr int kUnselectStartupItem = File::UnselectStartupBank;

std::string programName(const Tessaryn* synth, int idx)
{
  return std::string(synth->GetPresetName(idx)).substr(0, IPWPresetMenu::kNameChars);
}
} // namespace

IPWPresetMenu::IPWPresetMenu(Tessaryn* pPlug, const IRECT& numberRect, const IRECT& nameRect)
    : IControl(pPlug, numberRect.Union(nameRect)), mSynth(pPlug), mNumberRect(numberRect), mNameRect(nameRect),
      mNumberText(15, IColor(160, 255, 255, 255), "Arial"), mNameText(mNumberText)
{
  mTextEntryLength = kTextEntryChars;
}

// Programs change on host threads too; the editor thread sees it here.
bool IPWPresetMenu::IsDirty()
{
  if (const unsigned programs = mSynth->programsChanged(); programs != mShownPrograms)
  {
    mShownPrograms = programs;
    SetDirty(false);
  }
  return IControl::IsDirty();
}

bool IPWPresetMenu::Draw(IGraphics* pGraphics)
{
  char number[16];
  snprintf(number, sizeof(number), "%02d", mSynth->GetCurrentPresetIdx());
  const std::string name = programName(mSynth, mSynth->GetCurrentPresetIdx());
  pGraphics->DrawIText(&mNumberText, number, &mNumberRect);
  pGraphics->DrawIText(&mNameText, name.c_str(), &mNameRect);
  return true;
}

void IPWPresetMenu::OnMouseDown(int x, int y, IMouseMod*)
{
  IGraphics* gui = GetGUI();
  if (!gui) return;
  if (mNameRect.Contains(x, y))
    gui->CreateTextEntry(this, &mNameText, &mNameRect, mSynth->GetPresetName(mSynth->GetCurrentPresetIdx()), nullptr);
  else
    chooseProgram(gui);
  gui->SetAllControlsDirty();
}

void IPWPresetMenu::chooseProgram(IGraphics* pGraphics)
{
  constexpr int kSubmenus = Synth::kNumPrograms / kProgramsPerSubmenu;
  IPopupMenu menu, submenus[kSubmenus];
  const int current = mSynth->GetCurrentPresetIdx();
  for (int s = 0; s < kSubmenus; ++s)
  {
    char label[32];
    snprintf(label, sizeof(label), "%02d - %02d", s * kProgramsPerSubmenu, (s + 1) * kProgramsPerSubmenu - 1);
    menu.AddItem(label, &submenus[s]);
    for (int i = 0; i < kProgramsPerSubmenu; ++i)
    {
      const int idx = s * kProgramsPerSubmenu + i;
      char item[64];
      snprintf(item, sizeof(item), "%02u: %s", unsigned(idx), programName(mSynth, idx).c_str());
      submenus[s].AddItem(item, -1, idx == current ? IPopupMenuItem::kChecked : IPopupMenuItem::kNoFlags);
    }
  }
  IPopupMenu* chosen = pGraphics->CreateIPopupMenu(&menu, &mRECT);
  for (int s = 0; s < kSubmenus; ++s)
    if (chosen == &submenus[s] && chosen->GetChosenItemIdx() >= 0)
      mSynth->changePreset(s * kProgramsPerSubmenu + chosen->GetChosenItemIdx());
}

void IPWPresetMenu::TextFromTextEntry(const char* text)
{
  const std::string name = std::string(text ? text : "").substr(0, kNewNameChars);
  mSynth->ModifyCurrentPreset(name.c_str());
  mSynth->InformHostOfProgramChange();
  mSynth->DirtyParameters();
  SetClean();
}

IPWUtilityKick::IPWUtilityKick(Tessaryn* pPlug, int x, int y, int tag, const IBitmap& bitmap)
    : IContactControl(pPlug, x, y, tag, bitmap), mSynth(pPlug)
{
}

void IPWUtilityKick::OnMouseUp(int x, int y, IMouseMod* pMod)
{
  IContactControl::OnMouseUp(x, y, pMod);
  const int current = mSynth->GetCurrentPresetIdx();
  switch (mParamIdx)
  {
  case PanelTag::kPrevious:
    mSynth->changePreset(current == 0 ? kLastProgram : current - 1);
    break;
  case PanelTag::kNext:
    mSynth->changePreset(current == kLastProgram ? 0 : current + 1);
    break;
  case PanelTag::kOpenTweaks:
  case PanelTag::kCloseTweaks:
    mSynth->showTweaks(mParamIdx == PanelTag::kOpenTweaks);
    break;
  default:
    break;
  }
}

IPWButtonKick::IPWButtonKick(Tessaryn* pPlug, int x, int y, int tag, const IBitmap& off, const IBitmap& on)
    : IContactControl(pPlug, x, y, tag, off), mSynth(pPlug), mOnBitmap(on)
{
}

bool IPWButtonKick::IsDirty()
{
  if (mOn != mShownOn)
  {
    mShownOn = mOn;
    SetDirty(false);
  }
  return IContactControl::IsDirty();
}

bool IPWButtonKick::Draw(IGraphics* pGraphics)
{
  IBitmap& bitmap = mShownOn ? mOnBitmap : mBitmap;
  return pGraphics->DrawBitmap(&bitmap, &mRECT, mValue >= 0.5 ? 2 : 1, &mBlend);
}

void IPWButtonKick::OnMouseUp(int x, int y, IMouseMod* pMod)
{
  mOn = mShownOn = !mOn;
  IContactControl::OnMouseUp(x, y, pMod);
  apply();
}

void IPWButtonKick::apply()
{
  // Normalised KeyAssgn values of the five modes, in tag order -71 ... -75.
  static constexpr double kModeValues[] = {0.5, 0.0, 0.25, 0.75, 1.0};
  switch (mParamIdx)
  {
  case PanelTag::kEffects:
    mSynth->SetParameterFromGUI(Tessaryn::kEffects, mOn ? 1.0 : 0.0);
    if (mOn && mSynth->GetParam(Tessaryn::kFXReset)->Value() >= 0.5)
      mSynth->SetParameterFromGUI(Tessaryn::kKeyAssgn, 0.0);
    break;
  case PanelTag::kHold:
    mSynth->SetParameterFromGUI(Tessaryn::kHold, mOn ? 1.0 : 0.0);
    break;
  case PanelTag::kChordMemory:
  case PanelTag::kUnison:
  case PanelTag::kRndRobin:
  case PanelTag::kUnisonShare:
  case PanelTag::kPoly:
    mSynth->SetParameterFromGUI(Tessaryn::kKeyAssgn, kModeValues[PanelTag::kChordMemory - mParamIdx]);
    mSynth->SetParameterFromGUI(Tessaryn::kHold, 0.0);
    // The change handler skips an unchanged mode, so the click's toggle is
    // put right here.
    mSynth->updateButtons();
    break;
  default:
    break;
  }
}

IPWOptionMenu::IPWOptionMenu(Tessaryn* pPlug, const IRECT& rect, int tag) : IControl(pPlug, rect, tag), mSynth(pPlug)
{
  mMidiMenu.AddItem("MIDI Thru");
  mMidiMenu.AddItem("Ignore Program Change");
  mOnlineMenu.AddItem("Check Online for Update");
  mOnlineMenu.AddItem("Visit"); // named as the menu opens: reloading the configuration may change the server
  for (const char* item : {"Copy Program", "Paste Program", "Init Program", "", "Load Program", "Save Program",
                           "Load Bank", "Save Bank", "", "Default Path for Program Files"})
    if (*item)
      mMenu.AddItem(item);
    else
      mMenu.AddSeparator();
  mMenu.AddItem("Global MIDI Settings...", &mMidiMenu);
  for (const char* item : {"Reload Configuration", "Save Configuration", "Select Startup Bank", "Load Startup Bank",
                           "Unselect Startup Bank"})
    mMenu.AddItem(item);
  mMenu.AddSeparator();
  mMenu.AddItem("Go Online...", &mOnlineMenu);
}

void IPWOptionMenu::refreshItems()
{
  mMenu.GetItem(kPasteItem)->SetEnabled(mSynth->hasCopiedPreset());
  mMenu.GetItem(kLoadStartupItem)->SetEnabled(mSynth->hasStartupBank());
  mMenu.GetItem(kUnselectStartupItem)->SetEnabled(mSynth->hasStartupBank());
  mMidiMenu.CheckItem(File::MidiThru - kMidiMenuBase, mSynth->midiThru());
  mMidiMenu.CheckItem(File::IgnoreProgramChange - kMidiMenuBase, mSynth->ignoresProgramChange());
  mOnlineMenu.GetItem(File::VisitWebSite - kOnlineMenuBase)
      ->SetText((std::string("Visit ") + mSynth->updateServer()).c_str());
}

int IPWOptionMenu::chosenCommand(IPopupMenu* chosen) const
{
  if (!chosen || chosen->GetChosenItemIdx() < 0) return -1;
  if (chosen == &mMidiMenu) return kMidiMenuBase + chosen->GetChosenItemIdx();
  if (chosen == &mOnlineMenu) return kOnlineMenuBase + chosen->GetChosenItemIdx();
  return chosen == &mMenu ? chosen->GetChosenItemIdx() : -1;
}

void IPWOptionMenu::OnMouseDown(int, int, IMouseMod*)
{
  IGraphics* gui = GetGUI();
  if (!gui) return;
  refreshItems();
  mMenu.SetChosenItemIdx(-1);
  mMidiMenu.SetChosenItemIdx(-1);
  mOnlineMenu.SetChosenItemIdx(-1);
  const int command = chosenCommand(gui->CreateIPopupMenu(&mMenu, &mRECT));
  SetDirty(false);
  if (mParamIdx == PanelTag::kOptions) run(command);
}

void IPWOptionMenu::run(int command)
{
  switch (command)
  {
  case File::VisitWebSite:
    mSynth->visitWebSite();
    break;
  case File::CopyProgram:
  case File::PasteProgram:
  case File::InitProgram:
  case File::LoadProgram:
  case File::SaveProgram:
  case File::LoadBank:
  case File::SaveBank:
  case File::DefaultPath:
  case File::ReloadConfiguration:
  case File::SaveConfiguration:
  case File::SelectStartupBank:
  case File::LoadStartupBank:
  case File::UnselectStartupBank:
  case File::MidiThru:
  case File::IgnoreProgramChange:
  case File::CheckForUpdate:
    mSynth->runFileCommand(static_cast<File::Command>(command));
    break;
  default:
    break;
  }
}

IPWSwitchMidiLearn::IPWSwitchMidiLearn(Tessaryn* pPlug, int x, int y, int tag, const IBitmap& bitmap)
    : ISwitchControl(pPlug, x, y, tag, bitmap), mSynth(pPlug)
{
}

void IPWSwitchMidiLearn::OnMouseDown(int x, int y, IMouseMod* pMod)
{
  if (pMod && pMod->R)
  {
    if (mValue > 0.0) return;
    mLearnMode = !mLearnMode;
    if (IGraphics* gui = GetGUI())
      mBitmap = mLearnMode ? gui->LoadIBitmap(117, "resources/img/midilearn.png", 2)
                           : gui->LoadIBitmap(118, "resources/img/midiunlearn.png", 2);
    SetDirty(false);
    return;
  }
  if (pMod && !pMod->L) return;
  ISwitchControl::OnMouseDown(x, y, pMod);
  if (mLearnMode)
    mSynth->doMidiLearn(mValue > 0.0);
  else
    mSynth->doMidiUnlearn(mValue > 0.0);
}

IPWPopUpMenuControl::IPWPopUpMenuControl(IPlugBase* pPlug, int x, int y, int paramIdx, const IColor& color)
    : IControl(pPlug, IRECT(x, y, x + kPopUpWidth, y + kPopUpHeight), paramIdx),
      mTextRect(x, y, x + kPopUpWidth, y + kPopUpHeight + 4)
{
  mText = IText(11, color, "Monaco");
}

bool IPWPopUpMenuControl::Draw(IGraphics* pGraphics)
{
  const IParam* param = GetParam();
  if (!param) return false;
  char display[IParam::kMaxDisplaySize];
  param->GetDisplayForHost(param->GetNonNormalized(mValue), false, display);
  return pGraphics->DrawIText(&mText, display, &mTextRect);
}

void IPWPopUpMenuControl::OnMouseDown(int, int, IMouseMod*)
{
  IGraphics* gui = GetGUI();
  const IParam* param = GetParam();
  if (!gui || !param) return;
  char current[IParam::kMaxDisplaySize];
  param->GetDisplayForHost(param->GetNonNormalized(mValue), false, current);
  IPopupMenu menu;
  for (int k = 0; k < param->GetNDisplayTexts(); ++k)
  {
    const std::string text = param->GetDisplayTextAtIdx(k);
    menu.AddItem(text.c_str(), -1, text == current ? IPopupMenuItem::kChecked : IPopupMenuItem::kNoFlags);
  }
  if (gui->CreateIPopupMenu(&menu, &mRECT) == &menu && menu.GetChosenItemIdx() >= 0)
  {
    int value = menu.GetChosenItemIdx();
    param->GetDisplayTextAtIdx(value, &value);
    SetValueFromUserInput(param->GetNormalized(value));
  }
  gui->SetAllControlsDirty();
}
