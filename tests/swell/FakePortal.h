#pragma once
// A session bus of the test's own with a stand-in for the desktop portal's
// file chooser on it. DBUS_SESSION_BUS_ADDRESS points at the bus while it lives;
// libdbus reads it once per process, so a test program starts one bus only.
#include "TemporaryFolder.h"

#include <dbus/dbus.h>

#include <atomic>
#include <cstdio>
#include <condition_variable>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

class FakePortal
{
public:
  enum class Answer
  {
    kChoose,  // responds with the uri
    kCancel,  // the user cancelled
    kNever,   // takes the call but never responds
    kExit,    // takes the call, then leaves the bus without responding
  };
  struct Request
  {
    std::string method;
    std::string parentWindow;
    std::string currentFolder;
    std::string currentName;
    std::vector<std::string> globs;
    bool closed = false;
  };

  FakePortal();
  ~FakePortal();
  FakePortal(const FakePortal&) = delete;
  FakePortal& operator=(const FakePortal&) = delete;

  bool Running() const { return mBus != nullptr; }
  // How the next requests are answered.
  void answerWith(Answer answer, std::string uri);
  Request lastRequest();
  // True once the client has closed its request.
  bool waitForClose(int timeoutMs);

private:
  void serve();
  void handle(DBusMessage* message);
  void respond(DBusMessage* call, const std::string& token);

  Answer mAnswer = Answer::kCancel;
  std::string mUri;
  TemporaryFolder mConfigFolder;
  FILE* mDaemon = nullptr;
  pid_t mDaemonId = -1;
  DBusConnection* mBus = nullptr;
  std::mutex mLock;
  std::condition_variable mClosed;
  Request mRequest;
  std::atomic<bool> mStop{false};
  std::thread mThread;
};
