#include "FactoryProgramReader.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace
{
std::string trimmed(const std::string& text)
{
  const char* kSpace = " \t\r";
  const size_t first = text.find_first_not_of(kSpace);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

std::string quoted(const std::string& text)
{
  return "\"" + text + "\"";
}

std::string displayTexts(const IParam& param)
{
  std::string list;
  for (int i = 0; i < param.GetNDisplayTexts(); ++i)
    list += (i ? ", " : "") + quoted(param.GetDisplayTextAtIdx(i));
  return list;
}

std::string number(double value)
{
  char text[32];
  snprintf(text, sizeof(text), "%g", value);
  return text;
}
} // namespace

bool FactoryProgramReader::read(std::istream& in, const std::string& sourceName)
{
  mPrograms.clear();
  mSourceName = sourceName;
  mLine = 0;
  for (std::string line; std::getline(in, line);)
  {
    ++mLine;
    if (!readLine(trimmed(line))) return false;
  }
  if (int(mPrograms.size()) != mPlug.NPresets())
    return fail("the source holds " + std::to_string(mPrograms.size()) + " programs; a bank holds exactly " +
                std::to_string(mPlug.NPresets()) + ".");
  return true;
}

bool FactoryProgramReader::readLine(const std::string& line)
{
  if (line.empty() || line[0] == '#') return true;
  if (line.front() == '[')
  {
    if (line.back() != ']') return fail("a program's name line must end with \"]\".");
    return startProgram(trimmed(line.substr(1, line.size() - 2)));
  }
  const size_t equals = line.find('=');
  if (equals == std::string::npos)
    return fail("expected \"[Program name]\" or \"Parameter = value\", found " + quoted(line) + ".");
  if (mPrograms.empty()) return fail("a parameter comes before the first \"[Program name]\".");
  return setParameter(trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1)));
}

bool FactoryProgramReader::startProgram(const std::string& name)
{
  if (name.empty()) return fail("a program needs a name.");
  if (name.size() > kMaxNameLength)
    return fail("the name " + quoted(name) + " is longer than " + std::to_string(kMaxNameLength) + " characters.");
  for (const FactoryProgram& program : mPrograms)
    if (program.mName == name) return fail("the name " + quoted(name) + " is already taken by another program.");
  FactoryProgram program{name, {}};
  for (int i = 0; i < mPlug.NParams(); ++i)
    program.mValues.push_back(mPlug.GetParam(i)->GetDefault());
  mPrograms.push_back(std::move(program));
  mNamed.assign(mPlug.NParams(), false);
  return true;
}

bool FactoryProgramReader::setParameter(const std::string& name, const std::string& text)
{
  const int index = paramIndex(name);
  if (index < 0) return fail("no parameter is named " + quoted(name) + ".");
  if (mNamed[index]) return fail(quoted(name) + " is set twice in " + quoted(mPrograms.back().mName) + ".");
  mNamed[index] = true;
  return parseValue(*mPlug.GetParam(index), text, &mPrograms.back().mValues[index]);
}

bool FactoryProgramReader::parseValue(const IParam& param, const std::string& text, double* value)
{
  const std::string name = quoted(param.GetNameForHost());
  if (param.Type() == kTypeEnum)
  {
    int listValue = 0;
    if (!param.MapDisplayText(text.c_str(), &listValue))
      return fail(quoted(text) + " is not a setting of " + name + "; it takes " + displayTexts(param) + ".");
    *value = listValue;
    return true;
  }
  char* end = nullptr;
  const double parsed = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !std::isfinite(parsed))
    return fail(name + " takes a number, not " + quoted(text) + ".");
  if (param.Type() == kTypeInt && parsed != std::floor(parsed))
    return fail(name + " takes a whole number, not " + quoted(text) + ".");
  if (parsed < param.GetMin() || parsed > param.GetMax())
    return fail(name + " ranges from " + number(param.GetMin()) + " to " + number(param.GetMax()) + "; " + text +
                " is outside.");
  *value = parsed;
  return true;
}

bool FactoryProgramReader::fail(const std::string& what)
{
  mError = mSourceName + ":" + std::to_string(mLine) + ": " + what;
  return false;
}

int FactoryProgramReader::paramIndex(const std::string& name) const
{
  for (int i = 0; i < mPlug.NParams(); ++i)
    if (name == mPlug.GetParam(i)->GetNameForHost()) return i;
  return -1;
}
