// tessaryn-render: renders a Standard MIDI File, or the built-in demo, with
// the Tessaryn instrument to a WAV file.

#include "RenderCommand.h"
#include "TessarynEntry.h"
#include "WavFile.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>

namespace
{
// The instrument's resources (the factory bank) are installed beside the executable.
std::string executableFolder()
{
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string(".") : self.parent_path().string();
}
} // namespace

int main(int argc, char** argv)
{
  WavFile::removeTemporaryOnInterrupt();
  RenderConsole console{std::cout, std::cerr, isatty(STDERR_FILENO) != 0};
  const Component tessaryn = registerTessarynComponent(executableFolder().c_str());
  return runRenderCommand(tessaryn, std::vector<std::string>(argv + 1, argv + argc), console);
}
