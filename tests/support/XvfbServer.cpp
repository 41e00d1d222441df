#include "XvfbServer.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{
// Xvfb writes the display number and a newline once it accepts connections.
std::string ReadDisplayNumber(int fd, int timeoutMs)
{
  std::string number;
  pollfd waitFor{fd, POLLIN, 0};
  while (poll(&waitFor, 1, timeoutMs) > 0)
  {
    char c;
    if (read(fd, &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  return number;
}
} // namespace

XvfbServer::XvfbServer(int width, int height)
{
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return;
  const std::string fdText = std::to_string(pipeFds[1]);
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  const char* argv[] = {"Xvfb",      "-displayfd", fdText.c_str(), "-screen",    "0",     screen.c_str(),
                        "-nolisten", "tcp",        "-noreset",     "+extension", "XTEST", nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  if (posix_spawnp(&mPid, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ) != 0) mPid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  if (mPid > 0)
  {
    const std::string number = ReadDisplayNumber(pipeFds[0], 20000);
    if (!number.empty())
    {
      mDisplayName = ":" + number;
      setenv("DISPLAY", mDisplayName.c_str(), 1);
    }
  }
  close(pipeFds[0]);
}

XvfbServer::~XvfbServer()
{
  if (mPid <= 0) return;
  kill(mPid, SIGTERM);
  waitpid(mPid, nullptr, 0);
}
