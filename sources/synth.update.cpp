// Asking the vendor's server whether a newer version exists. The request runs
// on a thread of its own and its answer is shown from the editor's idle call,
// so a slow or silent server never holds up the host's user interface.

#include "synth.h"
#include "BuildSettings.h"
#include "IGraphics.h"

#include <cstring>
#include <string>

namespace
{
constexpr const char* kCaption = "Check Online for Update";
constexpr const char* kVersionQuery = "/music/version/?file=tessaryn";
constexpr const char* kDownloadPage = "/music/vst.html";
// The server writes versions as one digit each for major and minor and two
// for the patch: this build is "2301", the first newer one "2302".
constexpr const char* kFirstNewerVersion = "2302";
constexpr long kHttpOk = 200;

std::string trimmed(const std::string& text)
{
  constexpr const char* kBlanks = " \t\r\n";
  const size_t first = text.find_first_not_of(kBlanks);
  return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The reply's leading number without leading zeros; empty when it is 0 or
// there is none.
std::string leadingNumber(const std::string& reply)
{
  std::string digits = reply.substr(0, strspn(reply.c_str(), "0123456789"));
  return digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
}

bool isNewer(const std::string& number)
{
  const size_t width = strlen(kFirstNewerVersion);
  return number.size() > width || (number.size() == width && number >= kFirstNewerVersion);
}

// "2302" reads "2.3.2", "2310" "2.3.10", "3000" "3.0.0".
std::string versionText(const std::string& number)
{
  return number.substr(0, 1) + "." + number.substr(1, 1) + "." + number.substr(number[2] == '0' ? 3 : 2);
}
} // namespace

void Synth::checkVersionAgainstWeb()
{
  mUpdateRequest.start(serverURL(kVersionQuery), mUpdateTimeouts);
}

void Synth::visitWebSite()
{
  if (mEditorGraphics) mEditorGraphics->OpenURL(serverURL("/").c_str());
}

void Synth::OnIdle()
{
  HttpReply reply;
  if (mUpdateRequest.takeReply(reply)) showUpdateReply(reply);
}

void Synth::OnGUIClose()
{
  mUpdateRequest.cancel();
}

std::string Synth::serverURL(const char* path) const
{
  return mUpdateScheme + "://" + mUpdateServer.Get() + path;
}

void Synth::showUpdateReply(const HttpReply& reply)
{
  const std::string server = mUpdateServer.Get();
  const std::string body = trimmed(reply.mBody);
  if (!reply.mTransferred || reply.mStatus != kHttpOk || body.empty())
    tell("An error occurred while contacting " + server + ".", kCaption);
  else if (body.find('<') != std::string::npos)
    tell("Invalid call to " + server + ".", kCaption);
  else if (const std::string number = leadingNumber(body); !isNewer(number))
    tell("Your version is up to date.", kCaption);
  else if (confirm("A new version of Tessaryn is available.\n\n\tYour version: \t2.3.1." +
                       std::to_string(kBuildNumber) + "\n\tNew version: \t" + versionText(number) +
                       "\n\nDo you want to go to " + server + " to get the new version?",
                   "New Version of Tessaryn Detected"))
    mEditorGraphics->OpenURL(serverURL(kDownloadPage).c_str());
}
