#include "FakePortal.h"

#include "FileContents.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
constexpr const char* kBusConfig =
    "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
    " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
    "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>\n"
    "<policy context=\"default\"><allow send_destination=\"*\"/><allow receive_sender=\"*\"/><allow own=\"*\"/></policy></busconfig>\n";

std::string stringOf(DBusMessageIter* iter)
{
  const char* text = "";
  if (dbus_message_iter_get_arg_type(iter) == DBUS_TYPE_STRING) dbus_message_iter_get_basic(iter, &text);
  return text;
}

// The globs of a(sa(us)).
std::vector<std::string> globsOf(DBusMessageIter* filters)
{
  std::vector<std::string> globs;
  DBusMessageIter filter, fields, patterns, pattern;
  for (dbus_message_iter_recurse(filters, &filter); dbus_message_iter_get_arg_type(&filter) == DBUS_TYPE_STRUCT;
       dbus_message_iter_next(&filter))
  {
    dbus_message_iter_recurse(&filter, &fields);
    dbus_message_iter_next(&fields);
    for (dbus_message_iter_recurse(&fields, &patterns); dbus_message_iter_get_arg_type(&patterns) == DBUS_TYPE_STRUCT;
         dbus_message_iter_next(&patterns))
    {
      dbus_message_iter_recurse(&patterns, &pattern);
      dbus_message_iter_next(&pattern);
      globs.push_back(stringOf(&pattern));
    }
  }
  return globs;
}

// Reads the options a{sv} into the request; returns the handle token.
std::string readOptions(DBusMessageIter* options, FakePortal::Request& request)
{
  std::string token;
  DBusMessageIter entries, entry, value;
  for (dbus_message_iter_recurse(options, &entries); dbus_message_iter_get_arg_type(&entries) == DBUS_TYPE_DICT_ENTRY;
       dbus_message_iter_next(&entries))
  {
    dbus_message_iter_recurse(&entries, &entry);
    const std::string key = stringOf(&entry);
    dbus_message_iter_next(&entry);
    dbus_message_iter_recurse(&entry, &value);
    if (key == "handle_token") token = stringOf(&value);
    if (key == "current_name") request.currentName = stringOf(&value);
    if (key == "filters") request.globs = globsOf(&value);
    if (key == "current_folder")
    {
      DBusMessageIter bytes;
      dbus_message_iter_recurse(&value, &bytes);
      const char* data = nullptr;
      int length = 0;
      dbus_message_iter_get_fixed_array(&bytes, &data, &length);
      request.currentFolder = std::string(data, length > 0 ? length - 1 : 0);
    }
  }
  return token;
}

void appendResults(DBusMessageIter* arguments, const std::string& uri)
{
  DBusMessageIter dict, entry, value, uris;
  dbus_message_iter_open_container(arguments, DBUS_TYPE_ARRAY, "{sv}", &dict);
  if (!uri.empty())
  {
    const char* key = "uris";
    const char* uriData = uri.c_str();
    dbus_message_iter_open_container(&dict, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
    dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
    dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, "as", &value);
    dbus_message_iter_open_container(&value, DBUS_TYPE_ARRAY, "s", &uris);
    dbus_message_iter_append_basic(&uris, DBUS_TYPE_STRING, &uriData);
    dbus_message_iter_close_container(&value, &uris);
    dbus_message_iter_close_container(&entry, &value);
    dbus_message_iter_close_container(&dict, &entry);
  }
  dbus_message_iter_close_container(arguments, &dict);
}
} // namespace

FakePortal::FakePortal()
{
  const std::string config = mConfigFolder.path("bus.conf");
  writeFile(config, kBusConfig);
  const std::string command =
      "dbus-daemon --nofork --print-address=1 --print-pid=1 --config-file=" + config + " 2>/dev/null";
  mDaemon = popen(command.c_str(), "r");
  char address[512], pid[32];
  if (!mDaemon || !fgets(address, sizeof address, mDaemon) || !fgets(pid, sizeof pid, mDaemon)) return;
  mDaemonId = std::atoi(pid);
  address[strcspn(address, "\n")] = '\0';
  setenv("DBUS_SESSION_BUS_ADDRESS", address, 1);
  mBus = dbus_connection_open_private(address, nullptr);
  if (!mBus || !dbus_bus_register(mBus, nullptr) ||
      dbus_bus_request_name(mBus, "org.freedesktop.portal.Desktop", DBUS_NAME_FLAG_DO_NOT_QUEUE, nullptr) !=
          DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER)
    return;
  mThread = std::thread([this] { serve(); });
}

FakePortal::~FakePortal()
{
  mStop = true;
  if (mThread.joinable()) mThread.join();
  if (mBus)
  {
    dbus_connection_close(mBus);
    dbus_connection_unref(mBus);
  }
  if (mDaemonId > 0) kill(mDaemonId, SIGTERM);
  if (mDaemon) pclose(mDaemon);
}

void FakePortal::answerWith(Answer answer, std::string uri)
{
  std::lock_guard lock(mLock);
  mAnswer = answer;
  mUri = std::move(uri);
  mRequest = {};
}

FakePortal::Request FakePortal::lastRequest()
{
  std::lock_guard lock(mLock);
  return mRequest;
}

bool FakePortal::waitForClose(int timeoutMs)
{
  std::unique_lock lock(mLock);
  return mClosed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return mRequest.closed; });
}

void FakePortal::serve()
{
  while (!mStop && dbus_connection_read_write(mBus, 50))
    while (DBusMessage* message = dbus_connection_pop_message(mBus))
    {
      handle(message);
      dbus_message_unref(message);
    }
}

void FakePortal::handle(DBusMessage* message)
{
  if (dbus_message_is_method_call(message, "org.freedesktop.portal.Request", "Close"))
  {
    std::lock_guard lock(mLock);
    mRequest.closed = true;
    mClosed.notify_all();
    return;
  }
  const char* interface = dbus_message_get_interface(message);
  if (dbus_message_get_type(message) != DBUS_MESSAGE_TYPE_METHOD_CALL || !interface ||
      std::string(interface) != "org.freedesktop.portal.FileChooser")
    return;
  Request request;
  request.method = dbus_message_get_member(message);
  DBusMessageIter arguments;
  dbus_message_iter_init(message, &arguments);
  request.parentWindow = stringOf(&arguments);
  dbus_message_iter_next(&arguments);
  dbus_message_iter_next(&arguments);
  const std::string token = readOptions(&arguments, request);
  std::lock_guard lock(mLock);
  mRequest = request;
  respond(message, token);
}

void FakePortal::respond(DBusMessage* call, const std::string& token)
{
  std::string sender = dbus_message_get_sender(call) + 1;
  for (char& c : sender)
    if (c == '.') c = '_';
  const std::string requestPath = "/org/freedesktop/portal/desktop/request/" + sender + "/" + token;
  DBusMessage* reply = dbus_message_new_method_return(call);
  const char* pathData = requestPath.c_str();
  dbus_message_append_args(reply, DBUS_TYPE_OBJECT_PATH, &pathData, DBUS_TYPE_INVALID);
  dbus_connection_send(mBus, reply, nullptr);
  dbus_message_unref(reply);
  if (mAnswer == Answer::kExit) dbus_bus_release_name(mBus, "org.freedesktop.portal.Desktop", nullptr);
  if (mAnswer == Answer::kNever || mAnswer == Answer::kExit) return;
  DBusMessage* response = dbus_message_new_signal(pathData, "org.freedesktop.portal.Request", "Response");
  DBusMessageIter arguments;
  dbus_message_iter_init_append(response, &arguments);
  const dbus_uint32_t code = mAnswer == Answer::kChoose ? 0 : 1;
  dbus_message_iter_append_basic(&arguments, DBUS_TYPE_UINT32, &code);
  appendResults(&arguments, mAnswer == Answer::kChoose ? mUri : "");
  dbus_message_set_destination(response, dbus_message_get_sender(call));
  dbus_connection_send(mBus, response, nullptr);
  dbus_message_unref(response);
  dbus_connection_flush(mBus);
}
