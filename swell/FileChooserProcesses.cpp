// The desktop's file dialogs as separate programs: zenity (GNOME and others)
// and kdialog (KDE). Both print the chosen path and exit 0, or exit non-zero
// when cancelled.
#include "ChildProcess.h"
#include "FileChooserRoutes.h"

namespace
{
std::string patterns(const FileChooserRequest& request)
{
  std::string list;
  for (const std::string& extension : splitExtensions(request.extensions))
    list += (list.empty() ? "*." : " *.") + extension;
  return list;
}

std::string startPath(const FileChooserRequest& request)
{
  const std::string folder = request.folder.back() == '/' ? request.folder : request.folder + "/";
  return request.save ? folder + request.proposedName : folder;
}

std::optional<std::string> runDialogProgram(const std::vector<std::string>& arguments)
{
  if (!isOnPath(arguments.front())) return std::nullopt;
  std::string output;
  if (!runForOutput(arguments, output)) return "";
  while (!output.empty() && output.back() == '\n') output.pop_back();
  // Only the first line: both print one path per line.
  return output.substr(0, output.find('\n'));
}
} // namespace

std::optional<std::string> chooseWithZenity(const FileChooserRequest& request)
{
  std::vector<std::string> arguments = {"zenity", "--file-selection", "--filename=" + startPath(request)};
  if (request.save)
  {
    arguments.push_back("--save");
    arguments.push_back("--confirm-overwrite");
  }
  if (const std::string list = patterns(request); !list.empty()) arguments.push_back("--file-filter=" + list);
  return runDialogProgram(arguments);
}

std::optional<std::string> chooseWithKdialog(const FileChooserRequest& request)
{
  std::vector<std::string> arguments = {"kdialog", request.save ? "--getsavefilename" : "--getopenfilename",
                                        startPath(request)};
  if (const std::string list = patterns(request); !list.empty()) arguments.push_back(list);
  if (request.ownerWindow)
  {
    arguments.push_back("--attach");
    arguments.push_back(std::to_string(request.ownerWindow));
  }
  return runDialogProgram(arguments);
}
