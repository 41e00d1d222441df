#include "JackDummyServer.h"

#include <jack/jack.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace
{
constexpr int kStartAttempts = 100;
constexpr auto kAttemptPause = std::chrono::milliseconds(100);

void quiet(const char*) {}

bool clientConnects()
{
  jack_client_t* client = jack_client_open("probe", JackNoStartServer, nullptr);
  if (client) jack_client_close(client);
  return client != nullptr;
}
} // namespace

JackDummyServer::JackDummyServer()
{
  const std::string name = "tessaryn-test-" + std::to_string(getpid());
  setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
  jack_set_error_function(quiet);
  jack_set_info_function(quiet);
  const char* argv[] = {"jackd", "--no-realtime", "-n", name.c_str(), "-d", "dummy", "-r", "48000", "-p", "256",
                        nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  if (posix_spawnp(&mPid, "jackd", &actions, nullptr, const_cast<char**>(argv), environ) != 0) mPid = -1;
  posix_spawn_file_actions_destroy(&actions);
  for (int i = 0; mPid > 0 && i < kStartAttempts && !(mRunning = clientConnects()); ++i)
    std::this_thread::sleep_for(kAttemptPause);
}

JackDummyServer::~JackDummyServer()
{
  if (mPid <= 0) return;
  kill(mPid, SIGTERM);
  waitpid(mPid, nullptr, 0);
}
