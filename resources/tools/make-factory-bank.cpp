// make-factory-bank SOURCE BANK: turns the factory programs' text source into
// the instrument's factory bank, written by the instrument's own bank writer.
// Runs at build time; any fault in the source stops the build with a message
// naming its line.

#include "FactoryProgramReader.h"
#include "tessaryn.h"

#include <fstream>
#include <iostream>

namespace
{
// Each program becomes the current one while its values are stored, so its
// state carries its own number and, after the second store, its own name.
void storePrograms(Tessaryn& tessaryn, const std::vector<FactoryProgram>& programs)
{
  for (size_t i = 0; i < programs.size(); ++i)
  {
    tessaryn.RestorePreset(int(i));
    for (int p = 0; p < tessaryn.NParams(); ++p)
      tessaryn.GetParam(p)->Set(programs[i].mValues[p]);
    tessaryn.ModifyCurrentPreset(programs[i].mName.c_str());
    tessaryn.ModifyCurrentPreset();
  }
  tessaryn.RestorePreset(0);
}
} // namespace

int main(int argc, char** argv)
{
  if (argc != 3)
  {
    std::cerr << "Usage: make-factory-bank SOURCE BANK\n";
    return 2;
  }
  std::ifstream source(argv[1]);
  if (!source)
  {
    std::cerr << argv[1] << ": cannot be read.\n";
    return 1;
  }
  Tessaryn tessaryn{IPlugInstanceInfo{}};
  FactoryProgramReader reader(tessaryn);
  if (!reader.read(source, argv[1]))
  {
    std::cerr << reader.error() << "\n";
    return 1;
  }
  storePrograms(tessaryn, reader.programs());
  WDL_String bank(argv[2]);
  if (!tessaryn.SaveBankAsFXB(&bank))
  {
    std::cerr << argv[2] << ": the bank could not be written: " << tessaryn.GetFileError() << "\n";
    return 1;
  }
  return 0;
}
