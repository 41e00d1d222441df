#pragma once
// One HTTP(S) GET at a time, on a worker thread of its own, so that a slow or
// silent server never holds up the thread that asked. The asking thread (the
// editor's) starts the request, later collects the reply, and may cancel.
// Everything here is called from that one thread; only the worker runs
// libcurl.

#include <atomic>
#include <string>
#include <thread>

struct HttpReply
{
  bool mTransferred = false; // false: no connection, a timeout or a broken transfer
  long mStatus = 0;          // the server's status code, when transferred
  std::string mBody;
};

struct HttpTimeouts
{
  long mConnectMs = 5000;
  long mTotalMs = 15000;
};

class HttpGet
{
public:
  // Longer replies are refused: the answers we expect are a few bytes.
  static constexpr size_t kMaxBody = 64 * 1024;

  HttpGet() = default;
  ~HttpGet() { cancel(); }
  HttpGet(const HttpGet&) = delete;
  HttpGet& operator=(const HttpGet&) = delete;

  // False, changing nothing, while an earlier request has not been collected.
  bool start(const std::string& url, const HttpTimeouts& timeouts);
  bool busy() const { return mWorker.joinable() || mFinished; }
  // True once per request, when it has ended; the reply then goes to `reply`.
  bool takeReply(HttpReply& reply);
  // Blocks until the running request ends by itself; its reply stays to be taken.
  void wait();
  // Stops the running request within a fraction of a second; its reply is dropped.
  void cancel();

private:
  void run(std::string url, HttpTimeouts timeouts);

  std::thread mWorker;
  std::atomic<bool> mCancelled = false;
  std::atomic<bool> mFinished = false;
  HttpReply mReply; // the worker's until mFinished
};
