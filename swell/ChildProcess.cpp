#include "ChildProcess.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{
std::vector<char*> argumentVector(const std::vector<std::string>& arguments)
{
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  return argv;
}

pid_t spawn(const std::vector<std::string>& arguments, int stdoutFd)
{
  if (arguments.empty()) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  if (stdoutFd >= 0)
    posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
  else
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  std::vector<char*> argv = argumentVector(arguments);
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int waitForExit(pid_t pid)
{
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Detached children are reaped later rather than by a waiting thread: a thread
// could outlive the plug-in's code when the host unloads it.
std::mutex gDetachedLock;
std::vector<pid_t> gDetached;

void reapEndedChildren()
{
  std::erase_if(gDetached, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
}
} // namespace

bool isOnPath(const std::string& program)
{
  const char* path = getenv("PATH");
  if (!path || program.empty()) return false;
  std::string folders = path;
  for (size_t start = 0; start <= folders.size();)
  {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string candidate = folders.substr(start, end - start) + "/" + program;
    struct stat status;
    if (end > start && stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
        access(candidate.c_str(), X_OK) == 0)
      return true;
    start = end + 1;
  }
  return false;
}

bool spawnDetached(const std::vector<std::string>& arguments)
{
  std::lock_guard lock(gDetachedLock);
  reapEndedChildren();
  const pid_t pid = spawn(arguments, -1);
  if (pid > 0) gDetached.push_back(pid);
  return pid > 0;
}

bool runForOutput(const std::vector<std::string>& arguments, std::string& output)
{
  output.clear();
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return false;
  const pid_t pid = spawn(arguments, pipeFds[1]);
  close(pipeFds[1]);
  if (pid > 0)
  {
    char buffer[4096];
    ssize_t count;
    while ((count = read(pipeFds[0], buffer, sizeof buffer)) != 0)
      if (count > 0)
        output.append(buffer, static_cast<size_t>(count));
      else if (errno != EINTR)
        break;
  }
  close(pipeFds[0]);
  return pid > 0 && waitForExit(pid) == 0;
}
