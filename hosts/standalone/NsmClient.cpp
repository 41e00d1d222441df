#include "NsmClient.h"

#include <unistd.h>

#include <cstring>

namespace
{
constexpr const char* kApplicationName = "Tessaryn";
constexpr const char* kCapabilities = ":switch:optional-gui:";
constexpr int kApiMajor = 1;
constexpr int kApiMinor = 2;
constexpr int kGeneralError = -1;

struct Route
{
  const char* mPath;
  const char* mTypes;
  NsmRequest::Kind mKind;
};

const Route kRoutes[] = {
    {"/nsm/client/open", "sss", NsmRequest::kOpen},
    {"/nsm/client/save", "", NsmRequest::kSave},
    {"/nsm/client/show_optional_gui", "", NsmRequest::kShowGui},
    {"/nsm/client/hide_optional_gui", "", NsmRequest::kHideGui},
};
} // namespace

NsmClient::~NsmClient()
{
  if (mManager) lo_address_free(mManager);
  if (mServer) lo_server_free(mServer);
}

bool NsmClient::announce(const std::string& url, const std::string& executable)
{
  mManager = lo_address_new_from_url(url.c_str());
  if (!mManager) return false;
  mServer = lo_server_new_with_proto(nullptr, lo_address_get_protocol(mManager), nullptr);
  if (!mServer) return false;
  for (const Route& route : kRoutes)
    lo_server_add_method(mServer, route.mPath, route.mTypes, onRequest, this);
  return lo_send_from(mManager, mServer, LO_TT_IMMEDIATE, "/nsm/server/announce", "sssiii", kApplicationName,
                      kCapabilities, executable.c_str(), kApiMajor, kApiMinor, int(getpid())) >= 0;
}

bool NsmClient::next(NsmRequest& request, int milliseconds)
{
  while (lo_server_recv_noblock(mServer, mRequests.empty() ? milliseconds : 0) > 0)
  {
  }
  if (mRequests.empty()) return false;
  request = mRequests.front();
  mRequests.pop_front();
  return true;
}

void NsmClient::reply(const NsmRequest& request, const std::string& error)
{
  const char* path = request.mKind == NsmRequest::kOpen ? "/nsm/client/open" : "/nsm/client/save";
  if (error.empty())
    lo_send_from(mManager, mServer, LO_TT_IMMEDIATE, "/reply", "ss", path, "OK");
  else
    lo_send_from(mManager, mServer, LO_TT_IMMEDIATE, "/error", "sis", path, kGeneralError, error.c_str());
}

void NsmClient::reportGui(bool shown)
{
  lo_send_from(mManager, mServer, LO_TT_IMMEDIATE, shown ? "/nsm/client/gui_is_shown" : "/nsm/client/gui_is_hidden",
               "");
}

int NsmClient::onRequest(const char* path, const char*, lo_arg** argv, int, lo_message, void* self)
{
  NsmRequest request;
  for (const Route& route : kRoutes)
    if (std::strcmp(path, route.mPath) == 0) request.mKind = route.mKind;
  if (request.mKind == NsmRequest::kOpen)
  {
    request.mPath = reinterpret_cast<const char*>(argv[0]); // liblo aligns arguments to 4 bytes only
    request.mClientId = reinterpret_cast<const char*>(argv[2]);
  }
  static_cast<NsmClient*>(self)->mRequests.push_back(request);
  return 0;
}
