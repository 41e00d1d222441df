#pragma once
// File dialogs: the desktop's own when it offers one, else ours. Blocks the
// calling (user-interface) thread until the user answers.
#include <string>

struct FileChooserRequest
{
  bool save = false;
  std::string folder;        // start folder; "" means the desktop folder
  std::string extensions;    // space-separated list without dots, e.g. "fxp" or "fxp fxb"
  std::string proposedName;  // file name offered by a save dialog
  unsigned long ownerWindow = 0;
  double scale = 1.0;
};

// The full path of the chosen file, or "" when cancelled. A save result always
// carries one of the extensions (the first is appended when the user typed none
// of them). The route is chosen at run time: the desktop portal
// (org.freedesktop.portal.FileChooser over D-Bus) when one answers, else zenity,
// else kdialog, else the built-in dialog; TESSARYN_FILE_DIALOG=portal|zenity|
// kdialog|builtin forces one.
std::string RunFileChooser(const FileChooserRequest& request);
