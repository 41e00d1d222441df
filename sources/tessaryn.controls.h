#pragma once
// The panel's own controls: program display and menu, step and tweak kicks,
// options menu, MIDI-learn switch, lit push buttons and a parameter menu.
// They carry a negative tag in the parameter-index field and act on the
// instrument by it. Everything runs on the editor thread, except that
// parameter changes and MIDI learn may set a button's lit state or release
// the learn switch from another thread: plain stores and SetDirty.

#include "IControl.h"
#include "IPopupMenu.h"
#include "ISwitchControls.h"
#include "Relaxed.h"

class Tessaryn;

namespace PanelTag
{
enum : int
{
  kHold = -3,
  kEffects = -37,
  kChordMemory = -71,
  kUnison = -72,
  kRndRobin = -73,
  kUnisonShare = -74,
  kPoly = -75,
  kPrevious = -78,
  kNext = -79,
  kOptions = -80,
  kMidiLearn = -81,
  kOpenTweaks = -82,
  kCloseTweaks = -83
};
}

// The current program's number and name; the name opens a text field, the
// number the program menu.
class IPWPresetMenu : public IControl
{
public:
  static constexpr int kNameChars = 32;

  IPWPresetMenu(Tessaryn* pPlug, const IRECT& numberRect, const IRECT& nameRect);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics* pGraphics) override;
  bool IsDirty() override;
  void TextFromTextEntry(const char* text) override;

private:
  void chooseProgram(IGraphics* pGraphics);

  Tessaryn* mSynth;
  IRECT mNumberRect, mNameRect;
  IText mNumberText, mNameText;
  unsigned mShownPrograms = 0;
};

// Momentary buttons: previous and next program, opening and closing the tweaks.
class IPWUtilityKick : public IContactControl
{
public:
  IPWUtilityKick(Tessaryn* pPlug, int x, int y, int tag, const IBitmap& bitmap);

  void OnMouseUp(int x, int y, IMouseMod* pMod) override;

private:
  Tessaryn* mSynth;
};

// Push buttons lit while their setting is on (Effects, Hold, key assignment).
class IPWButtonKick : public IContactControl
{
public:
  IPWButtonKick(Tessaryn* pPlug, int x, int y, int tag, const IBitmap& off, const IBitmap& on);

  void OnMouseUp(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics* pGraphics) override;
  // Editor thread: takes up a lit state set since the last look.
  bool IsDirty() override;
  // Any thread (parameter changes): the lit state, drawn at the next frame.
  void setOn(bool on) { mOn = on; }
  bool isOn() const { return mOn; }

private:
  void apply();

  Tessaryn* mSynth;
  IBitmap mOnBitmap;
  Relaxed<bool> mOn = false;
  bool mShownOn = false;
};

// The options menu over an invisible area of the panel.
class IPWOptionMenu : public IControl
{
public:
  IPWOptionMenu(Tessaryn* pPlug, const IRECT& rect, int tag);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics*) override { return true; }

private:
  void refreshItems();
  int chosenCommand(IPopupMenu* chosen) const;
  void run(int command);

  Tessaryn* mSynth;
  IPopupMenu mMenu, mMidiMenu, mOnlineMenu;
};

// Left click starts or ends learning (or unlearning) a controller; a right
// click on the released switch flips between the two modes.
class IPWSwitchMidiLearn : public ISwitchControl
{
public:
  IPWSwitchMidiLearn(Tessaryn* pPlug, int x, int y, int tag, const IBitmap& bitmap);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool learnMode() const { return mLearnMode; }

private:
  Tessaryn* mSynth;
  bool mLearnMode = true;
};

// An enumerated parameter shown as its text, chosen from a menu.
class IPWPopUpMenuControl : public IControl
{
public:
  IPWPopUpMenuControl(IPlugBase* pPlug, int x, int y, int paramIdx, const IColor& color);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics* pGraphics) override;

private:
  IRECT mTextRect;
};
