#include "X11MessageBox.h"

// gtest before Xlib: Xlib's macros (None, Bool) break gtest's headers.
#include <gtest/gtest.h>

#include "X11TestDriver.h"
#include "XvfbServer.h"

#include <X11/keysym.h>

#include <tuple>

namespace
{
constexpr int kNoClick = -1;

class X11MessageBoxTest : public testing::Test
{
protected:
  static void SetUpTestSuite() { sServer = new XvfbServer(); }
  static void TearDownTestSuite() { delete sServer; }

  static inline XvfbServer* sServer = nullptr;
  X11TestDriver mDriver;
};

TEST_F(X11MessageBoxTest, eachButtonKeyAndCloseGivesItsAnswer)
{
  // Box type, button clicked (left to right) or kNoClick, keys pressed, closed by the window manager, answer.
  const std::tuple<int, int, std::vector<KeySym>, bool, int> answers[] = {
      {0, 0, {}, false, 1},
      {1, 1, {}, false, 7},
      {3, 0, {}, false, 1},
      {3, 1, {}, false, 7},
      {3, 2, {}, false, 2},
      {4, 1, {}, false, 7},
      {0, kNoClick, {XK_Return}, false, 1},
      {3, kNoClick, {XK_Tab, XK_Return}, false, 7},
      {4, kNoClick, {XK_Right, XK_Right, XK_Return}, false, 1},
      // Escape and the close button decline; they never read as "Yes".
      {0, kNoClick, {XK_Escape}, false, 0},
      {3, kNoClick, {XK_Escape}, false, 2},
      {4, kNoClick, {XK_Escape}, false, 7},
      {4, kNoClick, {}, true, 7},
  };
  ASSERT_TRUE(sServer->Running());
  for (const auto& [type, clickedButton, keys, closedByWindowManager, expected] : answers)
  {
    SCOPED_TRACE(testing::Message() << "type " << type << ", button " << clickedButton);
    std::future<int> box = std::async(std::launch::async, [&] {
      return RunX11MessageBox("Do you really want to reload all programs?", "Load Startup Bank", type, 0, 1.0);
    });
    const Window window = mDriver.waitForDialog();
    ASSERT_NE(window, 0u);
    const std::vector<std::pair<int, int>> buttons = mDriver.buttonCentres(window, 1.0);
    EXPECT_EQ(buttons.size(), type == 0 ? 1u : type == 3 ? 3u : 2u);
    if (clickedButton != kNoClick && clickedButton < static_cast<int>(buttons.size()))
    {
      const auto [x, y] = buttons[clickedButton];
      mDriver.click(window, x, y);
    }
    for (KeySym key : keys) mDriver.pressKey(key);
    if (closedByWindowManager) mDriver.requestClose(window);
    EXPECT_EQ(answerOf(box, mDriver, window), expected);
  }
}
TEST_F(X11MessageBoxTest, longTextWrapsWithinTheBoxAtAnyScale)
{
  for (const double scale : {1.0, 2.0})
  {
    std::future<int> box = std::async(std::launch::async, [&] {
      return RunX11MessageBox("The Startup Bank is:\n/home/someone/Music/Tessaryn/Banks/"
                              "a-bank-with-a-name-far-too-long-for-one-line.fxb\n\nDo you really want to reload all "
                              "programs?",
                              "Load Startup Bank", 3, 0, scale);
    });
    const Window window = mDriver.waitForDialog();
    ASSERT_NE(window, 0u);
    EXPECT_EQ(mDriver.buttonCentres(window, scale).size(), 3u);
    EXPECT_LE(mDriver.width(window), 460 * scale);
    mDriver.writePng(window, std::string(SCREENSHOT_DIR) + "/message-box-scale" + std::to_string(int(scale)) + ".png");
    mDriver.pressKey(XK_Return);
    EXPECT_EQ(answerOf(box, mDriver, window), 1);
  }
}
TEST_F(X11MessageBoxTest, boxIsCentredOverItsOwnerEvenOneThatIsGone)
{
  const Window owner = mDriver.createWindow(200, 150, 1096, 395, false);
  const Window gone = mDriver.createWindow(0, 0, 10, 10, false);
  mDriver.destroy(gone);
  for (const Window ownerWindow : {owner, gone})
  {
    std::future<int> box = std::async(std::launch::async, [&] {
      return RunX11MessageBox("Cannot load file!", "Error", 0, ownerWindow, 1.0);
    });
    const Window window = mDriver.waitForDialog();
    ASSERT_NE(window, 0u);
    const auto [x, y] = mDriver.centreOf(window);
    const std::pair<int, int> expected = ownerWindow == owner ? std::pair{200 + 548, 150 + 197} : std::pair{800, 500};
    EXPECT_NEAR(x, expected.first, 1);
    EXPECT_NEAR(y, expected.second, 1);
    mDriver.pressKey(XK_Return);
    EXPECT_EQ(answerOf(box, mDriver, window), 1);
  }
  mDriver.destroy(owner);
}
} // namespace
