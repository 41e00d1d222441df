#pragma once
// The client side of the Non Session Manager protocol over OSC (liblo): the
// announcement, then the manager's requests as a queue the main loop works
// through and answers. Control thread only; nothing runs behind its back.

#include <lo/lo.h>

#include <deque>
#include <string>

struct NsmRequest
{
  enum Kind
  {
    kOpen,    // mPath (without extension) and mClientId are set
    kSave,
    kShowGui,
    kHideGui,
  };
  Kind mKind = kOpen;
  std::string mPath;
  std::string mClientId;
};

class NsmClient
{
public:
  NsmClient() = default;
  ~NsmClient();
  NsmClient(const NsmClient&) = delete;
  NsmClient& operator=(const NsmClient&) = delete;

  // Announces to the manager at `url` (NSM_URL). False when the URL is unusable.
  bool announce(const std::string& url, const std::string& executable);
  // Takes what the manager sent, waiting at most `milliseconds` for it; true
  // with the oldest request not yet taken.
  bool next(NsmRequest& request, int milliseconds);
  // Answers an open or save request: an empty error means it succeeded.
  void reply(const NsmRequest& request, const std::string& error);
  void reportGui(bool shown);

private:
  static int onRequest(const char* path, const char* types, lo_arg** argv, int argc, lo_message message,
                       void* self);

  lo_server mServer = nullptr;
  lo_address mManager = nullptr;
  std::deque<NsmRequest> mRequests;
};
