#include "FakePortal.h"
#include "FileChooserRoutes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

namespace
{
class FileChooserPortalTest : public testing::Test
{
protected:
  static void SetUpTestSuite() { sPortal = new FakePortal(); }
  static void TearDownTestSuite() { delete sPortal; }

  static inline FakePortal* sPortal = nullptr;
};

TEST_F(FileChooserPortalTest, portalAnswerComesBackAsAPath)
{
  // The portal's answer and uri, the request's kind and extensions, the path and globs expected.
  using Case = std::tuple<FakePortal::Answer, const char*, bool, const char*, const char*, std::vector<std::string>>;
  using enum FakePortal::Answer;
  const Case cases[] = {
      {kChoose, "file:///tmp/My%20Bank.fxb", false, "fxp fxb", "/tmp/My Bank.fxb", {"*.fxp", "*.fxb"}},
      {kChoose, "file:///tmp/Init", true, "fxp", "/tmp/Init.fxp", {"*.fxp"}},
      {kChoose, "https://example.org/a.fxp", false, "fxp", "", {"*.fxp"}},
      {kCancel, "", true, "fxb", "", {"*.fxb"}},
  };
  setenv("TESSARYN_FILE_DIALOG", "portal", 1);
  for (const auto& [answer, uri, save, extensions, expected, expectedGlobs] : cases)
  {
    SCOPED_TRACE(uri);
    ASSERT_TRUE(sPortal->Running());
    sPortal->answerWith(answer, uri);
    const FileChooserRequest request{save, "/tmp/start", extensions, "Init", 0x1234, 1.0};
    EXPECT_EQ(RunFileChooser(request), expected);
    const FakePortal::Request seen = sPortal->lastRequest();
    EXPECT_EQ(seen.method, save ? "SaveFile" : "OpenFile");
    EXPECT_EQ(seen.parentWindow, "x11:1234");
    EXPECT_EQ(seen.currentFolder, "/tmp/start");
    EXPECT_EQ(seen.currentName, save ? "Init" : "");
    EXPECT_EQ(seen.globs, expectedGlobs);
  }
  unsetenv("TESSARYN_FILE_DIALOG");
}

TEST_F(FileChooserPortalTest, portalThatNeverRespondsOrEndsIsNotWaitedForLong)
{
  ASSERT_TRUE(sPortal->Running());
  sPortal->answerWith(FakePortal::Answer::kNever, "");
  EXPECT_EQ(chooseWithPortal({false, "/tmp", "fxp", "", 0, 1.0}, 200), std::optional<std::string>(""));
  EXPECT_TRUE(sPortal->waitForClose(5000));

  // A portal that ends is not waited for: this call would otherwise take the whole timeout.
  sPortal->answerWith(FakePortal::Answer::kExit, "");
  EXPECT_EQ(chooseWithPortal({false, "/tmp", "fxp", "", 0, 1.0}, 600000), std::optional<std::string>(""));
}
} // namespace
