#pragma once
// The folder of the running executable: front-ends install the instrument's
// resources (the factory bank, the panel's images) beside their binary.

#include <string>

// "." when the link /proc/self/exe cannot be read.
std::string executableFolder();
