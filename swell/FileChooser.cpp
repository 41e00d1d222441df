#include "FileChooser.h"

#include "DesktopServices.h"
#include "FileChooserRoutes.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace
{
// A user may leave a desktop dialog open for a long time; only a portal that
// has stopped answering altogether should end it.
constexpr int kPortalResponseTimeoutMs = 15 * 60 * 1000;

std::optional<std::string> chooseWithPortalRoute(const FileChooserRequest& request)
{
  return chooseWithPortal(request, kPortalResponseTimeoutMs);
}

std::optional<std::string> chooseWithBuiltinRoute(const FileChooserRequest& request)
{
  return chooseWithBuiltinDialog(request);
}

struct Route
{
  const char* name;
  std::optional<std::string> (*choose)(const FileChooserRequest&);
};

constexpr Route kRoutes[] = {
    {"portal", chooseWithPortalRoute},
    {"zenity", chooseWithZenity},
    {"kdialog", chooseWithKdialog},
    {"builtin", chooseWithBuiltinRoute},
};

std::string chooseByRoutes(const FileChooserRequest& request)
{
  const char* forced = getenv("TESSARYN_FILE_DIALOG");
  for (const Route& route : kRoutes)
  {
    if (forced && forced[0] && strcmp(forced, route.name) != 0) continue;
    if (std::optional<std::string> chosen = route.choose(request)) return *chosen;
  }
  // A forced route that is not available, or an unknown name: ours always works.
  return chooseWithBuiltinDialog(request);
}
} // namespace

std::vector<std::string> splitExtensions(const std::string& extensions)
{
  std::vector<std::string> list;
  size_t start = 0;
  while ((start = extensions.find_first_not_of(' ', start)) != std::string::npos)
  {
    const size_t end = extensions.find(' ', start);
    list.push_back(extensions.substr(start, end - start));
    start = end;
  }
  return list;
}

bool hasOneOfExtensions(const std::string& fileName, const std::vector<std::string>& extensions)
{
  for (const std::string& extension : extensions)
  {
    const size_t suffixLength = extension.size() + 1;
    if (fileName.size() > suffixLength && fileName[fileName.size() - suffixLength] == '.' &&
        strcasecmp(fileName.c_str() + fileName.size() - extension.size(), extension.c_str()) == 0)
      return true;
  }
  return extensions.empty();
}

std::string withSaveExtension(const std::string& path, const std::vector<std::string>& extensions)
{
  return hasOneOfExtensions(path, extensions) ? path : path + "." + extensions.front();
}

std::string RunFileChooser(const FileChooserRequest& request)
{
  FileChooserRequest resolved = request;
  if (resolved.folder.empty()) resolved.folder = DesktopFolder();
  const std::string chosen = chooseByRoutes(resolved);
  return request.save && !chosen.empty() ? withSaveExtension(chosen, splitExtensions(request.extensions)) : chosen;
}
