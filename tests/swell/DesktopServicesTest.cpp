#include "DesktopServices.h"
#include "ScopedConfigHome.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
namespace fs = std::filesystem;

class DesktopServicesTest : public testing::Test
{
protected:
  void SetUp() override { fs::create_directories(mRoot / "config"); }

  ScopedConfigHome mHome; // HOME is its "home"
  ScopedEnv mPath{"PATH"};
  const fs::path mRoot = mHome.root();
};

struct FolderCase
{
  const char* configHome; // "@" stands for the test folder
  const char* userDirs;   // user-dirs.dirs content; nullptr: no file
  const char* expectedConfig;
  const char* expectedDesktop;
};

TEST_F(DesktopServicesTest, foldersFollowTheXdgSettings)
{
  const FolderCase cases[] = {
      {"@/config", "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Bureau\"\n", "@/config",
       "@/home/Bureau"},
      {"@/config", "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\nXDG_DESKTOP_DIR=\"/srv/desk/\"\n", "@/config", "/srv/desk"},
      {"@/config", "XDG_DESKTOP_DIR=\"relative/desk\"\n", "@/config", "@/home/Desktop"},
      {"@/config", nullptr, "@/config", "@/home/Desktop"},
      // A relative setting would follow whatever folder the host runs in.
      {"config", nullptr, "@/home/.config", "@/home/Desktop"},
      {"", nullptr, "@/home/.config", "@/home/Desktop"},
  };
  const auto expand = [this](std::string text) {
    if (text[0] == '@') text.replace(0, 1, mRoot.string());
    return text;
  };
  for (const FolderCase& folderCase : cases)
  {
    SCOPED_TRACE(folderCase.userDirs ? folderCase.userDirs : folderCase.configHome);
    setenv("XDG_CONFIG_HOME", folderCase.configHome[0] ? expand(folderCase.configHome).c_str() : "", 1);
    fs::remove(mRoot / "config/user-dirs.dirs");
    if (folderCase.userDirs) std::ofstream(mRoot / "config/user-dirs.dirs") << folderCase.userDirs;
    EXPECT_EQ(ConfigFolder(), expand(folderCase.expectedConfig));
    EXPECT_EQ(DesktopFolder(), expand(folderCase.expectedDesktop));
  }
}

TEST_F(DesktopServicesTest, programFoldersComeFromTheLoadedFiles)
{
  const std::string executable = ExecutablePath();
  ASSERT_FALSE(executable.empty());
  // This test program is linked statically: its code lies in the executable.
  EXPECT_EQ(FolderOfLoadedLibrary(reinterpret_cast<const void*>(&ExecutablePath)),
            executable.substr(0, executable.rfind('/') + 1));
  EXPECT_EQ(FolderOfLoadedLibrary(nullptr), "");
}

TEST_F(DesktopServicesTest, desktopHandlerGetsTheTextAsOneArgumentWithoutWaiting)
{
  fs::create_directories(mRoot / "bin");
  const fs::path fifo = mRoot / "handed";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::ofstream(mRoot / "bin/xdg-open") << "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > " << fifo.string() << "\n";
  fs::permissions(mRoot / "bin/xdg-open", fs::perms::owner_all);
  setenv("PATH", (mRoot / "bin").c_str(), 1);
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  const char* url = "https://example.org/tessaryn?a=1&b=$(echo no) ; x";
  ASSERT_TRUE(OpenWithDesktopHandler(url));
  pollfd waitFor{reader, POLLIN, 0};
  ASSERT_GT(poll(&waitFor, 1, 10000), 0);
  char handed[256] = {};
  ASSERT_GT(read(reader, handed, sizeof handed - 1), 0);
  close(reader);
  EXPECT_EQ(std::string(handed), std::string("1|") + url);

  setenv("PATH", (mRoot / "nothing-here").c_str(), 1);
  EXPECT_FALSE(OpenWithDesktopHandler(url));
  EXPECT_FALSE(OpenWithDesktopHandler(""));
}
} // namespace
