#include "http.h"

#include <curl/curl.h>

#include <mutex>

namespace
{
// How often the worker looks for a cancellation while it waits on the network.
constexpr int kPollMs = 50;

size_t appendBody(char* data, size_t size, size_t count, void* pBody)
{
  std::string& body = *static_cast<std::string*>(pBody);
  const size_t length = size * count;
  if (body.size() + length > HttpGet::kMaxBody) return 0; // aborts the transfer
  body.append(data, length);
  return length;
}

void configure(CURL* easy, const std::string& url, const HttpTimeouts& timeouts, std::string* pBody)
{
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, timeouts.mConnectMs);
  curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, timeouts.mTotalMs);
  curl_easy_setopt(easy, CURLOPT_USERAGENT, "Tessaryn/2.3.1");
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, appendBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, pBody);
}

bool transferredWell(CURLM* multi)
{
  int queued = 0;
  while (CURLMsg* message = curl_multi_info_read(multi, &queued))
    if (message->msg == CURLMSG_DONE) return message->data.result == CURLE_OK;
  return false;
}
} // namespace

bool HttpGet::start(const std::string& url, const HttpTimeouts& timeouts)
{
  if (busy()) return false;
  static std::once_flag initialised;
  std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  mCancelled = false;
  mFinished = false;
  mWorker = std::thread(&HttpGet::run, this, url, timeouts);
  return true;
}

bool HttpGet::takeReply(HttpReply& reply)
{
  if (!mFinished) return false;
  wait();
  reply = std::move(mReply);
  mFinished = false;
  return true;
}

void HttpGet::wait()
{
  if (mWorker.joinable()) mWorker.join();
}

void HttpGet::cancel()
{
  mCancelled = true;
  wait();
  mFinished = false;
}

void HttpGet::run(std::string url, HttpTimeouts timeouts)
{
  HttpReply reply;
  CURL* easy = curl_easy_init();
  CURLM* multi = curl_multi_init();
  if (easy && multi)
  {
    configure(easy, url, timeouts, &reply.mBody);
    curl_multi_add_handle(multi, easy);
    int running = 1;
    while (running && !mCancelled)
    {
      curl_multi_perform(multi, &running);
      if (running) curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr);
    }
    reply.mTransferred = !running && transferredWell(multi);
    if (reply.mTransferred) curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &reply.mStatus);
    curl_multi_remove_handle(multi, easy);
  }
  curl_multi_cleanup(multi);
  curl_easy_cleanup(easy);
  mReply = std::move(reply);
  mFinished = true;
}
