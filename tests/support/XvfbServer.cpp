#include "XvfbServer.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

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
  // Xvfb writes the display number and a newline once it accepts connections.
  std::string number;
  pollfd waitFor{pipeFds[0], POLLIN, 0};
  for (char c; mPid > 0 && poll(&waitFor, 1, 20000) > 0 && read(pipeFds[0], &c, 1) == 1 && c != '\n';)
    number += c;
  close(pipeFds[0]);
  if (number.empty()) return;
  mDisplayName = ":" + number;
  setenv("DISPLAY", mDisplayName.c_str(), 1);
}

XvfbServer::~XvfbServer()
{
  if (mPid <= 0) return;
  kill(mPid, SIGTERM);
  waitpid(mPid, nullptr, 0);
}
