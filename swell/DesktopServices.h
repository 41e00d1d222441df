#pragma once
// The desktop's handlers and the folders the editor and the shell need. Any
// thread; nothing here touches X.
#include <string>

// Hands a URL or a path to xdg-open (spawned without a shell) and returns at
// once; false when it cannot be started.
bool OpenWithDesktopHandler(const char* urlOrPath);
std::string ExecutablePath();                                  // from /proc/self/exe
std::string FolderOfLoadedLibrary(const void* anyAddressInIt); // with a trailing '/'
std::string DesktopFolder();                                   // XDG user dirs, else ~/Desktop
std::string ConfigFolder();                                    // $XDG_CONFIG_HOME, else ~/.config
