#include "DesktopServices.h"
#include "ScopedConfigHome.h"

#include <gtest/gtest.h>

#include <array>
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

TEST_F(DesktopServicesTest, foldersFollowTheXdgSettings)
{
  // XDG_CONFIG_HOME, user-dirs.dirs (nullptr: no file), then the folders expected; "@" stands for the test folder.
  const std::array<const char*, 4> cases[] = {
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
  for (const auto& [configHome, userDirs, expectedConfig, expectedDesktop] : cases)
  {
    SCOPED_TRACE(userDirs ? userDirs : configHome);
    setenv("XDG_CONFIG_HOME", configHome[0] ? expand(configHome).c_str() : "", 1);
    fs::remove(mRoot / "config/user-dirs.dirs");
    if (userDirs) std::ofstream(mRoot / "config/user-dirs.dirs") << userDirs;
    EXPECT_EQ(ConfigFolder(), expand(expectedConfig));
    EXPECT_EQ(DesktopFolder(), expand(expectedDesktop));
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
