#pragma once
// The ways a file dialog can be shown. The request given to a route always has
// a start folder. A route answers std::nullopt when it is not available here,
// so the caller tries the next one; otherwise the chosen path or "" (cancelled).
#include "FileChooser.h"

#include <optional>
#include <string>
#include <vector>

// Gives up waiting for the portal's answer after responseTimeoutMs.
std::optional<std::string> chooseWithPortal(const FileChooserRequest& request, int responseTimeoutMs);
std::optional<std::string> chooseWithZenity(const FileChooserRequest& request);
std::optional<std::string> chooseWithKdialog(const FileChooserRequest& request);
std::string chooseWithBuiltinDialog(const FileChooserRequest& request);

std::vector<std::string> splitExtensions(const std::string& extensions);
// True when the file name ends in "." and one of the extensions (any case), or there are none.
bool hasOneOfExtensions(const std::string& fileName, const std::vector<std::string>& extensions);
// The path a save dialog answers: with the first extension appended when it has none of them.
std::string withSaveExtension(const std::string& path, const std::vector<std::string>& extensions);
