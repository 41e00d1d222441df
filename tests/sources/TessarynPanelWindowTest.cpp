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
#include "XvfbServer.h"
#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <thread>
#include <vector>

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
    ASSERT_TRUE(sServer->Running() && mUser.isOpen() && mOpened == noErr);
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
    mUser.click(mWindow, int(x * mGui->GetScale()), int(y * mGui->GetScale()));
    settle();
  }
  void click(const IControl* c)
  {
    clickAt((c->GetRECT().L + c->GetRECT().R) / 2, (c->GetRECT().T + c->GetRECT().B) / 2);
  }
  // On a busy machine the server can show a frame well after the settle that
  // drew it: take the picture once the window is painted and holds still.
  void screenshot(Window window, const std::string& name)
  {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::vector<uint32_t> shown = samples(window);
    for (std::vector<uint32_t> before;
         (shown != before || !painted(shown)) && std::chrono::steady_clock::now() < deadline;)
    {
      before = std::move(shown);
      pump();
      shown = samples(window);
    }
    EXPECT_TRUE(painted(shown)) << name << " shows no panel";
    EXPECT_TRUE(mUser.writePng(window, std::string(SCREENSHOT_DIR) + "/" + name));
  }
  std::vector<uint32_t> samples(Window window)
  {
    const AUX11View view = mHost.Editor();
    std::vector<uint32_t> shown;
    for (int y = 25; y < int(view.mHeight); y += 50)
      for (int x = 25; x < int(view.mWidth); x += 50)
        shown.push_back(mUser.pixel(window, x, y));
    return shown;
  }
  static bool painted(const std::vector<uint32_t>& shown)
  {
    return std::set<uint32_t>(shown.begin(), shown.end()).size() >= 8;
  }
  // Clicks what opens a menu and lets `person` act from another thread: the
  // menu, and whatever its command opens, runs inside the editor's event
  // handling. `hand` watches from before the click, so it sees the menu come.
  void actOnMenu(int x, int y, const std::function<void(X11TestDriver& hand)>& person)
  {
    std::atomic<bool> acted = false, over = false;
    X11TestDriver hand;
    std::thread user(
        [&]
        {
          EXPECT_NE(hand.waitForPopup(5000), Window(0));
          person(hand);
          acted = true;
          // A window left open or opened after the person is done (an error,
          // say) fails the test; Escape closes it instead of hanging the test.
          if (pumpUntil([&] { return over.load(); }, [&] { hand.waitForEvent(20); }, 3000)) return;
          ADD_FAILURE() << "the editor still waits for an answer";
          pumpUntil([&] { return over.load(); },
                    [&]
                    {
                      mKeys.pressKey(XK_Escape);
                      hand.waitForEvent(500);
                    },
                    20000);
        });
    mUser.click(mWindow, int(x * mGui->GetScale()), int(y * mGui->GetScale()));
    pumpUntil([&] { return over.load(); },
              [&]
              {
                const bool afterActing = acted; // so this pump began after the menu's ended
                pump();
                over = afterActing;
              },
              30000);
    user.join();
    settle();
  }
  void pictureMenu(int x, int y, const std::string& name)
  {
    actOnMenu(x, y,
              [&](X11TestDriver& hand)
              {
                EXPECT_TRUE(hand.writePng(DefaultRootWindow(hand.display()), std::string(SCREENSHOT_DIR) + "/" + name));
                mKeys.pressKey(XK_Escape);
              });
  }
  // Picks the options menu's command that lies `downs` arrow presses down
  // (the greyed "Paste Program" is skipped), then answers what it opens.
  void runOption(int downs, const std::function<void(X11TestDriver& hand, X11TestDriver& person)>& answer)
  {
    actOnMenu(kOptionsX, kOptionsY,
              [&](X11TestDriver& hand)
              {
                X11TestDriver person; // sees only the windows the command opens
                for (int i = 0; i < downs; ++i)
                  person.pressKey(XK_Down);
                person.pressKey(XK_Return);
                answer(hand, person);
              });
  }
  void rename(const std::string& name)
  {
    clickAt(700, 350);
    mKeys.typeText(name);
    mKeys.pressKey(XK_Return);
    settle();
  }

  static constexpr int kOptionsX = 500, kOptionsY = 339;
  static constexpr int kLoadProgram = 3, kSaveProgram = 4;
  static inline XvfbServer* sServer = nullptr;
  X11TestDriver mUser;
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

  rename("warm lead");
  EXPECT_STREQ(mSynth.GetPresetName(63), "warm lead");

  pictureMenu(610, 350, "panel-program-menu.png");
  pictureMenu(kOptionsX, kOptionsY, "panel-options-menu.png");
}

TEST_F(PanelWindowTest, PicturesAtDoubleScale)
{
  open(2.0);
  screenshot(mWindow, "panel-2x.png");
  click(control(PanelTag::kOpenTweaks));
  screenshot(mWindow, "panel-2x-tweaks.png");
}

// The file commands' dialogs under test are our own, starting in the home
// folder, which a fresh configuration home does not have yet.
class PanelFileCommandTest : public PanelWindowTest
{
protected:
  void SetUp() override
  {
    PanelWindowTest::SetUp();
    setenv("TESSARYN_FILE_DIALOG", "builtin", 1);
    std::filesystem::create_directories(mHome.home());
  }

  ScopedEnv mDialogRoute{"TESSARYN_FILE_DIALOG"};
};

TEST_F(PanelFileCommandTest, AProgramSavedThroughTheOptionsMenuLoadsBack)
{
  open(1.0);
  rename("bass 1/2");
  click(control(PanelTag::kPoly));
  runOption(kSaveProgram,
            [](X11TestDriver&, X11TestDriver& person)
            {
              ASSERT_NE(person.waitForDialog(), Window(0));
              person.pressKey(XK_Return); // the proposed name
            });
  EXPECT_TRUE(std::filesystem::exists(mHome.home() + "/bass 1_2.fxp"));

  click(control(PanelTag::kUnison));
  runOption(kLoadProgram,
            [](X11TestDriver&, X11TestDriver& person)
            {
              ASSERT_NE(person.waitForDialog(), Window(0));
              person.pressKey(XK_Down); // the one file there
              person.pressKey(XK_Return);
            });
  EXPECT_EQ(mSynth.GetParam(Tessaryn::kKeyAssgn)->Int(), Tessaryn::kPoly);
}

TEST_F(PanelFileCommandTest, ADamagedProgramIsRefusedInAMessageBox)
{
  std::ofstream(mHome.home() + "/broken.fxp") << "CcnK and then nothing of a program";
  open(1.0);
  click(control(PanelTag::kPoly));
  const std::string name = mSynth.GetPresetName(mSynth.GetCurrentPresetIdx());
  runOption(kLoadProgram,
            [&](X11TestDriver& hand, X11TestDriver& person)
            {
              ASSERT_NE(person.waitForDialog(), Window(0));
              person.typeText("broken.fxp");
              person.pressKey(XK_Return);
              const Window box = person.waitForDialog();
              ASSERT_NE(box, Window(0));
              char* title = nullptr;
              XFetchName(hand.display(), box, &title);
              EXPECT_STREQ(title, "Error");
              XFree(title);
              // The box over the panel it belongs to, as the user sees it.
              EXPECT_TRUE(hand.writeScreenOver(mWindow, std::string(SCREENSHOT_DIR) + "/message-box.png"));
              person.pressKey(XK_Return);
            });
  EXPECT_EQ(mSynth.GetParam(Tessaryn::kKeyAssgn)->Int(), Tessaryn::kPoly);
  EXPECT_EQ(mSynth.GetPresetName(mSynth.GetCurrentPresetIdx()), name);
}
} // namespace
