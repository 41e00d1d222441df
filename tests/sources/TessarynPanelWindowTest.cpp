// The panel in its real window on a private X server: a person's clicks and
// typing through XTEST, and pictures of what they see.
#include <gtest/gtest.h> // ahead of Xlib's macros

#include "HostModel.h"
#include "IGraphicsLinux.h"
#include "ScopedConfigHome.h"
#include "TessarynEntry.h"
#include "tessaryn.controls.h"
#include "tessaryn.h"

// Xlib's macros (Bool) would break the instrument's headers above.
#include "X11TestDriver.h"
#include "XTestDriver.h"
#include "XvfbServer.h"
#include <X11/keysym.h>

#include <atomic>
#include <filesystem>
#include <thread>

namespace
{
class PanelWindowTest : public testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    sServer = new XvfbServer(2400, 1000); // room for the panel at scale 2
    std::filesystem::create_directories(SCREENSHOT_DIR);
  }
  static void TearDownTestSuite() { delete sServer; }

  void SetUp() override
  {
    ASSERT_TRUE(sServer->Running() && mUser.IsOpen() && mOpened == noErr);
    if (!std::filesystem::exists(std::string(RESOURCE_DIR) + "/back.png")) GTEST_SKIP() << "no panel images built";
  }

  void open(double scale)
  {
    ASSERT_EQ(mHost.OpenEditor(0, true, scale), noErr);
    mWindow = Window(mHost.Editor().mWindow);
    settle();
  }
  void pump()
  {
    mGui->WaitForEvents(20);
    mHost.IdleEditor();
  }
  // Lets the window handle what the server sent and draw what changed.
  void settle()
  {
    for (int i = 0; i < 10; ++i)
      pump();
  }
  IControl* control(int tagOrParam) const
  {
    for (int i = 0; i < mGui->GetNControls(); ++i)
      if (mGui->GetControl(i)->ParamIdx() == tagOrParam) return mGui->GetControl(i);
    return nullptr;
  }
  void clickAt(int x, int y)
  {
    mUser.Click(mWindow, int(x * mGui->GetScale()), int(y * mGui->GetScale()));
    settle();
  }
  void click(const IControl* c)
  {
    clickAt((c->GetRECT().L + c->GetRECT().R) / 2, (c->GetRECT().T + c->GetRECT().B) / 2);
  }
  void screenshot(Window window, const std::string& name)
  {
    EXPECT_TRUE(mUser.WriteScreenshot(std::string(SCREENSHOT_DIR) + "/" + name, window));
  }
  // Opens a menu by a click and, acting from another thread since the menu
  // runs inside the editor's event handling, pictures it and dismisses it.
  void pictureMenu(int x, int y, const std::string& name)
  {
    std::atomic<bool> dismissed = false;
    XTestDriver hand; // watching from before the click
    std::thread user(
        [&]
        {
          const Window menu = hand.WaitForPopup(5000);
          EXPECT_NE(menu, Window(0)) << name;
          PumpUntil([] { return false; }, [&] { hand.WaitForEvent(20); }, 300);
          EXPECT_TRUE(
              hand.WriteScreenshot(std::string(SCREENSHOT_DIR) + "/" + name, DefaultRootWindow(hand.GetDisplay())));
          mKeys.pressKey(XK_Escape);
          dismissed = true;
        });
    mUser.Click(mWindow, int(x * mGui->GetScale()), int(y * mGui->GetScale()));
    PumpUntil([&] { return dismissed.load(); }, [&] { pump(); });
    user.join();
    settle();
  }

  static inline XvfbServer* sServer = nullptr;
  XTestDriver mUser;
  X11TestDriver mKeys;
  ScopedConfigHome mHome;
  HostModel mHost;
  OSStatus mOpened = mHost.Open(registerTessarynComponent(RESOURCE_DIR));
  Tessaryn& mSynth = *static_cast<Tessaryn*>(static_cast<IPlugAU*>(GetComponentInstanceStorage(mHost.Unit())));
  IGraphicsLinux* mGui = static_cast<IGraphicsLinux*>(mSynth.GetGUI());
  Window mWindow = 0;
};

TEST_F(PanelWindowTest, APersonPlaysThePanel)
{
  open(1.0);
  screenshot(mWindow, "panel-1x.png");

  click(control(PanelTag::kPoly));
  EXPECT_EQ(mSynth.GetParam(Tessaryn::kKeyAssgn)->Int(), Tessaryn::kPoly);
  EXPECT_EQ(mSynth.GetParam(Tessaryn::kHold)->Value(), 0.0);
  EXPECT_TRUE(static_cast<IPWButtonKick*>(control(PanelTag::kPoly))->isOn());
  EXPECT_FALSE(static_cast<IPWButtonKick*>(control(PanelTag::kUnison))->isOn());

  click(control(PanelTag::kPrevious));
  EXPECT_EQ(mSynth.GetCurrentPresetIdx(), 63);

  click(control(PanelTag::kOpenTweaks));
  EXPECT_TRUE(mSynth.tweaksOpen());
  screenshot(mWindow, "panel-1x-tweaks.png");
  click(control(PanelTag::kCloseTweaks));
  EXPECT_FALSE(mSynth.tweaksOpen());

  clickAt(700, 350); // the program name
  mKeys.typeText("warm lead");
  mKeys.pressKey(XK_Return);
  settle();
  EXPECT_STREQ(mSynth.GetPresetName(63), "warm lead");

  pictureMenu(610, 350, "panel-program-menu.png");
  pictureMenu(500, 339, "panel-options-menu.png");
}

TEST_F(PanelWindowTest, PicturesAtDoubleScale)
{
  open(2.0);
  screenshot(mWindow, "panel-2x.png");
  click(control(PanelTag::kOpenTweaks));
  screenshot(mWindow, "panel-2x-tweaks.png");
}
} // namespace
