// The panel on the real instrument, with a window-less graphics context whose
// user answers are scripted. Controls are found by their tag or parameter.

#include "ScopedConfigHome.h"
#include "TestGraphics.h"
#include "tessaryn.controls.h"
#include "tessaryn.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
IGraphics* makeTestGraphics(IPlugBase* pPlug, int w, int h, int fps, const char*)
{
  return new TestGraphics(pPlug, w, h, fps);
}

class PanelProbe : public Tessaryn
{
public:
  PanelProbe() : Tessaryn(IPlugInstanceInfo{}) {}
  void InformHostOfProgramChange() override { ++mProgramChangesInformed; }

  using Tessaryn::kLampArp;
  using Tessaryn::kLampVoice1;
  using Tessaryn::kNumLamps;
  using Tessaryn::lampFlags;
  using Tessaryn::mLeds;
  using Tessaryn::mMidiLearn;
  using Tessaryn::mMidiUnlearn;
  int mProgramChangesInformed = 0;
};

class PanelTest : public testing::Test
{
protected:
  static void SetUpTestSuite() { IPlugAU::SetGraphicsMaker(makeTestGraphics); }
  static void TearDownTestSuite() { IPlugAU::SetGraphicsMaker(nullptr); }

  IControl* control(int tagOrParam) const
  {
    for (int i = 0; i < gui->GetNControls(); ++i)
      if (gui->GetControl(i)->ParamIdx() == tagOrParam) return gui->GetControl(i);
    ADD_FAILURE() << "no control " << tagOrParam;
    return nullptr;
  }
  void click(int tag, IMouseMod mod = IMouseMod(true))
  {
    IControl* c = control(tag);
    c->OnMouseDown(c->GetRECT().L, c->GetRECT().T, &mod);
    c->OnMouseUp(c->GetRECT().L, c->GetRECT().T, &mod);
  }
  bool lit(int tag) const { return static_cast<IPWButtonKick*>(control(tag))->isOn(); }
  double value(int param) const { return synth.GetParam(param)->Value(); }

  ScopedConfigHome home;
  PanelProbe synth;
  TestGraphics* gui = static_cast<TestGraphics*>(synth.GetGUI());
};

TEST_F(PanelTest, KeyAssignButtonsLightAloneSetTheModeAndReleaseHold)
{
  const int tags[] = {PanelTag::kChordMemory, PanelTag::kUnison, PanelTag::kRndRobin, PanelTag::kUnisonShare,
                      PanelTag::kPoly};
  const int modes[] = {Tessaryn::kChordMemory, Tessaryn::kUnison, Tessaryn::kRndRobin, Tessaryn::kUnisonShare,
                       Tessaryn::kPoly};
  EXPECT_TRUE(lit(PanelTag::kUnison)); // the mode of a new instrument
  for (int i : {4, 0, 2, 1, 3, 3})
  {
    click(PanelTag::kHold);
    ASSERT_TRUE(lit(PanelTag::kHold));
    click(tags[i]);
    EXPECT_EQ(value(Tessaryn::kKeyAssgn), modes[i]);
    EXPECT_EQ(value(Tessaryn::kHold), 0.0);
    EXPECT_FALSE(lit(PanelTag::kHold));
    for (int t : tags)
      EXPECT_EQ(lit(t), t == tags[i]) << "after " << tags[i] << ", button " << t;
  }
}

TEST_F(PanelTest, EffectsOnReturnsToUnisonOnlyWithFXReset)
{
  for (double fxReset : {0.0, 1.0})
  {
    synth.SetParameterFromGUI(Tessaryn::kFXReset, fxReset);
    click(PanelTag::kPoly);
    click(PanelTag::kEffects);
    EXPECT_EQ(value(Tessaryn::kEffects), 1.0);
    EXPECT_EQ(value(Tessaryn::kKeyAssgn), fxReset > 0.0 ? Tessaryn::kUnison : Tessaryn::kPoly);
    click(PanelTag::kPoly);
    click(PanelTag::kEffects);
    EXPECT_EQ(value(Tessaryn::kEffects), 0.0);
    EXPECT_EQ(value(Tessaryn::kKeyAssgn), Tessaryn::kPoly);
  }
}

TEST_F(PanelTest, TweakStripOpensAndClosesBehindItsBlinds)
{
  const int strip[] = {PanelTag::kCloseTweaks, Tessaryn::kMWOvride, PanelTag::kRndRobin, Tessaryn::kARPTempo,
                       Tessaryn::kVCAVelo};
  for (bool open : {false, true, false})
  {
    if (open != synth.tweaksOpen()) click(open ? PanelTag::kOpenTweaks : PanelTag::kCloseTweaks);
    for (int tag : strip)
      EXPECT_EQ(control(tag)->IsHidden(), !open) << tag;
    EXPECT_EQ(control(PanelTag::kOpenTweaks)->IsHidden(), open);
  }
}

TEST_F(PanelTest, TypingANameRenamesTheProgramAndTellsTheHost)
{
  IControl* display = gui->GetControl(gui->GetMouseControlIdx(700, 350));
  IMouseMod left(true);
  display->OnMouseDown(700, 350, &left); // the name field
  ASSERT_EQ(gui->mTextEntries.size(), 1u);
  EXPECT_EQ(gui->mTextEntries[0].text, synth.GetPresetName(0));
  display->TextFromTextEntry("Fat Bass");
  EXPECT_STREQ(synth.GetPresetName(0), "Fat Bass");
  EXPECT_EQ(synth.mProgramChangesInformed, 1);
}

TEST_F(PanelTest, ProgramMenuChoosesFromSixteenPerSubmenu)
{
  gui->mMenuChoice = 2;
  gui->mSubmenuChoice = 5;
  IMouseMod left(true);
  gui->OnMouseDown(600, 350, &left); // the number field
  ASSERT_EQ(gui->mMenus.size(), 1u);
  EXPECT_EQ(gui->mMenus[0], (std::vector<std::string>{"00 - 15", "16 - 31", "32 - 47", "48 - 63"}));
  EXPECT_EQ(synth.GetCurrentPresetIdx(), 37);
}

TEST_F(PanelTest, OptionsMenuDispatchesByPosition)
{
  struct Case
  {
    int item, subitem;
    bool midiThru;
    size_t urls;
  };
  // MIDI Thru toggled twice, then the web site, which leaves it alone.
  for (const Case& c : {Case{10, 0, true, 0}, Case{10, 0, false, 0}, Case{17, 1, false, 1}})
  {
    gui->mMenuChoice = c.item;
    gui->mSubmenuChoice = c.subitem;
    click(PanelTag::kOptions);
    EXPECT_EQ(synth.midiThru(), c.midiThru) << c.item << "/" << c.subitem;
    EXPECT_EQ(gui->mOpenedURLs.size(), c.urls);
  }
}

TEST_F(PanelTest, OptionsMenuGreysOutPasteUntilACopy)
{
  click(PanelTag::kOptions);
  gui->mMenuChoice = File::CopyProgram;
  click(PanelTag::kOptions);
  click(PanelTag::kOptions);
  ASSERT_EQ(gui->mMenus.size(), 3u);
  EXPECT_EQ(gui->mMenus[0].size(), 18u);
  EXPECT_EQ(gui->mMenus[0][File::PasteProgram], "-Paste Program");
  EXPECT_EQ(gui->mMenus[2][File::PasteProgram], "Paste Program");
  for (int item : {File::LoadStartupBank, File::UnselectStartupBank})
    EXPECT_EQ(gui->mMenus[2][item][0], '-') << item; // no startup bank chosen
}

TEST_F(PanelTest, LearnSwitchModes)
{
  IMouseMod left(true), right(false, true);
  IControl* learn = control(PanelTag::kMidiLearn);
  learn->OnMouseDown(0, 0, &left);
  EXPECT_TRUE(synth.mMidiLearn);
  EXPECT_FALSE(synth.mMidiUnlearn);
  learn->OnMouseDown(0, 0, &right); // ignored while on
  EXPECT_TRUE(static_cast<IPWSwitchMidiLearn*>(learn)->learnMode());
  learn->OnMouseDown(0, 0, &left);
  EXPECT_FALSE(synth.mMidiLearn);
  learn->OnMouseDown(0, 0, &right);
  learn->OnMouseDown(0, 0, &left);
  EXPECT_TRUE(synth.mMidiLearn);
  EXPECT_TRUE(synth.mMidiUnlearn);
}

TEST_F(PanelTest, ArpTempoMenuSetsTheChosenText)
{
  gui->mMenuChoice = 3;
  click(Tessaryn::kARPTempo);
  ASSERT_EQ(gui->mMenus.size(), 1u);
  EXPECT_EQ(int(gui->mMenus[0].size()), Tessaryn::kNumArpTempos);
  EXPECT_EQ(value(Tessaryn::kARPTempo), 3.0);
}

TEST_F(PanelTest, LampsFollowTheRenderOnlyWhileTheWindowIsOpen)
{
  synth.lampFlags = 1u << PanelProbe::kLampVoice1 | 1u << PanelProbe::kLampArp;
  synth.OnIdle();
  EXPECT_TRUE(synth.mLeds[PanelProbe::kLampVoice1]->IsHidden());
  gui->OpenWindow(nullptr);
  for (unsigned flags : {unsigned(synth.lampFlags), 0u})
  {
    synth.lampFlags = flags;
    synth.OnIdle();
    for (int lamp = 0; lamp < PanelProbe::kNumLamps; ++lamp)
      EXPECT_EQ(synth.mLeds[lamp]->IsHidden(), !(flags & (1u << lamp))) << lamp;
  }
}
} // namespace
