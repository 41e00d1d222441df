// tessaryn-standalone: the Tessaryn instrument as an application of its own,
// through JACK or ALSA.

#include "StandaloneApp.h"
#include "TessarynEntry.h"

#include <filesystem>
#include <iostream>

namespace
{
// The instrument's resources (the factory bank, the panel's images) are installed beside the executable.
std::string executableFolder()
{
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string(".") : self.parent_path().string();
}
} // namespace

int main(int argc, char** argv)
{
  const Component tessaryn = registerTessarynComponent(executableFolder().c_str());
  StandaloneApp app(tessaryn, std::cout, std::cerr);
  return app.run(std::vector<std::string>(argv + 1, argv + argc));
}
