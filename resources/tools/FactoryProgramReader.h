#pragma once
// Reads the factory programs' text source against a plug-in's parameter table.
//
// The source is a list of blocks. "[Name]" opens a program; each following
// "Parameter = value" line sets one parameter, named as the table names it,
// in its own units: a number for int and double parameters, one of the
// parameter's display texts for list parameters. Parameters a program does not
// name keep their default. Blank lines and lines starting with "#" are ignored
// ("#" inside a line belongs to it: "Chord #2 = 7").

#include "IPlugBase.h"

#include <istream>
#include <string>
#include <vector>

struct FactoryProgram
{
  std::string mName;
  std::vector<double> mValues; // one per parameter, in index order
};

class FactoryProgramReader
{
public:
  // Names fit the 28-byte name field of program files with room to spare.
  static constexpr size_t kMaxNameLength = 24;

  // plug supplies the parameter table and the number of programs a bank
  // holds; it must outlive the reader. Any thread; reads the table only.
  explicit FactoryProgramReader(const IPlugBase& plug) : mPlug(plug) {}

  // False at the first fault, with error() saying "<source>:<line>: <what>".
  bool read(std::istream& in, const std::string& sourceName);
  const std::vector<FactoryProgram>& programs() const { return mPrograms; }
  const std::string& error() const { return mError; }

private:
  bool readLine(const std::string& line);
  bool startProgram(const std::string& name);
  bool setParameter(const std::string& name, const std::string& text);
  bool parseValue(const IParam& param, const std::string& text, double* value);
  bool fail(const std::string& what);
  int paramIndex(const std::string& name) const;

  const IPlugBase& mPlug;
  std::vector<FactoryProgram> mPrograms;
  std::vector<bool> mNamed; // parameters the current program has set
  std::string mSourceName;
  int mLine = 0;
  std::string mError;
};
