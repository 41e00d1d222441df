#pragma once
// Starting desktop helpers (xdg-open, zenity, kdialog) directly, never through a
// shell, so no text we pass can be read as a command.
#include <string>
#include <vector>

// True when `program` is an executable file in a folder of PATH.
bool isOnPath(const std::string& program);

// Starts the program and returns without waiting; children started earlier
// that have ended are reaped here. False when it cannot be started.
bool spawnDetached(const std::vector<std::string>& arguments);

// Runs the program to its end and collects its standard output. False when it
// cannot be started or does not exit with status 0.
bool runForOutput(const std::vector<std::string>& arguments, std::string& output);
