#include "StandaloneProcess.h"

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace
{
constexpr int kWaitSteps = 200;
constexpr auto kStep = std::chrono::milliseconds(50);
} // namespace

StandaloneProcess::StandaloneProcess(const std::vector<std::string>& args, const std::string& folder)
    : mOutPath(folder + "/stdout.txt"), mErrPath(folder + "/stderr.txt")
{
  std::vector<char*> argv{const_cast<char*>(STANDALONE_PATH)};
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, mOutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, mErrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (posix_spawn(&mPid, STANDALONE_PATH, &actions, nullptr, argv.data(), environ) != 0) mPid = -1;
  posix_spawn_file_actions_destroy(&actions);
}

StandaloneProcess::~StandaloneProcess()
{
  if (mPid <= 0) return;
  kill(mPid, SIGKILL);
  waitpid(mPid, nullptr, 0);
}

bool StandaloneProcess::waitForOutput(const std::string& text)
{
  for (int i = 0; mPid > 0 && i < kWaitSteps; ++i)
  {
    if (output().find(text) != std::string::npos) return true;
    if (reap(WNOHANG)) return output().find(text) != std::string::npos;
    std::this_thread::sleep_for(kStep);
  }
  return false;
}

int StandaloneProcess::quit()
{
  if (mPid > 0) kill(mPid, SIGTERM);
  return exitCode();
}

int StandaloneProcess::exitCode()
{
  reap(0);
  return mExitCode;
}

bool StandaloneProcess::reap(int options)
{
  int status = 0;
  if (mPid <= 0 || waitpid(mPid, &status, options) != mPid) return false;
  mPid = -1;
  mExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return true;
}
