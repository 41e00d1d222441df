// tessaryn-standalone: the Tessaryn instrument as an application of its own,
// through JACK or ALSA.

#include "ExecutableFolder.h"
#include "StandaloneApp.h"
#include "TessarynEntry.h"

#include <iostream>

int main(int argc, char** argv)
{
  const Component tessaryn = registerTessarynComponent(executableFolder().c_str());
  StandaloneApp app(tessaryn, std::cout, std::cerr);
  return app.run(std::vector<std::string>(argv + 1, argv + argc));
}
