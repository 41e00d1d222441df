// tessaryn-render: renders a Standard MIDI File, or the built-in demo, with
// the Tessaryn instrument to a WAV file.

#include "ExecutableFolder.h"
#include "RenderCommand.h"
#include "TessarynEntry.h"
#include "WavFile.h"

#include <unistd.h>

#include <iostream>

int main(int argc, char** argv)
{
  WavFile::removeTemporaryOnInterrupt();
  RenderConsole console{std::cout, std::cerr, isatty(STDERR_FILENO) != 0};
  const Component tessaryn = registerTessarynComponent(executableFolder().c_str());
  return runRenderCommand(tessaryn, std::vector<std::string>(argv + 1, argv + argc), console);
}
