// tessaryn-standalone under a session manager: a test manager on 127.0.0.1
// speaks the NSM protocol with it.

#include "StandaloneFixture.h"
#include "TestJackClient.h"

#include <lo/lo.h>

#include <deque>

namespace
{
constexpr int kWaitSteps = 200;
constexpr int kStepMilliseconds = 50;

using OscMessage = std::vector<std::string>; // the path, then the string arguments

class TestSessionManager
{
public:
  TestSessionManager() : mServer(lo_server_new_with_proto(nullptr, LO_UDP, nullptr))
  {
    lo_server_add_method(mServer, nullptr, nullptr, record, this);
  }
  ~TestSessionManager()
  {
    if (mClient) lo_address_free(mClient);
    lo_server_free(mServer);
  }

  std::string url() const { return "osc.udp://127.0.0.1:" + std::to_string(lo_server_get_port(mServer)) + "/"; }

  // The next message at `path`, skipping others.
  bool waitFor(const std::string& path, OscMessage& message)
  {
    for (int i = 0; i < kWaitSteps; ++i)
      for (lo_server_recv_noblock(mServer, kStepMilliseconds); !mReceived.empty(); mReceived.pop_front())
        if (mReceived.front()[0] == path)
        {
          message = mReceived.front();
          mReceived.pop_front();
          return true;
        }
    return false;
  }

  void send(const char* path, const std::vector<std::string>& strings)
  {
    lo_message message = lo_message_new();
    for (const std::string& text : strings)
      lo_message_add_string(message, text.c_str());
    lo_send_message_from(mClient, mServer, path, message);
    lo_message_free(message);
  }

private:
  static int record(const char* path, const char* types, lo_arg** argv, int argc, lo_message message, void* self)
  {
    TestSessionManager& manager = *static_cast<TestSessionManager*>(self);
    OscMessage received{path};
    for (int i = 0; i < argc; ++i)
      if (types[i] == 's') received.push_back(reinterpret_cast<const char*>(argv[i]));
    manager.mReceived.push_back(received);
    if (!manager.mClient)
    {
      const lo_address source = lo_message_get_source(message);
      manager.mClient = lo_address_new(lo_address_get_hostname(source), lo_address_get_port(source));
    }
    return 0;
  }

  lo_server mServer;
  lo_address mClient = nullptr;
  std::deque<OscMessage> mReceived;
};
} // namespace

using StandaloneSessionTest = StandaloneFixture;

TEST_F(StandaloneSessionTest, OpensAndSavesItsSoundWhereTheSessionSays)
{
  TestSessionManager manager;
  setenv("NSM_URL", manager.url().c_str(), 1);
  const auto app = start({});
  unsetenv("NSM_URL");
  OscMessage message;
  ASSERT_TRUE(manager.waitFor("/nsm/server/announce", message)) << app->errors();
  ASSERT_EQ(message.size(), 4u);
  EXPECT_EQ(message[2], ":switch:optional-gui:");
  manager.send("/reply", {"/nsm/server/announce", "Welcome", "Test manager", ":server-control:"});

  const std::string instance = mFolder + "/Tessaryn.nTEST";
  manager.send("/nsm/client/open", {instance, "Tessaryn", "nTEST"});
  ASSERT_TRUE(manager.waitFor("/reply", message)) << app->errors();
  EXPECT_EQ(message, (OscMessage{"/reply", "/nsm/client/open", "OK"}));
  EXPECT_TRUE(std::filesystem::exists(instance + ".tessaryn"));
  EXPECT_TRUE(TestJackClient().hasPort("nTEST:out_left"));
  ASSERT_TRUE(manager.waitFor("/nsm/client/gui_is_hidden", message));
  manager.send("/nsm/client/show_optional_gui", {});
  EXPECT_TRUE(manager.waitFor("/nsm/client/gui_is_hidden", message)) << "--no-gui keeps it hidden";

  std::filesystem::remove(instance + ".tessaryn");
  manager.send("/nsm/client/save", {});
  ASSERT_TRUE(manager.waitFor("/reply", message));
  EXPECT_EQ(message, (OscMessage{"/reply", "/nsm/client/save", "OK"}));
  EXPECT_TRUE(std::filesystem::exists(instance + ".tessaryn"));
  EXPECT_TRUE(std::filesystem::exists(instance + ".fxb"));
  EXPECT_EQ(app->quit(), 0);
  EXPECT_FALSE(std::filesystem::exists(statePath()) || std::filesystem::exists(bankPath()))
      << "the session's files are its only ones";
}
