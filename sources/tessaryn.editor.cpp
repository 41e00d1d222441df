// The panel: 1096 x 395 pixels of bitmap controls, with a strip of rarely
// used settings behind two blinds at the bottom.

#include "tessaryn.h"
#include "BuildSettings.h"
#include "IGraphics.h"
#include "IKnobControls.h"
#include "ITextControls.h"
#include "tessaryn.controls.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace
{
enum EImage : int
{
  kImgKnob = 0,
  kImgKnobWhite,
  kImgSwitch,
  kImgSwitchWhite,
  kImgSwitch2,
  kImgSwitch3,
  kImgButtonOff,
  kImgButtonOn,
  kImgButtonWhiteOff,
  kImgButtonWhiteOn,
  kImgButtonOrangeOff,
  kImgButtonOrangeOn,
  kImgLed,
  kImgPrev,
  kImgNext,
  kImgMidiLearn,
  kImgTweakOff,
  kImgTweakOn,
  kImgBlindLeft,
  kImgBlindRight,
  kNumImages
};

struct Image
{
  int id;
  const char* name;
  int frames;
};

// In EImage order; 118 "midiunlearn.png" is loaded when the learn switch
// first changes mode.
constexpr Image kImages[kNumImages] = {
    {102, "resources/img/knob.png", 65},
    {103, "resources/img/knob_white.png", 65},
    {104, "resources/img/switch.png", 4},
    {105, "resources/img/switch_white.png", 4},
    {106, "resources/img/switch2.png", 2},
    {107, "resources/img/switch3.png", 3},
    {108, "resources/img/button_off.png", 2},
    {109, "resources/img/button_on.png", 2},
    {110, "resources/img/button_white_off.png", 2},
    {111, "resources/img/button_white_on.png", 2},
    {112, "resources/img/button_orange_off.png", 2},
    {113, "resources/img/button_orange_on.png", 2},
    {114, "resources/img/led.png", 1},
    {115, "resources/img/prev.png", 2},
    {116, "resources/img/next.png", 2},
    {117, "resources/img/midilearn.png", 2},
    {119, "resources/img/tweak_off.png", 1},
    {120, "resources/img/tweak_on.png", 1},
    {121, "resources/img/blind_left.png", 1},
    {122, "resources/img/blind_right.png", 1},
};

// How a parameter control reacts: knobs turn finely, selectors step once
// per few pixels of drag, switches step on each click.
enum EKind : int
{
  kKnob,
  kSelector,
  kSwitch,
  kFrames
};

struct Placement
{
  int x, y;
  EKind kind;
  EImage image;
  int param;
};

using T = Tessaryn;
constexpr Placement kOsc(int x, int y, int param, bool selector)
{
  return {x, y, selector ? kSelector : kKnob, selector ? kImgSwitchWhite : kImgKnobWhite, param};
}

// The main panel, row by row.
constexpr Placement kPanel[] = {
    {514, 22, kKnob, kImgKnob, T::kPortamnt},
    {586, 22, kKnob, kImgKnob, T::kMstrTune},
    kOsc(654, 22, T::kWave1, true),
    kOsc(714, 22, T::kOctave1, true),
    kOsc(776, 22, T::kLevel1, false),
    {850, 22, kKnob, kImgKnob, T::kCutOff},
    {912, 22, kKnob, kImgKnob, T::kReso},
    {974, 22, kKnob, kImgKnob, T::kEGIntens},
    {1036, 22, kKnob, kImgKnob, T::kKeyTrack},

    {24, 96, kKnob, kImgKnob, T::kVolume},
    {109, 101, kFrames, kImgSwitch3, T::kOutRange},
    {170, 96, kKnob, kImgKnob, T::kMG1Rate},
    {244, 96, kKnob, kImgKnob, T::kMG2Rate},
    {319, 101, kFrames, kImgSwitch3, T::kPWMSrc},
    {368, 96, kKnob, kImgKnob, T::kPWM},
    {440, 96, kKnob, kImgKnob, T::kPW},
    {514, 96, kKnob, kImgKnob, T::kDetune},
    kOsc(586, 96, T::kTune2, false),
    kOsc(654, 96, T::kWave2, true),
    kOsc(714, 96, T::kOctave2, true),
    kOsc(776, 96, T::kLevel2, false),
    {850, 96, kKnob, kImgKnob, T::kEG1A},
    {912, 96, kKnob, kImgKnob, T::kEG1D},
    {974, 96, kKnob, kImgKnob, T::kEG1S},
    {1036, 96, kKnob, kImgKnob, T::kEG1R},

    {24, 174, kKnob, kImgKnob, T::kPBIntens},
    {96, 174, kKnob, kImgKnob, T::kMWIntens},
    {170, 174, kSelector, kImgSwitch, T::kMG1Wave},
    {244, 174, kKnob, kImgKnob, T::kFXXMod},
    {311, 174, kKnob, kImgKnob, T::kFXFM},
    {366, 185, kSwitch, kImgSwitch2, T::kFXFMSrc},
    {413, 179, kFrames, kImgSwitch3, T::kFXType},
    {460, 185, kSwitch, kImgSwitch2, T::kFXMode},
    {527, 179, kFrames, kImgSwitch3, T::kTrnspose},
    kOsc(586, 174, T::kTune3, false),
    kOsc(654, 174, T::kWave3, true),
    kOsc(714, 174, T::kOctave3, true),
    kOsc(776, 174, T::kLevel3, false),
    {850, 174, kKnob, kImgKnob, T::kEG2A},
    {912, 174, kKnob, kImgKnob, T::kEG2D},
    {974, 174, kKnob, kImgKnob, T::kEG2S},
    {1036, 174, kKnob, kImgKnob, T::kEG2R},

    {37, 253, kFrames, kImgSwitch3, T::kPBTarget},
    {109, 253, kFrames, kImgSwitch3, T::kMWTarget},
    {164, 253, kFrames, kImgSwitch3, T::kARPRange},
    {210, 253, kFrames, kImgSwitch3, T::kARPMode},
    {256, 253, kFrames, kImgSwitch3, T::kARPState},
    kOsc(586, 250, T::kTune4, false),
    kOsc(654, 250, T::kWave4, true),
    kOsc(714, 250, T::kOctave4, true),
    kOsc(776, 250, T::kLevel4, false),
    {850, 250, kKnob, kImgKnob, T::kNoise},
    {930, 260, kSwitch, kImgSwitch2, T::kTrigger},
    {1029, 260, kSwitch, kImgSwitch2, T::kAutoDamp},
};

// The tweak strip's parameter controls, after MWOvride and before the
// FXFrqShS knob in creation order come FXReset, the RndRobin button,
// PtmDrift, ARP Trig and the ARPTempo menu.
constexpr Placement kTweakKnobs[] = {
    {850, 330, kKnob, kImgKnob, T::kFXFrqShS},
    {912, 330, kKnob, kImgKnob, T::kFXFrqShD},
    {974, 330, kKnob, kImgKnob, T::kVCFVelo},
    {1036, 330, kKnob, kImgKnob, T::kVCAVelo},
};

struct Button
{
  int x, y;
  int tag;
  EImage off;
};

// The lit buttons of the main panel; RndRobin lives in the tweak strip.
constexpr Button kButtons[] = {
    {319, 248, PanelTag::kEffects, kImgButtonOrangeOff}, {379, 248, PanelTag::kHold, kImgButtonWhiteOff},
    {417, 248, PanelTag::kChordMemory, kImgButtonOff},   {455, 248, PanelTag::kUnison, kImgButtonOff},
    {493, 248, PanelTag::kUnisonShare, kImgButtonOff},   {531, 248, PanelTag::kPoly, kImgButtonOff},
};

constexpr int kVoiceLampX = 678;
constexpr int kVoiceLampY[Tessaryn::kNumVcos] = {71, 145, 223, 299};

const IColor kVersionColor(128, 160, 160, 192);
const IColor kArpTempoColor(255, 160, 160, 192);

IControl* makeParamControl(Tessaryn* synth, const Placement& p, const IBitmap* images)
{
  const IBitmap& bitmap = images[p.image];
  switch (p.kind)
  {
  case kKnob:
    return new IKnobMultiControl(synth, p.x, p.y, p.param, bitmap, kVertical, 4.0);
  case kSelector:
    return new IKnobMultiControl(synth, p.x, p.y, p.param, bitmap, kVertical, 1.0);
  case kSwitch:
    return new ISwitchControl(synth, p.x, p.y, p.param, bitmap);
  case kFrames:
    return new ISwitchFramesControl(synth, p.x, p.y, p.param, bitmap);
  }
  return nullptr;
}

// The mode each key-assign tag sets.
int keyModeOf(int tag)
{
  switch (tag)
  {
  case PanelTag::kChordMemory:
    return Tessaryn::kChordMemory;
  case PanelTag::kUnison:
    return Tessaryn::kUnison;
  case PanelTag::kRndRobin:
    return Tessaryn::kRndRobin;
  case PanelTag::kUnisonShare:
    return Tessaryn::kUnisonShare;
  default:
    return Tessaryn::kPoly;
  }
}
} // namespace

void Tessaryn::createGraphics()
{
  IGraphics* gui = mEditorGraphics;
  if (!gui) return;
  mTweakControls.Empty();
  mHoldButton = mEffectsButton = nullptr;
  std::fill(std::begin(mKeyAssignButtons), std::end(mKeyAssignButtons), nullptr);
  std::fill(std::begin(mLedShown), std::end(mLedShown), false);

  gui->AttachBackground(101, "resources/img/back.png");
  // Nothing on the panel reacts to hovering.
  gui->HandleMouseOver(false);
  IBitmap images[kNumImages];
  for (int i = 0; i < kNumImages; ++i)
    images[i] = gui->LoadIBitmap(kImages[i].id, kImages[i].name, kImages[i].frames);

  gui->AttachControl(new IPWPresetMenu(this, IRECT(598, 342, 622, 358), IRECT(645, 342, 821, 358)));
  gui->AttachControl(new IPWUtilityKick(this, 580, 339, PanelTag::kPrevious, images[kImgPrev]));
  gui->AttachControl(new IPWUtilityKick(this, 624, 339, PanelTag::kNext, images[kImgNext]));
  gui->AttachControl(new IPWOptionMenu(this, IRECT(464, 330, 542, 348), PanelTag::kOptions));
  mMidiLearnSwitch = new IPWSwitchMidiLearn(this, 463, 358, PanelTag::kMidiLearn, images[kImgMidiLearn]);
  gui->AttachControl(mMidiLearnSwitch);
  mMidiLearn = false;
  mMidiUnlearn = false;

  auto lamp = [&](int x, int y)
  {
    auto* led = new IBitmapControl(this, x, y, images[kImgLed]);
    led->Hide(true);
    return led;
  };
  for (int k = 0; k < kNumVcos; ++k)
    gui->AttachControl(mLeds[kLampVoice1 + k] = lamp(kVoiceLampX, kVoiceLampY[k]));
  gui->AttachControl(mLeds[kLampMG1] = lamp(214, 87));
  gui->AttachControl(mLeds[kLampMG2] = lamp(288, 87));

  const IText versionText(15, kVersionColor, "Helvetica", IText::kStyleNormal, IText::kAlignFar);
  mVersionText = new ITextControl(this, IRECT(1018, 344, 1078, 362), &versionText,
                                  ("v 2.3.1." + std::to_string(kBuildNumber)).c_str());
  mLeds[kLampArp] = lamp(260, 326);

  mTweakControls.Add(mTweakCloseKick = new IPWUtilityKick(this, 16, 360, PanelTag::kCloseTweaks, images[kImgTweakOff]));
  mTweakControls.Add(makeParamControl(this, {96, 330, kKnob, kImgKnob, kMWOvride}, images));
  mTweakControls.Add(makeParamControl(this, {319, 340, kSwitch, kImgSwitch2, kFXReset}, images));
  mKeyAssignButtons[kRndRobin] =
      new IPWButtonKick(this, 379, 328, PanelTag::kRndRobin, images[kImgButtonOff], images[kImgButtonOn]);
  mTweakControls.Add(mKeyAssignButtons[kRndRobin]);
  mTweakControls.Add(makeParamControl(this, {164, 333, kFrames, kImgSwitch3, kPtmDrift}, images));
  mTweakControls.Add(makeParamControl(this, {212, 340, kSwitch, kImgSwitch2, kARPTrig}, images));
  mTweakControls.Add(new IPWPopUpMenuControl(this, 240, 340, kARPTempo, kArpTempoColor));
  for (const Placement& p : kTweakKnobs)
    mTweakControls.Add(makeParamControl(this, p, images));

  mBlindLeft = new IBitmapControl(this, 0, 310, images[kImgBlindLeft]);
  mBlindRight = new IBitmapControl(this, 830, 310, images[kImgBlindRight]);
  mTweakOpenKick = new IPWUtilityKick(this, 16, 360, PanelTag::kOpenTweaks, images[kImgTweakOn]);
  for (int i = 0; i < mTweakControls.GetSize(); ++i)
    gui->AttachControl(mTweakControls.Get(i));
  // Attached after the strip, the blinds cover it and take its clicks.
  for (IControl* control : {mLeds[kLampArp], mBlindLeft, mBlindRight, mTweakOpenKick, mVersionText})
    gui->AttachControl(control);
  showTweaks(false);

  for (const Placement& p : kPanel)
    gui->AttachControl(makeParamControl(this, p, images));
  for (const Button& b : kButtons)
  {
    auto* button = new IPWButtonKick(this, b.x, b.y, b.tag, images[b.off], images[b.off + 1]);
    gui->AttachControl(button);
    if (b.tag == PanelTag::kEffects)
      mEffectsButton = button;
    else if (b.tag == PanelTag::kHold)
      mHoldButton = button;
    else
      mKeyAssignButtons[keyModeOf(b.tag)] = button;
  }
  // The change handler lights a button only when the mode changes.
  updateButtons();
}

void Tessaryn::showTweaks(bool open)
{
  for (int i = 0; i < mTweakControls.GetSize(); ++i)
    mTweakControls.Get(i)->Hide(!open);
  for (IControl* cover : {mBlindLeft, mBlindRight, mTweakOpenKick, mVersionText})
    cover->Hide(open);
}

bool Tessaryn::tweaksOpen() const
{
  return mTweakCloseKick && !mTweakCloseKick->IsHidden();
}

void Tessaryn::updateButtons()
{
  for (int mode = 0; mode < int(std::size(mKeyAssignButtons)); ++mode)
    if (mKeyAssignButtons[mode]) mKeyAssignButtons[mode]->setOn(mode == keyMode);
}

void Tessaryn::OnIdle()
{
  Synth::OnIdle();
  IGraphics* gui = GetGUI();
  if (!gui || !gui->WindowIsOpen()) return;
  const unsigned flags = lampFlags;
  for (int lamp = 0; lamp < kNumLamps; ++lamp)
  {
    const bool lit = flags & (1u << lamp);
    if (!mLeds[lamp] || lit == mLedShown[lamp]) continue;
    mLedShown[lamp] = lit;
    mLeds[lamp]->Hide(!lit);
  }
}
