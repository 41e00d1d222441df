#pragma once
// An HTTP server on 127.0.0.1 (a port of its own) for tests: every request
// gets the same reply, or, when silent, none at all while the connection
// stays open.

#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LocalHttpServer
{
public:
  struct Reply
  {
    int status = 200;
    std::string body;
    bool silent = false;
  };

  explicit LocalHttpServer(Reply reply);
  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  // "127.0.0.1:port", as a host name for a URL.
  std::string host() const;
  // The request lines seen so far ("GET /path HTTP/1.1"); each is recorded
  // before its reply is sent.
  std::vector<std::string> requests() const;

private:
  void serve();
  void answer(int connection);

  Reply mReply;
  int mListener = -1;
  int mPort = 0;
  int mStopPipe[2] = {-1, -1};
  std::vector<int> mHeldConnections;
  mutable std::mutex mMutex;
  std::vector<std::string> mRequests;
  std::thread mThread;
};
