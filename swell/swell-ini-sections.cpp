#include "swell-ini-sections.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

namespace
{
// Bounds the memory one line may take; a longer line goes on as the next one.
constexpr size_t kMaxLineBytes = 0x2000000;
// A file this long without any section header is not an INI file, and reading
// a large binary file to the end would only waste time and memory.
constexpr uint64_t kMaxBytesBeforeHeader = 0x40000;
constexpr size_t kReadBlockBytes = 0x10000;

char foldCase(char c)
{
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool lessNoCase(std::string_view a, std::string_view b)
{
  return compareNoCase(a, b) < 0;
}

// Shared by the two sorted tables: both entry types carry a `name`.
template <class Entries> auto lowerBound(Entries& entries, std::string_view name)
{
  return std::lower_bound(entries.begin(), entries.end(), name,
                          [](const auto& entry, std::string_view wanted) { return lessNoCase(entry.name, wanted); });
}

template <class Entries> auto* findEntry(Entries& entries, std::string_view name)
{
  const auto it = lowerBound(entries, name);
  return it != entries.end() && compareNoCase(it->name, name) == 0 ? &*it : nullptr;
}

template <class Entry> bool removeEntry(std::vector<Entry>& entries, std::string_view name)
{
  const auto it = lowerBound(entries, name);
  if (it == entries.end() || compareNoCase(it->name, name) != 0) return false;
  entries.erase(it);
  return true;
}

std::string_view trimLine(std::string_view line)
{
  const size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  line.remove_prefix(first);
  return line.substr(0, line.find_last_not_of(" \t\r\n") + 1);
}

// A file lists keys in any order and may repeat one; the last value wins, as
// it would had the keys been written one after another.
void sortKeys(std::vector<IniKey>& keys)
{
  std::stable_sort(keys.begin(), keys.end(),
                   [](const IniKey& a, const IniKey& b) { return lessNoCase(a.name, b.name); });
  size_t kept = 0;
  for (size_t i = 0; i < keys.size(); ++i)
  {
    if (kept > 0 && compareNoCase(keys[kept - 1].name, keys[i].name) == 0)
      keys[kept - 1].value = std::move(keys[i].value);
    else
    {
      if (kept != i) keys[kept] = std::move(keys[i]);
      ++kept;
    }
  }
  keys.erase(keys.begin() + static_cast<std::ptrdiff_t>(kept), keys.end());
}

// Reads by blocks rather than with fgets so that zero bytes in a damaged file
// cannot hide the rest of a line.
class LineReader
{
public:
  explicit LineReader(FILE* file) : mFile(file), mBlock(kReadBlockBytes) {}

  bool next(std::string& line)
  {
    line.clear();
    bool readAny = false;
    while (line.size() < kMaxLineBytes)
    {
      if (mPos == mEnd && !fill()) return readAny;
      readAny = true;
      const char* start = mBlock.data() + mPos;
      const size_t available = std::min(mEnd - mPos, kMaxLineBytes - line.size());
      const auto* newline = static_cast<const char*>(memchr(start, '\n', available));
      const size_t taken = newline ? static_cast<size_t>(newline - start) : available;
      line.append(start, taken);
      consume(taken);
      if (newline)
      {
        consume(1);
        return true;
      }
    }
    return true;
  }

  uint64_t bytesRead() const { return mBytesRead; }

private:
  bool fill()
  {
    mPos = 0;
    mEnd = fread(mBlock.data(), 1, mBlock.size(), mFile);
    return mEnd > 0;
  }

  void consume(size_t count)
  {
    mPos += count;
    mBytesRead += count;
  }

  FILE* mFile;
  std::vector<char> mBlock;
  size_t mPos = 0;
  size_t mEnd = 0;
  uint64_t mBytesRead = 0;
};

class IniParser
{
public:
  explicit IniParser(IniSections& target) : mTarget(target) {}

  void line(std::string_view raw)
  {
    const std::string_view text = trimLine(raw);
    if (text.empty()) return;
    if (text.front() == '[')
      header(text);
    else if (IniKey key; mCurrent && parseKeyLine(text, key))
      mCurrent->keys.push_back(std::move(key));
  }

  // Keys are gathered unsorted and put in order once their section ends.
  void finishSection()
  {
    if (mCurrent) sortKeys(mCurrent->keys);
    mCurrent = nullptr;
  }

  bool sawHeader() const { return mSawHeader; }

private:
  void header(std::string_view text)
  {
    const size_t close = text.find(']');
    if (close == std::string_view::npos) return;
    mSawHeader = true;
    finishSection();
    const std::string_view name = text.substr(1, close - 1);
    if (name.empty()) return;
    // A repeated section starts over, so only its last occurrence counts.
    mCurrent = &mTarget.add(name);
    mCurrent->keys.clear();
  }

  IniSections& mTarget;
  IniSection* mCurrent = nullptr;
  bool mSawHeader = false;
};
} // namespace

int compareNoCase(std::string_view a, std::string_view b)
{
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i)
  {
    const auto x = static_cast<unsigned char>(foldCase(a[i]));
    const auto y = static_cast<unsigned char>(foldCase(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool parseKeyLine(std::string_view line, IniKey& out)
{
  const std::string_view text = trimLine(line);
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos || equals == 0) return false;
  out.name.assign(text.substr(0, equals));
  out.value.assign(text.substr(equals + 1));
  return true;
}

IniKey* IniSection::find(std::string_view key)
{
  return findEntry(keys, key);
}

const IniKey* IniSection::find(std::string_view key) const
{
  return findEntry(keys, key);
}

void IniSection::set(std::string_view key, std::string_view value)
{
  const auto it = lowerBound(keys, key);
  if (it != keys.end() && compareNoCase(it->name, key) == 0)
    it->value.assign(value);
  else
    keys.insert(it, IniKey{std::string(key), std::string(value)});
}

bool IniSection::remove(std::string_view key)
{
  return removeEntry(keys, key);
}

IniSection* IniSections::find(std::string_view section)
{
  return findEntry(mSections, section);
}

const IniSection* IniSections::find(std::string_view section) const
{
  return findEntry(mSections, section);
}

IniSection& IniSections::add(std::string_view section)
{
  const auto it = lowerBound(mSections, section);
  if (it != mSections.end() && compareNoCase(it->name, section) == 0) return *it;
  return *mSections.insert(it, IniSection{std::string(section), {}});
}

bool IniSections::remove(std::string_view section)
{
  return removeEntry(mSections, section);
}

void IniSections::parse(FILE* file)
{
  mSections.clear();
  IniParser parser(*this);
  LineReader reader(file);
  try
  {
    std::string line;
    while (reader.next(line))
    {
      parser.line(line);
      if (!parser.sawHeader() && reader.bytesRead() > kMaxBytesBeforeHeader) break;
    }
  }
  catch (const std::bad_alloc&)
  {
  }
  parser.finishSection();
}

std::string IniSections::serialize() const
{
  std::string text;
  for (const IniSection& section : mSections)
  {
    text.append("[").append(section.name).append("]\n");
    for (const IniKey& key : section.keys)
      if (!key.name.empty()) text.append(key.name).append("=").append(key.value).append("\n");
    text.append("\n");
  }
  return text;
}
