#include "IPlatformControls.h"

#include "ControlTestEditor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(IURLControl, FallsBackToTheBackupURLWhenTheFirstFailsOrIsMissing)
{
  struct Case
  {
    const char* url;
    const char* backup;
    bool opens;
    std::vector<std::string> tried;
  };
  const Case cases[] = {
      {"https://a", "https://b", true, {"https://a"}},
      {"https://a", "https://b", false, {"https://a", "https://b"}},
      {"", "https://b", true, {"https://b"}},
      {"https://a", nullptr, false, {"https://a"}},
  };
  for (const Case& c : cases)
  {
    ControlTestEditor editor(10, 10);
    editor.mGraphics->mOpenURLResult = c.opens;
    IURLControl url(&editor.mPlug, IRECT(0, 0, 10, 10), c.url, c.backup);
    IMouseMod left(true);
    url.OnMouseDown(1, 1, &left);
    EXPECT_EQ(editor.mGraphics->mOpenedURLs, c.tried) << c.url;
  }
}

TEST(IFileSelectorControl, AChoiceStepsTheValueAndRedrawsOnceMore)
{
  ControlTestEditor editor(10, 10);
  editor.mGraphics->mFileChoice = "/tmp/bank.fxb";
  IFileSelectorControl selector(&editor.mPlug, IRECT(0, 0, 10, 10), -1, IBitmap(), kFileOpen);
  IMouseMod left(true);
  selector.OnMouseDown(1, 1, &left);
  EXPECT_EQ(selector.GetValue(), 1.0);
  WDL_String file;
  selector.GetLastSelectedFileForPlug(&file);
  EXPECT_STREQ(file.Get(), "/tmp/bank.fxb");

  selector.SetClean();
  EXPECT_TRUE(selector.IsDirty());
  EXPECT_FALSE(selector.IsDirty());
  selector.OnMouseDown(1, 1, &left);
  EXPECT_EQ(selector.GetValue(), 0.0);
}
