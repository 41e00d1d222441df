#include "synth.h"

#include "AtomicFile.h"
#include "BuildSettings.h"
#include "DesktopServices.h"
#include "swell-ini.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <strings.h>
#include <sys/stat.h>

namespace
{
constexpr const char* kMakerFolder = "Pellworth";
constexpr const char* kIniFileName = "/tessaryn.ini";
constexpr mode_t kConfigFolderMode = 0774;
// Parents are private to the user, as the base-directory convention asks.
constexpr mode_t kParentFolderMode = 0700;

constexpr const char* kMidiGlobal = "MIDI Global";
constexpr const char* kMidiThruKey = "MIDI Thru";
constexpr const char* kIgnoreProgramChangeKey = "Ignore Program Change";
constexpr const char* kStartupBank = "Startup Bank";
constexpr const char* kStartupBankKey = "File";
constexpr const char* kMidiControl = "MIDI Control";
constexpr const char* kProgramPathKey = "Path to Program Files";
// Not in "Editor": saving the configuration empties that section.
constexpr const char* kDisplay = "Display";
constexpr const char* kScaleKey = "Scale";
constexpr int kOptionSize = 64;
constexpr int kPathSize = 1024;
constexpr int kMaxProgramFileNameLength = 63;
constexpr int kServerSize = 256;
constexpr const char* kHostCharacters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-:";

const char* boolText(bool value)
{
  return value ? "true" : "false";
}

struct ControllerKey
{
  explicit ControllerKey(int controller) { snprintf(mText, sizeof mText, "CC%i", controller); }
  char mText[8];
};

// A number above 0, else 0 (unset).
double readScale(const char* iniPath)
{
  char text[kOptionSize];
  GetPrivateProfileString(kDisplay, kScaleKey, "", text, kOptionSize, iniPath);
  const double scale = strtod(text, nullptr);
  return std::isfinite(scale) && scale > 0.0 ? scale : 0.0;
}

bool exists(const char* path)
{
  struct stat status;
  return stat(path, &status) == 0;
}

// mkdir honours the process's file-creation mask; the folder's bits must be
// exactly these, so they are set again once it exists.
void createFolder(const WDL_String& folder)
{
  WDL_String prefix;
  const char* path = folder.Get();
  for (const char* at = path + 1; *at; ++at)
  {
    if (*at != '/') continue;
    prefix.Set(path, static_cast<int>(at - path));
    mkdir(prefix.Get(), kParentFolderMode);
  }
  if (mkdir(path, kConfigFolderMode) == 0) chmod(path, kConfigFolderMode);
}

void readOption(const char* iniPath, const char* key, std::atomic<bool>& option)
{
  char text[kOptionSize];
  GetPrivateProfileString(kMidiGlobal, key, boolText(option), text, kOptionSize, iniPath);
  if (text[0]) option = strcasecmp(text, "true") == 0;
}

void readPath(const char* iniPath, const char* section, const char* key, WDL_String& path)
{
  char text[kPathSize];
  GetPrivateProfileString(section, key, "", text, kPathSize, iniPath);
  if (text[0]) path.Set(text);
}

// The update server's name goes into a URL: anything but a host name with
// an optional port is ignored rather than let it change what the URL means.
void readServer(const char* iniPath, WDL_String& server)
{
  char text[kServerSize];
  GetPrivateProfileString("Online", "Server", "", text, kServerSize, iniPath);
  const size_t length = strlen(text);
  if (length && strspn(text, kHostCharacters) == length) server.Set(text);
}

// The leading decimal number of a stored entry; text that is no number, or
// one no parameter index could be, means no assignment.
int storedControllerParam(const char* text)
{
  const long number = strtol(text, nullptr, 10);
  if (number < INT_MIN || number > INT_MAX) return -1;
  return number != 0 || text[0] == '0' ? static_cast<int>(number) : -1;
}

// The INI store throws when it cannot allocate a change; the file then stays
// as it was and the caller reports it.
template <typename Write> bool writingIni(Write write)
{
  try
  {
    write();
    return true;
  }
  catch (const std::exception&)
  {
    return false;
  }
}
} // namespace

void Synth::openConfig()
{
  mHomePath.Set(getenv("HOME"));
  mIniPath.SetFormatted(0, "%s/%s", ConfigFolder().c_str(), kMakerFolder);
  if (!exists(mIniPath.Get())) createFolder(mIniPath);
  mIniPath.Append(kIniFileName);
  mProgramPath = mHomePath;
  mUpdateServer.Set(kDefaultUpdateServer);
  if (exists(mIniPath.Get()))
    loadConfig();
  else
    writeFileAtomically(mIniPath.Get(), "", 0);
}

void Synth::loadConfig()
{
  const char* iniPath = mIniPath.Get();
  readOption(iniPath, kMidiThruKey, mMidiThru);
  readOption(iniPath, kIgnoreProgramChangeKey, mIgnoreProgramChange);
  readPath(iniPath, "Global", kProgramPathKey, mProgramPath);
  mStartupBankPath.Set("");
  readPath(iniPath, kStartupBank, kStartupBankKey, mStartupBankPath);
  mUserEditorScale = readScale(iniPath);
  for (int controller = 0; controller < kNumControllers; ++controller)
  {
    char text[kOptionSize];
    GetPrivateProfileString(kMidiControl, ControllerKey(controller).mText, "-1", text, kOptionSize, iniPath);
    if (text[0]) mMidiControlParam[controller] = storedControllerParam(text);
  }
  readServer(iniPath, mUpdateServer);
}

// One write of the file for all of it: a reader, or a crash, never meets the
// learned controllers half written.
bool Synth::saveConfig(bool midiGlobalOnly)
{
  IniWriteBatch batch(mIniPath.Get());
  const bool changed = writingIni(
      [&]
      {
        const char* iniPath = mIniPath.Get();
        writeStartupBank();
        WritePrivateProfileString(kMidiGlobal, kMidiThruKey, boolText(mMidiThru), iniPath);
        WritePrivateProfileString(kMidiGlobal, kIgnoreProgramChangeKey, boolText(mIgnoreProgramChange), iniPath);
        if (midiGlobalOnly) return;
        WritePrivateProfileSection("Editor", "", iniPath);
        WritePrivateProfileSection(kMidiControl, "", iniPath);
        for (int controller = 0; controller < kNumControllers; ++controller)
        {
          const int param = mMidiControlParam[controller];
          if (param < 0) continue;
          char value[16];
          snprintf(value, sizeof value, "%i", param);
          WritePrivateProfileString(kMidiControl, ControllerKey(controller).mText, value, iniPath);
        }
      });
  return batch.end() && changed;
}

bool Synth::saveStartupFxb()
{
  return writingIni([this] { writeStartupBank(); });
}

void Synth::writeStartupBank()
{
  WritePrivateProfileSection(kStartupBank, "", mIniPath.Get());
  WritePrivateProfileString(kStartupBank, kStartupBankKey, mStartupBankPath.Get(), mIniPath.Get());
}

bool Synth::saveProgramPath()
{
  bool written = false;
  const bool completed = writingIni(
      [&] { written = WritePrivateProfileString("Global", kProgramPathKey, mProgramPath.Get(), mIniPath.Get()); });
  return completed && written;
}

bool Synth::unsetStartupFxb()
{
  mStartupBankPath.Set("");
  return writingIni([this] { WritePrivateProfileSection(kStartupBank, "", mIniPath.Get()); });
}

void makeNewFilePath(WDL_String& folder, const WDL_String& file)
{
  const char* path = file.Get();
  int end = file.GetLength() - 1;
  while (end > 0 && path[end] != '/' && path[end] != '\\')
    --end;
  // Through a copy: folder and file may be the same string.
  folder = WDL_String(end > 0 ? path : "", end);
}

WDL_String defaultProgramFileName(const char* programName)
{
  char fileName[kMaxProgramFileNameLength + 1];
  snprintf(fileName, sizeof fileName, "%s", programName ? programName : "");
  for (char* at = fileName; *at; ++at)
    if (strchr("\"*/:<>?\\|", *at)) *at = '_';
  return WDL_String(fileName);
}
