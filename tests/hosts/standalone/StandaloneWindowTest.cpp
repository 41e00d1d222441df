// tessaryn-standalone with its window on a private X server: the panel shows,
// the computer keyboard plays through it, and closing the window quits.
#include "StandaloneFixture.h" // ahead of Xlib's macros
#include "TestJackClient.h"

#include "X11TestDriver.h"
#include "XvfbServer.h"
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <thread>

namespace
{
// The mapped top-level window titled "Tessaryn", 0 if none appears in time.
Window findTessarynWindow(X11TestDriver& screen)
{
  Display* display = screen.display();
  for (int attempt = 0; attempt < 100; ++attempt, std::this_thread::sleep_for(std::chrono::milliseconds(50)))
    for (const Window window : screen.children(DefaultRootWindow(display)))
    {
      char* name = nullptr;
      XWindowAttributes attributes;
      const bool found = XFetchName(display, window, &name) && std::string(name) == "Tessaryn" &&
                         XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
      XFree(name);
      if (found) return window;
    }
  return 0;
}
} // namespace

using StandaloneWindowTest = StandaloneFixture;

TEST_F(StandaloneWindowTest, ThePanelsWindowPlaysTheComputerKeyboardAndQuitsWhenClosed)
{
  XvfbServer server;
  setenv("DISPLAY", server.DisplayName().c_str(), 1);
  TestJackClient tester;
  StandaloneProcess app({}, mFolder);
  ASSERT_TRUE(app.waitForOutput(kPlaying)) << app.errors();
  ASSERT_TRUE(tester.connect("tessaryn:out_left", "tester:in"));
  X11TestDriver screen;
  const Window window = findTessarynWindow(screen);
  ASSERT_NE(window, 0u);
  const std::vector<Window> panel = screen.children(window);
  ASSERT_EQ(panel.size(), 1u);
  XSetInputFocus(screen.display(), panel[0], RevertToParent, CurrentTime);
  XSync(screen.display(), False);
  std::this_thread::sleep_for(kSettle);
  EXPECT_TRUE(screen.writePng(window, SCREENSHOT_DIR "/standalone.png"));
  tester.takePeak();
  std::this_thread::sleep_for(kSettle);
  EXPECT_EQ(tester.takePeak(), 0.0f);
  const KeyCode z = XKeysymToKeycode(screen.display(), XK_z);
  XTestFakeKeyEvent(screen.display(), z, True, CurrentTime);
  XSync(screen.display(), False);
  EXPECT_TRUE(tester.waitForSound(kAudible, false));
  XTestFakeKeyEvent(screen.display(), z, False, CurrentTime);
  XSync(screen.display(), False);
  screen.requestClose(window);
  EXPECT_EQ(app.exitCode(), 0) << app.errors();
  EXPECT_TRUE(std::filesystem::exists(statePath()));
}
