#pragma once
// The parsed contents of one INI file. Sections and the keys of each section
// are kept in case-insensitive order, so lookups bisect and a rewrite comes out
// sorted without further work.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

struct IniKey
{
  std::string name;
  std::string value;
};

struct IniSection
{
  std::string name;
  std::vector<IniKey> keys;

  IniKey* find(std::string_view key);
  const IniKey* find(std::string_view key) const;
  // An existing key keeps its stored spelling and takes the new value.
  void set(std::string_view key, std::string_view value);
  bool remove(std::string_view key);
};

// Orders bytes with A-Z folded to a-z; no locale, because the files carry
// bytes of no known encoding.
int compareNoCase(std::string_view a, std::string_view b);

// Splits "key=value" after skipping leading blanks and dropping trailing
// blanks and line ends. False when there is no "=" or the key is empty.
bool parseKeyLine(std::string_view line, IniKey& out);

class IniSections
{
public:
  IniSection* find(std::string_view section);
  const IniSection* find(std::string_view section) const;
  // Finds or inserts; an existing section keeps its stored spelling.
  IniSection& add(std::string_view section);
  bool remove(std::string_view section);
  const std::vector<IniSection>& all() const { return mSections; }
  void clear() { mSections.clear(); }

  // Replaces the contents with what the stream holds. Damaged input never
  // fails: what cannot be understood is skipped, and an allocation failure
  // keeps what was read so far.
  void parse(FILE* file);
  // The whole file as it is written back: sections and keys in sorted order.
  std::string serialize() const;

private:
  std::vector<IniSection> mSections;
};
