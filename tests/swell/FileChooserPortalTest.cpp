#include "FakePortal.h"
#include "FileChooserRoutes.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
struct PortalCase
{
  FakePortal::Answer answer;
  const char* uri;
  bool save;
  const char* extensions;
  const char* expected;
  std::vector<std::string> expectedGlobs;
};

class FileChooserPortalTest : public testing::Test
{
protected:
  static void SetUpTestSuite() { sPortal = new FakePortal(); }
  static void TearDownTestSuite() { delete sPortal; }

  static inline FakePortal* sPortal = nullptr;
};

TEST_F(FileChooserPortalTest, portalAnswerComesBackAsAPath)
{
  const PortalCase cases[] = {
      {FakePortal::Answer::kChoose, "file:///tmp/My%20Bank.fxb", false, "fxp fxb", "/tmp/My Bank.fxb", {"*.fxp", "*.fxb"}},
      {FakePortal::Answer::kChoose, "file:///tmp/Init", true, "fxp", "/tmp/Init.fxp", {"*.fxp"}},
      {FakePortal::Answer::kChoose, "https://example.org/a.fxp", false, "fxp", "", {"*.fxp"}},
      {FakePortal::Answer::kCancel, "", true, "fxb", "", {"*.fxb"}},
  };
  setenv("TESSARYN_FILE_DIALOG", "portal", 1);
  for (const PortalCase& portalCase : cases)
  {
    SCOPED_TRACE(portalCase.uri);
    ASSERT_TRUE(sPortal->Running());
    sPortal->answerWith(portalCase.answer, portalCase.uri);
    const FileChooserRequest request{portalCase.save, "/tmp/start", portalCase.extensions, "Init", 0x1234, 1.0};
    EXPECT_EQ(RunFileChooser(request), portalCase.expected);
    const FakePortal::Request seen = sPortal->lastRequest();
    EXPECT_EQ(seen.method, portalCase.save ? "SaveFile" : "OpenFile");
    EXPECT_EQ(seen.parentWindow, "x11:1234");
    EXPECT_EQ(seen.currentFolder, "/tmp/start");
    EXPECT_EQ(seen.currentName, portalCase.save ? "Init" : "");
    EXPECT_EQ(seen.globs, portalCase.expectedGlobs);
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
