#include "QuitSignal.h"

#include <csignal>

namespace
{
volatile std::sig_atomic_t gQuit = 0;

void onSignal(int)
{
  gQuit = 1;
}
} // namespace

void QuitSignal::install()
{
  struct sigaction action = {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool QuitSignal::requested()
{
  return gQuit != 0;
}
