#include "LocalHttpServer.h"
#include "SynthTestHost.h"

#include "BuildSettings.h"
#include "swell-ini.h"

namespace
{
// Milliseconds a silent server is given, to keep the tests quick.
constexpr long kShortWait = 300;
} // namespace

// An instance whose editor is headless, asking servers started by the test.
struct SynthUpdateCheck : SynthWithEditor
{
  SynthUpdateCheck() { synth->mUpdateScheme = "http"; }
  // Through the configuration, as a user would point the instrument elsewhere.
  void useServer(const std::string& host)
  {
    WritePrivateProfileString("Online", "Server", host.c_str(), synth->mIniPath.Get());
    synth->loadConfig();
  }
};

TEST_F(SynthUpdateCheck, TheServersAnswerDecidesTheMessageAndOnlyANewerVersionLeadsToTheDownloadPage)
{
  const std::string newer = "A new version of Tessaryn is available.\n\n\tYour version: \t2.3.1." +
                            std::to_string(kBuildNumber) + "\n\tNew version: \t";
  const std::tuple<LocalHttpServer::Reply, std::string, bool> cases[] = {
      {{200, "2301"}, "Your version is up to date.", false},
      {{200, "25"}, "Your version is up to date.", false},
      {{200, "abc"}, "Your version is up to date.", false},
      {{200, "2302\r\n"}, newer + "2.3.2\n\nDo you want to go to HOST to get the new version?", true},
      {{200, "2310"}, newer + "2.3.10\n\nDo you want to go to HOST to get the new version?", true},
      {{200, "<html><body>2400</body></html>"}, "Invalid call to HOST.", false},
      {{200, ""}, "An error occurred while contacting HOST.", false},
      {{404, "2400"}, "An error occurred while contacting HOST.", false},
      {{200, "", true}, "An error occurred while contacting HOST.", false},
  };
  for (const auto& [reply, message, opensDownloadPage] : cases)
  {
    LocalHttpServer server(reply);
    useServer(server.host());
    if (reply.silent) synth->mUpdateTimeouts.mTotalMs = kShortWait;
    graphics->mMessages.clear();
    graphics->mOpenedURLs.clear();
    synth->runFileCommand(File::CheckForUpdate);
    synth->mUpdateRequest.wait();
    synth->OnIdle();
    std::string expected = message;
    if (size_t at = expected.find("HOST"); at != std::string::npos) expected.replace(at, 4, server.host());
    EXPECT_EQ(graphics->mMessages, std::vector<std::string>{expected}) << reply.body;
    EXPECT_EQ(server.requests(), std::vector<std::string>{"GET /music/version/?file=tessaryn HTTP/1.1"});
    EXPECT_EQ(graphics->mOpenedURLs, opensDownloadPage
                                         ? std::vector<std::string>{"http://" + server.host() + "/music/vst.html"}
                                         : std::vector<std::string>{});
  }
}

TEST_F(SynthUpdateCheck, NothingIsAskedUntilTheUserPicksTheItemAndASecondPickWhileWaitingIsIgnored)
{
  LocalHttpServer server({200, "", true});
  useServer(server.host());
  synth->mUpdateTimeouts.mTotalMs = kShortWait;
  synth->OnIdle();
  EXPECT_TRUE(server.requests().empty());
  synth->runFileCommand(File::CheckForUpdate);
  synth->runFileCommand(File::CheckForUpdate);
  synth->mUpdateRequest.wait();
  synth->OnIdle();
  synth->OnIdle();
  EXPECT_EQ(graphics->mMessages.size(), 1u);
  EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(SynthUpdateCheck, ClosingTheEditorCancelsAWaitingCheckWithoutAMessage)
{
  LocalHttpServer server({200, "", true});
  useServer(server.host());
  synth->runFileCommand(File::CheckForUpdate);
  synth->OnGUIClose();
  synth->OnIdle();
  EXPECT_TRUE(graphics->mMessages.empty());
  synth->runFileCommand(File::CheckForUpdate); // left running for the instance to cancel as it closes
}

TEST_F(SynthUpdateCheck, AServerSettingThatIsNoHostNameIsIgnored)
{
  const std::string configured = synth->updateServer();
  for (const char* server : {"evil.example/path?", "user@host", "host name"})
  {
    useServer(server);
    EXPECT_EQ(synth->updateServer(), configured) << server;
  }
  useServer("updates.example.org:8443");
  EXPECT_STREQ(synth->updateServer(), "updates.example.org:8443");
}
