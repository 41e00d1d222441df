#pragma once
// A private JACK server on the dummy backend (48000 Hz, 256 frames) for the
// life of the object, under a name of its own exported as
// JACK_DEFAULT_SERVER, so this process and its children use it and parallel
// tests never meet.

#include <sys/types.h>

class JackDummyServer
{
public:
  JackDummyServer();
  ~JackDummyServer();
  JackDummyServer(const JackDummyServer&) = delete;
  JackDummyServer& operator=(const JackDummyServer&) = delete;

  // True once a client could connect.
  bool running() const { return mRunning; }

private:
  pid_t mPid = -1;
  bool mRunning = false;
};
