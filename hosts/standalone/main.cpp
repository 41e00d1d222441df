// tessaryn-standalone: the Tessaryn instrument as an application of its own,
// through JACK or ALSA.

#include "ExecutableFolder.h"
#include "StandaloneApp.h"
#include "TessarynEntry.h"

#include <iostream>

// fontconfig keeps the patterns the panel's fonts resolve to for the life of
// the process; the leak checker of sanitizer builds would report them at exit.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions()
{
  return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv)
{
  const Component tessaryn = registerTessarynComponent(executableFolder().c_str());
  StandaloneApp app(tessaryn, std::cout, std::cerr);
  return app.run(std::vector<std::string>(argv + 1, argv + argc));
}
