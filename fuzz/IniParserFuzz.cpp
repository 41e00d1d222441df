// Feeds arbitrary bytes to the INI parser. Beyond not crashing, the parsed
// contents must be ordered tables without repeats, and writing them out and
// reading that back must give the same file again.
#include "swell-ini-sections.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
IniSections parseBytes(const char* data, size_t size)
{
  IniSections sections;
  if (FILE* file = fmemopen(const_cast<char*>(data), size, "rb"))
  {
    sections.parse(file);
    fclose(file);
  }
  return sections;
}

template <class Entries> void requireStrictOrder(const Entries& entries)
{
  for (size_t i = 1; i < entries.size(); ++i)
    if (compareNoCase(entries[i - 1].name, entries[i].name) >= 0) abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size == 0) return 0;
  const IniSections sections = parseBytes(reinterpret_cast<const char*>(data), size);
  requireStrictOrder(sections.all());
  for (const IniSection& section : sections.all())
  {
    if (section.name.empty()) abort();
    requireStrictOrder(section.keys);
    for (const IniKey& key : section.keys)
    {
      IniKey reparsed;
      if (!parseKeyLine(key.name + "=" + key.value, reparsed) || reparsed.name != key.name) abort();
    }
  }
  const std::string written = sections.serialize();
  if (!written.empty() && parseBytes(written.data(), written.size()).serialize() != written) abort();
  return 0;
}
