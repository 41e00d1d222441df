// The instrument's editor as a host reaches it through the host model: embedded
// in a window of the host's on a private X server.
#include <gtest/gtest.h> // ahead of Xlib's macros

#include "HostModel.h"
#include "TessarynEntry.h"
#include "tessaryn.h"

#include "X11TestDriver.h"
#include "XvfbServer.h"
#include <X11/keysym.h>
#include <atomic>
#include <thread>

namespace
{
constexpr int kPanelWidth = 1096, kPanelHeight = 395;

class HostModelEditorTest : public testing::Test
{
protected:
  static void SetUpTestSuite() { sServer = new XvfbServer(2400, 1000); }
  static void TearDownTestSuite() { delete sServer; }

  void SetUp() override
  {
    ASSERT_TRUE(sServer->Running() && mUser.isOpen());
    for (HostModel& host : mHosts)
      ASSERT_EQ(host.Open(registerTessarynComponent(RESOURCE_DIR)), noErr);
  }

  void pump()
  {
    for (int i = 0; i < 10; ++i)
    {
      mUser.waitForEvent(20);
      for (HostModel& host : mHosts)
        host.IdleEditor();
    }
  }
  static inline XvfbServer* sServer = nullptr;
  X11TestDriver mUser;
  HostModel mHosts[2];
};

TEST_F(HostModelEditorTest, EmbedsDrawsAndClosesAgainAndAgainBesideASecondInstance)
{
  const Window parents[2] = {mUser.createWindow(0, 0, 1200, 450, true), mUser.createWindow(0, 500, 1200, 450, true)};
  for (int cycle = 0; cycle < 3; ++cycle)
  {
    for (int i = 0; i < 2; ++i)
      ASSERT_EQ(mHosts[i].OpenEditor(parents[i], true, 1.0), noErr) << cycle;
    pump();
    for (int i = 0; i < 2; ++i)
    {
      const AUX11View view = mHosts[i].Editor();
      EXPECT_EQ(std::make_pair(view.mWidth, view.mHeight), std::make_pair(kPanelWidth, kPanelHeight));
      EXPECT_EQ(mUser.childCount(parents[i]), 1);
      EXPECT_GT(mUser.colours(view.mWindow, kPanelWidth, kPanelHeight, 40), 8u)
          << "instance " << i << ", cycle " << cycle;
    }
    mHosts[0].CloseEditor();
    pump();
    EXPECT_EQ(mHosts[0].Editor().mWindow, 0u);
    EXPECT_EQ(mUser.childCount(parents[0]), 0);
    EXPECT_NE(mHosts[1].Editor().mWindow, 0u);
    // The second instance's editor goes with its instance.
    cycle == 2 ? mHosts[1].Close() : mHosts[1].CloseEditor();
    pump();
    EXPECT_EQ(mUser.childCount(parents[1]), 0);
  }
}

TEST_F(HostModelEditorTest, KeysTheEditorDoesNotTakeGoToTheParent)
{
  X11TestDriver host; // its own connection, which pump() does not drain
  const Window parent = host.createWindow(0, 0, 1200, 450, true);
  Display* display = host.display();
  XSelectInput(display, parent, KeyPressMask | KeyReleaseMask);
  ASSERT_EQ(mHosts[0].OpenEditor(parent, true, 1.0), noErr);
  pump();
  XSetInputFocus(display, Window(mHosts[0].Editor().mWindow), RevertToParent, CurrentTime);
  XSync(display, False);
  X11TestDriver keys;
  keys.pressKey(XK_z);
  std::vector<int> forwarded;
  const auto collect = [&]
  {
    pump();
    for (XEvent event; XCheckWindowEvent(display, parent, KeyPressMask | KeyReleaseMask, &event);)
      forwarded.push_back(event.type);
  };
  pumpUntil([&] { return forwarded.size() >= 2; }, collect);
  EXPECT_EQ(forwarded, (std::vector<int>{KeyPress, KeyRelease}));
}
// A host changes programs and parameters on a thread of its own while the
// editor draws on the UI thread (ThreadSanitizer watches): the panel ends up
// as one opened on the final values shows them.
TEST_F(HostModelEditorTest, ChangesFromAHostThreadReachThePanelOnItsOwnThread)
{
  constexpr int kSteps = 300;
  const auto play = [](HostModel& host, int step)
  {
    host.SelectPreset(step % 3);
    host.SetParameter(Tessaryn::kKeyAssgn, float(step % 5));
    host.SetParameter(Tessaryn::kCutOff, float(step) / kSteps);
  };
  const Window parents[2] = {mUser.createWindow(0, 0, 1200, 450, true), mUser.createWindow(0, 500, 1200, 450, true)};
  ASSERT_EQ(mHosts[0].OpenEditor(parents[0], true, 1.0), noErr);
  pump();
  std::atomic<bool> done = false;
  std::thread hostThread(
      [&]
      {
        for (int step = 0; step <= kSteps; ++step) play(mHosts[0], step);
        done = true;
      });
  while (!done) mHosts[0].IdleEditor();
  hostThread.join();

  play(mHosts[1], kSteps);
  ASSERT_EQ(mHosts[1].OpenEditor(parents[1], true, 1.0), noErr);
  pump();
  EXPECT_TRUE(mUser.samePicture(Window(mHosts[0].Editor().mWindow), Window(mHosts[1].Editor().mWindow)));
}
} // namespace
