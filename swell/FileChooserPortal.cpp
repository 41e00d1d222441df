// The desktop's file dialog through the XDG desktop portal: a method call that
// returns a request object at once, then a Response signal on that object when
// the user has answered.
#include "FileChooserRoutes.h"

#include <dbus/dbus.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace
{
constexpr const char* kPortalName = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kFileChooser = "org.freedesktop.portal.FileChooser";
constexpr const char* kRequest = "org.freedesktop.portal.Request";
// Long enough for the bus to start the portal on demand.
constexpr int kCallTimeoutMs = 10000;

std::atomic<unsigned> gRequestCount{0};

class Dict
{
public:
  explicit Dict(DBusMessageIter* parent) : mParent(parent)
  {
    dbus_message_iter_open_container(parent, DBUS_TYPE_ARRAY, "{sv}", &mDict);
  }
  ~Dict() { dbus_message_iter_close_container(mParent, &mDict); }

  // Opens the entry's variant; the caller writes into `value` and calls endEntry.
  void beginEntry(const char* key, const char* signature, DBusMessageIter& value)
  {
    dbus_message_iter_open_container(&mDict, DBUS_TYPE_DICT_ENTRY, nullptr, &mEntry);
    dbus_message_iter_append_basic(&mEntry, DBUS_TYPE_STRING, &key);
    dbus_message_iter_open_container(&mEntry, DBUS_TYPE_VARIANT, signature, &value);
  }
  void endEntry(DBusMessageIter& value)
  {
    dbus_message_iter_close_container(&mEntry, &value);
    dbus_message_iter_close_container(&mDict, &mEntry);
  }
  void addString(const char* key, const std::string& text)
  {
    DBusMessageIter value;
    beginEntry(key, "s", value);
    const char* data = text.c_str();
    dbus_message_iter_append_basic(&value, DBUS_TYPE_STRING, &data);
    endEntry(value);
  }
  void addBool(const char* key, bool flag)
  {
    DBusMessageIter value;
    beginEntry(key, "b", value);
    dbus_bool_t data = flag;
    dbus_message_iter_append_basic(&value, DBUS_TYPE_BOOLEAN, &data);
    endEntry(value);
  }
  // Folders travel as NUL-terminated bytes, not as text.
  void addPathBytes(const char* key, const std::string& path)
  {
    DBusMessageIter value, bytes;
    beginEntry(key, "ay", value);
    dbus_message_iter_open_container(&value, DBUS_TYPE_ARRAY, "y", &bytes);
    const char* data = path.c_str();
    dbus_message_iter_append_fixed_array(&bytes, DBUS_TYPE_BYTE, &data, static_cast<int>(path.size() + 1));
    dbus_message_iter_close_container(&value, &bytes);
    endEntry(value);
  }

private:
  DBusMessageIter* mParent;
  DBusMessageIter mDict;
  DBusMessageIter mEntry;
};

// One filter (name, [(0, glob)...]): pattern kind 0 is a glob.
void appendFilter(DBusMessageIter* into, const std::vector<std::string>& extensions)
{
  DBusMessageIter filter, patterns;
  dbus_message_iter_open_container(into, DBUS_TYPE_STRUCT, nullptr, &filter);
  std::string name;
  for (const std::string& extension : extensions) name += (name.empty() ? "*." : " *.") + extension;
  const char* nameData = name.c_str();
  dbus_message_iter_append_basic(&filter, DBUS_TYPE_STRING, &nameData);
  dbus_message_iter_open_container(&filter, DBUS_TYPE_ARRAY, "(us)", &patterns);
  for (const std::string& extension : extensions)
  {
    DBusMessageIter pattern;
    const std::string glob = "*." + extension;
    const char* globData = glob.c_str();
    const dbus_uint32_t kind = 0;
    dbus_message_iter_open_container(&patterns, DBUS_TYPE_STRUCT, nullptr, &pattern);
    dbus_message_iter_append_basic(&pattern, DBUS_TYPE_UINT32, &kind);
    dbus_message_iter_append_basic(&pattern, DBUS_TYPE_STRING, &globData);
    dbus_message_iter_close_container(&patterns, &pattern);
  }
  dbus_message_iter_close_container(&filter, &patterns);
  dbus_message_iter_close_container(into, &filter);
}

void addFilters(Dict& options, const std::vector<std::string>& extensions)
{
  DBusMessageIter value, list;
  options.beginEntry("filters", "a(sa(us))", value);
  dbus_message_iter_open_container(&value, DBUS_TYPE_ARRAY, "(sa(us))", &list);
  appendFilter(&list, extensions);
  dbus_message_iter_close_container(&value, &list);
  options.endEntry(value);
  options.beginEntry("current_filter", "(sa(us))", value);
  appendFilter(&value, extensions);
  options.endEntry(value);
}

DBusMessage* fileChooserCall(const FileChooserRequest& request, const std::string& token)
{
  DBusMessage* call =
      dbus_message_new_method_call(kPortalName, kPortalPath, kFileChooser, request.save ? "SaveFile" : "OpenFile");
  char parent[32] = "";
  if (request.ownerWindow) snprintf(parent, sizeof parent, "x11:%lx", request.ownerWindow);
  const char* parentData = parent;
  const char* title = request.save ? "Save File" : "Open File";
  DBusMessageIter arguments;
  dbus_message_iter_init_append(call, &arguments);
  dbus_message_iter_append_basic(&arguments, DBUS_TYPE_STRING, &parentData);
  dbus_message_iter_append_basic(&arguments, DBUS_TYPE_STRING, &title);
  Dict options(&arguments);
  options.addString("handle_token", token);
  options.addBool("modal", true);
  options.addPathBytes("current_folder", request.folder);
  if (request.save) options.addString("current_name", request.proposedName);
  if (const std::vector<std::string> extensions = splitExtensions(request.extensions); !extensions.empty())
    addFilters(options, extensions);
  return call;
}

int hexValue(char c)
{
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "file:///a%20b" → "/a b"; other schemes are not files we can open.
std::string pathFromFileUri(const std::string& uri)
{
  const std::string scheme = "file://";
  if (uri.rfind(scheme, 0) != 0) return "";
  std::string path;
  for (size_t i = scheme.size(); i < uri.size(); ++i)
  {
    if (uri[i] == '%' && i + 2 < uri.size() && hexValue(uri[i + 1]) >= 0 && hexValue(uri[i + 2]) >= 0)
    {
      path += static_cast<char>(hexValue(uri[i + 1]) * 16 + hexValue(uri[i + 2]));
      i += 2;
    }
    else
      path += uri[i];
  }
  return path.empty() || path[0] != '/' ? "" : path;
}

// The first entry of "uris" in the results a{sv}.
std::string firstUri(DBusMessageIter* results)
{
  DBusMessageIter entries;
  dbus_message_iter_recurse(results, &entries);
  for (; dbus_message_iter_get_arg_type(&entries) == DBUS_TYPE_DICT_ENTRY; dbus_message_iter_next(&entries))
  {
    DBusMessageIter entry, value, uris;
    const char* key = nullptr;
    dbus_message_iter_recurse(&entries, &entry);
    dbus_message_iter_get_basic(&entry, &key);
    if (std::string(key) != "uris" || !dbus_message_iter_next(&entry)) continue;
    dbus_message_iter_recurse(&entry, &value);
    if (dbus_message_iter_get_arg_type(&value) != DBUS_TYPE_ARRAY) return "";
    dbus_message_iter_recurse(&value, &uris);
    if (dbus_message_iter_get_arg_type(&uris) != DBUS_TYPE_STRING) return "";
    const char* uri = nullptr;
    dbus_message_iter_get_basic(&uris, &uri);
    return uri;
  }
  return "";
}

std::string pathFromResponse(DBusMessage* response)
{
  DBusMessageIter arguments;
  if (!dbus_message_iter_init(response, &arguments) || dbus_message_iter_get_arg_type(&arguments) != DBUS_TYPE_UINT32)
    return "";
  dbus_uint32_t code = 1;
  dbus_message_iter_get_basic(&arguments, &code);
  if (code != 0 || !dbus_message_iter_next(&arguments) || dbus_message_iter_get_arg_type(&arguments) != DBUS_TYPE_ARRAY)
    return "";
  return pathFromFileUri(firstUri(&arguments));
}

// libdbus reads the session bus address once per process; reading it each
// time follows a bus that was started after the first dialog.
DBusConnection* openSessionBus()
{
  const char* address = getenv("DBUS_SESSION_BUS_ADDRESS");
  if (!address || !address[0]) return dbus_bus_get_private(DBUS_BUS_SESSION, nullptr);
  DBusConnection* bus = dbus_connection_open_private(address, nullptr);
  if (bus && !dbus_bus_register(bus, nullptr))
  {
    dbus_connection_close(bus);
    dbus_connection_unref(bus);
    return nullptr;
  }
  return bus;
}

// A private connection to the session bus, so our matches and messages never
// mix with another user of the bus in the same process.
class PortalConnection
{
public:
  PortalConnection()
  {
    mBus = openSessionBus();
    if (mBus) dbus_connection_set_exit_on_disconnect(mBus, FALSE);
  }
  ~PortalConnection()
  {
    if (!mBus) return;
    dbus_connection_close(mBus);
    dbus_connection_unref(mBus);
  }
  PortalConnection(const PortalConnection&) = delete;
  PortalConnection& operator=(const PortalConnection&) = delete;

  std::optional<std::string> choose(const FileChooserRequest& request, int responseTimeoutMs);

private:
  std::string expectedRequestPath(const std::string& token) const;
  void watchResponse(const std::string& requestPath);
  void watchPortalExit();
  std::string call(const FileChooserRequest& request, const std::string& token);
  std::string awaitResponse(const std::string& requestPath, int timeoutMs);
  void closeRequest(const std::string& requestPath);

  DBusConnection* mBus = nullptr;
};

// The portal names the request object after our unique name and the token,
// so the signal can be subscribed to before the call is made.
std::string PortalConnection::expectedRequestPath(const std::string& token) const
{
  std::string sender = dbus_bus_get_unique_name(mBus);
  sender.erase(0, 1);
  for (char& c : sender)
    if (c == '.') c = '_';
  return std::string(kPortalPath) + "/request/" + sender + "/" + token;
}

void PortalConnection::watchResponse(const std::string& requestPath)
{
  const std::string rule =
      "type='signal',interface='" + std::string(kRequest) + "',member='Response',path='" + requestPath + "'";
  dbus_bus_add_match(mBus, rule.c_str(), nullptr);
}

// A portal that ends while its dialog is open would otherwise leave us waiting.
void PortalConnection::watchPortalExit()
{
  const std::string rule = "type='signal',sender='org.freedesktop.DBus',member='NameOwnerChanged',arg0='" +
                           std::string(kPortalName) + "'";
  dbus_bus_add_match(mBus, rule.c_str(), nullptr);
}

bool isPortalExit(DBusMessage* message)
{
  const char* name = nullptr;
  const char* oldOwner = nullptr;
  const char* newOwner = nullptr;
  return dbus_message_is_signal(message, DBUS_INTERFACE_DBUS, "NameOwnerChanged") &&
         dbus_message_get_args(message, nullptr, DBUS_TYPE_STRING, &name, DBUS_TYPE_STRING, &oldOwner,
                               DBUS_TYPE_STRING, &newOwner, DBUS_TYPE_INVALID) &&
         std::string(name) == kPortalName && !newOwner[0];
}

// The request object's path, or "" when no portal answered the call.
std::string PortalConnection::call(const FileChooserRequest& request, const std::string& token)
{
  DBusMessage* message = fileChooserCall(request, token);
  DBusError error;
  dbus_error_init(&error);
  DBusMessage* reply = dbus_connection_send_with_reply_and_block(mBus, message, kCallTimeoutMs, &error);
  dbus_message_unref(message);
  dbus_error_free(&error);
  if (!reply) return "";
  const char* path = nullptr;
  DBusMessageIter arguments;
  if (dbus_message_iter_init(reply, &arguments) && dbus_message_iter_get_arg_type(&arguments) == DBUS_TYPE_OBJECT_PATH)
    dbus_message_iter_get_basic(&arguments, &path);
  std::string requestPath = path ? path : "";
  dbus_message_unref(reply);
  return requestPath;
}

std::string PortalConnection::awaitResponse(const std::string& requestPath, int timeoutMs)
{
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  // The answer may already wait in the queue, read while the call waited for its reply.
  for (;;)
  {
    while (DBusMessage* message = dbus_connection_pop_message(mBus))
    {
      const char* path = dbus_message_get_path(message);
      const bool isResponse =
          dbus_message_is_signal(message, kRequest, "Response") && path && requestPath == path;
      const bool portalEnded = isPortalExit(message);
      const std::string chosen = isResponse ? pathFromResponse(message) : "";
      dbus_message_unref(message);
      if (isResponse || portalEnded) return chosen;
    }
    const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (remaining <= 0) break;
    if (!dbus_connection_read_write(mBus, static_cast<int>(remaining))) return "";
  }
  closeRequest(requestPath);
  return "";
}

// Takes a dialog the portal still shows off the screen once we stop waiting.
void PortalConnection::closeRequest(const std::string& requestPath)
{
  DBusMessage* close = dbus_message_new_method_call(kPortalName, requestPath.c_str(), kRequest, "Close");
  dbus_message_set_no_reply(close, TRUE);
  dbus_connection_send(mBus, close, nullptr);
  dbus_connection_flush(mBus);
  dbus_message_unref(close);
}

std::optional<std::string> PortalConnection::choose(const FileChooserRequest& request, int responseTimeoutMs)
{
  if (!mBus) return std::nullopt;
  const std::string token = "tessaryn" + std::to_string(getpid()) + "_" + std::to_string(++gRequestCount);
  const std::string expected = expectedRequestPath(token);
  watchResponse(expected);
  watchPortalExit();
  const std::string requestPath = call(request, token);
  if (requestPath.empty()) return std::nullopt;
  // Portals older than the handle_token option choose their own path.
  if (requestPath != expected) watchResponse(requestPath);
  return awaitResponse(requestPath, responseTimeoutMs);
}
} // namespace

std::optional<std::string> chooseWithPortal(const FileChooserRequest& request, int responseTimeoutMs)
{
  PortalConnection connection;
  return connection.choose(request, responseTimeoutMs);
}
