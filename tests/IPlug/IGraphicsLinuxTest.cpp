// The editor's window on a private X server: a user clicks, drags, scrolls
// and types through XTEST, and the screen is read back from the server.
#include <gtest/gtest.h> // ahead of Xlib's macros

#include "ComponentManager.h"
#include "ControlGallery.h"
#include "IGraphicsLinux.h"
#include "IKnobControls.h"
#include "ISwitchControls.h"
#include "ITextControls.h"
#include "X11TestDriver.h"
#include "XvfbServer.h"

#include <X11/keysym.h>

#include <atomic>
#include <filesystem>
#include <thread>

namespace
{
constexpr const char* kBundle = "com.tessaryn.window-test";

// The gallery's plug-in, counting the changes the editor makes (from whichever thread runs it).
struct CountingGalleryPlug : ControlGalleryPlug
{
  void InformHostOfParamChange(int, double) override { ++mChanges; }
  std::atomic<int> mChanges = 0;
};

struct GalleryEditor
{
  explicit GalleryEditor(double userScale = 0.0, bool hostIdle = true)
      : mGraphics(new IGraphicsLinux(&mPlug, kControlGalleryWidth, kControlGalleryHeight))
  {
    mGraphics->SetBundleID(kBundle);
    mGraphics->SetUserScale(userScale);
    mGraphics->SetHostIdle(hostIdle);
    AttachControlGallery(*mGraphics);
    mPlug.AttachGraphics(mGraphics);
  }

  Window open(Window parent = 0)
  {
    return Window(reinterpret_cast<uintptr_t>(mGraphics->OpenWindow(reinterpret_cast<void*>(parent))));
  }
  void pump()
  {
    mGraphics->WaitForEvents(20);
    mGraphics->Idle();
  }
  // The centre of the first control of that class bound to the parameter, in device pixels.
  template <class Control> void centreOf(int paramIdx, int& x, int& y) const
  {
    for (int i = 0; i < mGraphics->GetNControls(); ++i)
      if (auto* pControl = dynamic_cast<Control*>(mGraphics->GetControl(i)); pControl && pControl->ParamIdx() == paramIdx)
      {
        const IRECT& r = pControl->GetRECT();
        x = int((r.L + r.R) / 2 * mGraphics->GetScale());
        y = int((r.T + r.B) / 2 * mGraphics->GetScale());
        return;
      }
    ADD_FAILURE() << "no such control for parameter " << paramIdx;
  }
  double value(int paramIdx) const { return mPlug.GetParam(paramIdx)->Value(); }

  CountingGalleryPlug mPlug;
  IGraphicsLinux* mGraphics; // owned by the plug-in
};

class IGraphicsLinuxTest : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    sServer = new XvfbServer(1800, 1300); // room for the gallery at scale 2
    RegisterBundle(kBundle, RESOURCE_DIR);
    std::filesystem::create_directories(SCREENSHOT_DIR);
  }
  static void TearDownTestSuite() { delete sServer; }
  void SetUp() override { ASSERT_TRUE(sServer->Running() && mUser.isOpen()); }

  // Until the context has drawn these editor points and the window shows them.
  bool showsDrawing(GalleryEditor& editor, Window window, std::initializer_list<std::pair<int, int>> points)
  {
    return pumpUntil(
        [&]
        {
          for (auto [x, y] : points)
          {
            const IColor c = editor.mGraphics->GetPoint(x, y);
            const uint32_t drawn = uint32_t(c.R) << 16 | uint32_t(c.G) << 8 | uint32_t(c.B);
            const double scale = editor.mGraphics->GetScale();
            if (c.A != 255 || mUser.pixel(window, int(x * scale), int(y * scale)) != drawn) return false;
          }
          return true;
        },
        [&] { editor.pump(); });
  }
  // Opens the editor and finds the control's centre (device pixels) once the window shows it.
  template <class Control> Window openOver(GalleryEditor& editor, int paramIdx, int& x, int& y)
  {
    const Window window = editor.open();
    editor.centreOf<Control>(paramIdx, x, y);
    const double scale = editor.mGraphics->GetScale();
    EXPECT_TRUE(showsDrawing(editor, window, {{int(x / scale), int(y / scale)}, {5, 5}}));
    return window;
  }
  void screenshot(Window window, const char* name)
  {
    EXPECT_TRUE(mUser.writePng(window, std::string(SCREENSHOT_DIR) + "/" + name));
  }

  static inline XvfbServer* sServer = nullptr;
  X11TestDriver mUser;
};
} // namespace

TEST_F(IGraphicsLinuxTest, AKnobFollowsADragTheWheelAndADoubleClickAndTheScreenShowsIt)
{
  GalleryEditor editor;
  int x = 0, y = 0;
  const Window window = openOver<IKnobMultiControl>(editor, kGalleryCutoff, x, y);
  screenshot(window, "gallery-scale1.png");

  const double before = editor.value(kGalleryCutoff);
  mUser.drag(window, x, y, x, y - 40);
  ASSERT_TRUE(pumpUntil([&] { return editor.mGraphics->GetMouseCapture() < 0 && editor.value(kGalleryCutoff) > before; },
                        [&] { editor.pump(); }));
  EXPECT_TRUE(showsDrawing(editor, window, {{x, y}, {x - 12, y}, {x + 12, y - 12}}));

  const double dragged = editor.value(kGalleryCutoff);
  mUser.click(window, x, y, Button5);
  EXPECT_TRUE(pumpUntil([&] { return editor.value(kGalleryCutoff) < dragged; }, [&] { editor.pump(); }));

  mUser.click(window, x, y);
  mUser.click(window, x, y);
  EXPECT_TRUE(pumpUntil([&] { return std::abs(editor.value(kGalleryCutoff) - before) < 1.0; }, [&] { editor.pump(); }))
      << editor.value(kGalleryCutoff) << " " << before;
}

TEST_F(IGraphicsLinuxTest, AMenuOpensUnderItsControlAndTheChoiceArrives)
{
  GalleryEditor editor;
  int x = 0, y = 0;
  const Window window = openOver<ISwitchPopUpControl>(editor, kGalleryWave, x, y);
  ASSERT_EQ(editor.value(kGalleryWave), 1.0);

  // The menu runs inside the editor's event handling, so the user acts from another thread.
  X11TestDriver hand; // watching for the menu from before it opens
  std::thread user(
      [&]
      {
        const Window menu = hand.waitForPopup(5000);
        if (!menu) return hand.pressKey(XK_Escape);
        const auto [menuX, menuY] = hand.origin(menu);
        const int windowY = hand.origin(window).second;
        EXPECT_GT(menuY, windowY + y);
        hand.pressKey(XK_Down);
        hand.pressKey(XK_Down);
        pumpUntil([&] { return hand.pixel(menu, 30, 35) == 0x3d6fd1; }, [&] { hand.waitForEvent(20); });
        hand.writeScreenOver(window, std::string(SCREENSHOT_DIR) + "/gallery-menu.png");
        hand.pressKey(XK_Up);
        hand.pressKey(XK_Return);
        // Should the menu still be open, Escape frees the editor's thread from it.
        if (!pumpUntil([&] { return editor.value(kGalleryWave) == 0.0; }, [&] { hand.waitForEvent(20); }))
          hand.pressKey(XK_Escape);
      });
  mUser.click(window, x, y);
  const bool chosen = pumpUntil([&] { return editor.value(kGalleryWave) == 0.0; }, [&] { editor.pump(); });
  user.join();
  EXPECT_TRUE(chosen) << "Triangle, the first item";
}

TEST_F(IGraphicsLinuxTest, AMessageBoxOverTheEditorAnswersWhileTheEditorKeepsItsWindow)
{
  GalleryEditor editor;
  const Window window = editor.open();
  ASSERT_TRUE(showsDrawing(editor, window, {{5, 5}}));
  X11TestDriver dialogUser;
  std::thread user(
      [&]
      {
        if (const Window box = dialogUser.waitForDialog())
        {
          dialogUser.writePng(box, std::string(SCREENSHOT_DIR) + "/editor-message-box.png");
          dialogUser.pressKey(XK_Tab);
        }
        dialogUser.pressKey(XK_Return);
      });
  EXPECT_EQ(editor.mGraphics->ShowMessageBox("Replace the program?", "Tessaryn", 1), 7) << "Cancel, the second button";
  user.join();
  EXPECT_TRUE(editor.mGraphics->WindowIsOpen());
}

TEST_F(IGraphicsLinuxTest, TheTextFieldTakesOnlyANumbersCharactersAndReturnAppliesIt)
{
  GalleryEditor editor;
  int x = 0, y = 0;
  const Window window = openOver<ICaptionControl>(editor, kGalleryCutoff, x, y);
  mUser.click(window, x, y);
  ASSERT_TRUE(pumpUntil([&] { return mUser.childCount(window) == 1; }, [&] { editor.pump(); }));
  mUser.typeText("12a34");
  for (int round = 0; round < 5; ++round)
    editor.pump();
  screenshot(window, "gallery-text-field.png");
  mUser.pressKey(XK_Return);
  EXPECT_TRUE(pumpUntil([&] { return editor.value(kGalleryCutoff) == 1234.0; }, [&] { editor.pump(); }))
      << editor.value(kGalleryCutoff);
}

// Two hosts' windows, each with an editor inside running its own event thread.
TEST_F(IGraphicsLinuxTest, TwoEditorsInOneProcessEachFollowTheirOwnDrag)
{
  GalleryEditor first(0.0, false), second(0.0, false);
  const Window hosts[] = {mUser.createWindow(0, 0, 820, 640, true), mUser.createWindow(820, 300, 820, 640, true)};
  const Window windows[] = {first.open(hosts[0]), second.open(hosts[1])};
  int x = 0, y = 0;
  first.centreOf<IKnobMultiControl>(kGalleryCutoff, x, y);
  const auto waitForChanges = [&](int changes)
  { return pumpUntil([&] { return first.mPlug.mChanges + second.mPlug.mChanges >= changes; }, [&] { mUser.waitForEvent(20); }); };

  mUser.drag(windows[0], x, y, x, y - 20);
  ASSERT_TRUE(waitForChanges(1));
  mUser.drag(windows[1], x, y, x, y + 30);
  ASSERT_TRUE(waitForChanges(2));
  // The one host closes its editor, the other destroys its window with the editor inside.
  first.mGraphics->CloseWindow();
  EXPECT_EQ(mUser.childCount(hosts[0]), 0);
  XDestroyWindow(mUser.display(), hosts[1]);
  EXPECT_TRUE(pumpUntil([&] { return !second.mGraphics->WindowIsOpen(); }, [&] { mUser.waitForEvent(20); }));
  second.mGraphics->CloseWindow();
  EXPECT_GT(first.value(kGalleryCutoff), 1250.0);
  EXPECT_LT(second.value(kGalleryCutoff), 1250.0);
}

TEST_F(IGraphicsLinuxTest, ATopLevelWindowClosesByItsButtonAndReopensAnyNumberOfTimes)
{
  GalleryEditor editor;
  for (int round = 0; round < 3; ++round)
  {
    const Window window = editor.open();
    ASSERT_TRUE(showsDrawing(editor, window, {{5, 5}, {400, 300}})) << round;
    if (round % 2 == 0)
    {
      editor.mGraphics->CloseWindow();
      continue;
    }
    mUser.requestClose(window);
    EXPECT_TRUE(pumpUntil([&] { return !editor.mGraphics->WindowIsOpen(); }, [&] { editor.pump(); }));
  }
}

TEST_F(IGraphicsLinuxTest, AtScaleTwoTheWindowDoublesWhileTheMouseStaysInEditorPixels)
{
  GalleryEditor editor(2.0);
  const Window window = editor.open();
  XWindowAttributes attributes;
  XGetWindowAttributes(mUser.display(), window, &attributes);
  EXPECT_EQ(attributes.width, 2 * kControlGalleryWidth);
  EXPECT_EQ(attributes.height, 2 * kControlGalleryHeight);
  int x = 0, y = 0;
  editor.centreOf<IKnobMultiControl>(kGalleryCutoff, x, y);
  ASSERT_TRUE(showsDrawing(editor, window, {{x / 2, y / 2}, {790, 600}}));
  screenshot(window, "gallery-scale2.png");
  // Only a press mapped back to editor pixels lands on the knob.
  mUser.drag(window, x, y, x, y - 40);
  EXPECT_TRUE(pumpUntil([&] { return editor.mGraphics->GetMouseCapture() < 0 && editor.value(kGalleryCutoff) > 1250.0; },
                        [&] { editor.pump(); }));
}
