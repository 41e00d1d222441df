#include "FileChooser.h"

// gtest before Xlib: Xlib's macros (None, Bool) break gtest's headers.
#include <gtest/gtest.h>

#include "FileContents.h"
#include "ScopedConfigHome.h"
#include "X11TestDriver.h"
#include "XvfbServer.h"

#include <cstdlib>
#include <filesystem>

namespace
{
namespace fs = std::filesystem;

// A folder with programs, banks, other files and a sub-folder; and stand-ins
// for the desktop's dialog programs, first on PATH, that report how they were
// called and answer what the test asks.
class FileChooserTest : public testing::Test
{
protected:
  void SetUp() override
  {
    fs::create_directories(mRoot / "sub");
    fs::create_directories(mHome.root() / "bin");
    for (const char* name : {"a.fxp", "b.fxb", "notes.txt", ".hidden.fxp", "sub/deep.fxp"}) writeFile(mRoot / name, "");
    const std::string standIn = "#!/bin/sh\nprintf '%s\\n' \"${0##*/}\" \"$@\" > \"$STANDIN_ARGS\"\n"
                                "[ -n \"$STANDIN_ANSWER\" ] && printf '%s\\n' \"$STANDIN_ANSWER\"\n";
    for (const char* program : {"zenity", "kdialog"})
    {
      writeFile(mHome.root() / "bin" / program, standIn);
      fs::permissions(mHome.root() / "bin" / program, fs::perms::owner_all);
    }
    setenv("PATH", ((mHome.root() / "bin").string() + ":" + getenv("PATH")).c_str(), 1);
    setenv("STANDIN_ARGS", (mHome.root() / "args").c_str(), 1);
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1);
  }

  ScopedConfigHome mHome;
  ScopedEnv mPath{"PATH"};
  ScopedEnv mDialog{"TESSARYN_FILE_DIALOG"};
  const fs::path mRoot = mHome.root() / "files"; // the folder the dialogs start in
};

struct ProgramAnswer
{
  const char* forcedRoute; // nullptr: chosen by what is available
  bool save;
  const char* extensions;
  const char* answer;      // relative to the test folder; "" cancels
  const char* expected;    // relative to the test folder; "" for none
  std::vector<std::string> expectedArguments; // "@" stands for the test folder
};

TEST_F(FileChooserTest, desktopDialogProgramsAreCalledWithoutShellAndAnswer)
{
  const ProgramAnswer answers[] = {
      {"zenity", true, "fxb", "My Bank", "My Bank.fxb",
       {"zenity", "--file-selection", "--filename=@/Tessaryn", "--save", "--confirm-overwrite", "--file-filter=*.fxb"}},
      {"zenity", true, "fxp fxb", "x.FXB", "x.FXB", {}},
      {"kdialog", false, "fxp fxb", "a.fxp", "a.fxp", {"kdialog", "--getopenfilename", "@/", "*.fxp *.fxb"}},
      {"zenity", false, "fxp", "", "", {}},
      // No portal answers on this bus: zenity comes before kdialog.
      {nullptr, false, "fxp", "a.fxp", "a.fxp", {"zenity", "--file-selection", "--filename=@/", "--file-filter=*.fxp"}},
  };
  for (const ProgramAnswer& answer : answers)
  {
    SCOPED_TRACE(answer.forcedRoute ? answer.forcedRoute : "any");
    if (answer.forcedRoute)
      setenv("TESSARYN_FILE_DIALOG", answer.forcedRoute, 1);
    else
      unsetenv("TESSARYN_FILE_DIALOG");
    const std::string answerPath = answer.answer[0] ? (mRoot / answer.answer).string() : "";
    setenv("STANDIN_ANSWER", answerPath.c_str(), 1);
    FileChooserRequest request{answer.save, mRoot.string(), answer.extensions, "Tessaryn", 0, 1.0};
    EXPECT_EQ(RunFileChooser(request), answer.expected[0] ? (mRoot / answer.expected).string() : "");
    std::string expectedArguments; // one a line
    for (std::string argument : answer.expectedArguments)
    {
      if (const size_t at = argument.find('@'); at != std::string::npos) argument.replace(at, 1, mRoot.string());
      expectedArguments += argument + "\n";
    }
    if (!expectedArguments.empty())
    {
      EXPECT_EQ(readFile(mHome.root() / "args"), expectedArguments);
    }
  }
}

// Where the built-in dialog's list rows lie, at scale 1.
constexpr int kListTop = 78;
constexpr int kRowHeight = 22;

struct BuiltinAnswer
{
  bool save;
  const char* extensions;
  std::vector<std::string> keys; // key names, "=" and text to type, "?" waits for a question, "@" and
                                 // a row double-clicks in the list
  const char* expected;          // relative to the test folder; "" for none
};

TEST_F(FileChooserTest, builtinDialogIsDrivenByKeys)
{
  const BuiltinAnswer answers[] = {
      {false, "fxp fxb", {"Down", "Return", "Down", "Return"}, "sub/deep.fxp"},
      {false, "fxp", {"=a.fxp", "Return"}, "a.fxp"},
      {false, "fxp", {"=nothere.fxp", "Return", "Escape"}, ""},
      {false, "fxp", {"=sub", "Return", "Down", "Return"}, "sub/deep.fxp"},
      {true, "fxp", {"Return"}, "Tessaryn.fxp"},
      {true, "fxb", {"BackSpace", "BackSpace", "BackSpace", "BackSpace", "BackSpace", "BackSpace", "BackSpace",
                     "BackSpace", "=sub/mine.fxb", "Return"}, "sub/mine.fxb"},
      {true, "fxp", {"Tab", "Tab", "Tab", "Return"}, ""},
      // Saving over a file is asked first; "No" keeps the dialog open.
      {true, "fxp", {"Down", "Down", "Return", "?", "Escape", "Escape"}, ""},
      {true, "fxp", {"Down", "Down", "Return", "?", "Return"}, "a.fxp"},
      {false, "fxp", {"@1", "@1"}, "sub/deep.fxp"},
  };
  XvfbServer server;
  ASSERT_TRUE(server.Running());
  X11TestDriver driver;
  setenv("TESSARYN_FILE_DIALOG", "builtin", 1);
  for (const BuiltinAnswer& answer : answers)
  {
    SCOPED_TRACE(testing::Message() << (answer.save ? "save " : "open ") << answer.expected);
    const FileChooserRequest request{answer.save, mRoot.string(), answer.extensions, "Tessaryn", 0, 1.0};
    std::future<std::string> dialog = std::async(std::launch::async, [&] { return RunFileChooser(request); });
    const Window window = driver.waitForDialog();
    ASSERT_NE(window, 0u);
    if (&answer == answers) driver.writePng(window, SCREENSHOT_DIR "/builtin-file-dialog.png");
    for (const std::string& key : answer.keys)
    {
      if (key[0] == '=')
        driver.typeText(key.substr(1));
      else if (key[0] == '?')
        ASSERT_NE(driver.waitForDialog(), 0u);
      else if (key[0] == '@')
        driver.doubleClick(window, 100, kListTop + kRowHeight * std::stoi(key.substr(1)) + kRowHeight / 2);
      else
        driver.pressKey(XStringToKeysym(key.c_str()));
    }
    EXPECT_EQ(answerOf(dialog, driver, window), answer.expected[0] ? (mRoot / answer.expected).string() : "");
  }
}
} // namespace
