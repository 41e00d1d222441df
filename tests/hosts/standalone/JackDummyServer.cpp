#include "JackDummyServer.h"

#include <jack/jack.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/prctl.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

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
  mPid = fork();
  if (mPid == 0)
  {
    // A test that crashes must not leave its server behind.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDOUT_FILENO);
    dup2(quiet, STDERR_FILENO);
    execvp(argv[0], const_cast<char**>(argv));
    _exit(127);
  }
  for (int i = 0; mPid > 0 && i < kStartAttempts && !(mRunning = clientConnects()); ++i)
    std::this_thread::sleep_for(kAttemptPause);
}

JackDummyServer::~JackDummyServer()
{
  if (mPid <= 0) return;
  kill(mPid, SIGTERM);
  waitpid(mPid, nullptr, 0);
}
