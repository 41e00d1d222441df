#include "DesktopServices.h"

#include "ChildProcess.h"

#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <pwd.h>
#include <unistd.h>

namespace
{
std::string homeFolder()
{
  if (const char* home = getenv("HOME"); home && home[0]) return home;
  // Without HOME (a host started by a service manager) the password database knows.
  const passwd* entry = getpwuid(getuid());
  return entry && entry->pw_dir ? entry->pw_dir : "";
}

// A line of user-dirs.dirs reads XDG_DESKTOP_DIR="$HOME/Desktop" or an absolute
// path in quotes; anything else is not a usable answer.
std::string desktopFromUserDirsLine(const std::string& line)
{
  const std::string key = "XDG_DESKTOP_DIR=\"";
  if (line.rfind(key, 0) != 0) return "";
  const size_t end = line.find('"', key.size());
  if (end == std::string::npos) return "";
  std::string value = line.substr(key.size(), end - key.size());
  if (value.rfind("$HOME", 0) == 0) value = homeFolder() + value.substr(5);
  if (value.empty() || value[0] != '/') return "";
  while (value.size() > 1 && value.back() == '/') value.pop_back();
  return value;
}
} // namespace

bool OpenWithDesktopHandler(const char* urlOrPath)
{
  if (!urlOrPath || !urlOrPath[0]) return false;
  return spawnDetached({"xdg-open", urlOrPath});
}

std::string ExecutablePath()
{
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<size_t>(length)) : "";
}

std::string FolderOfLoadedLibrary(const void* anyAddressInIt)
{
  Dl_info info;
  if (!dladdr(anyAddressInIt, &info) || !info.dli_fname) return "";
  // The main program's name may come back as it was typed on the command line.
  char resolved[PATH_MAX];
  if (!realpath(info.dli_fname, resolved)) return "";
  std::string folder = resolved;
  return folder.substr(0, folder.rfind('/') + 1);
}

std::string DesktopFolder()
{
  std::ifstream userDirs(ConfigFolder() + "/user-dirs.dirs");
  for (std::string line; std::getline(userDirs, line);)
    if (std::string folder = desktopFromUserDirsLine(line); !folder.empty()) return folder;
  return homeFolder() + "/Desktop";
}

// A relative XDG_CONFIG_HOME is ignored: it would follow whatever folder the host runs in.
std::string ConfigFolder()
{
  const char* configHome = getenv("XDG_CONFIG_HOME");
  if (configHome && configHome[0] == '/') return configHome;
  return homeFolder() + "/.config";
}
