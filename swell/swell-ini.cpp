#include "swell-ini.h"

#include "swell-ini-cache.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace
{
constexpr std::string_view kBlanks = " \t";

bool isWritableSection(std::string_view section)
{
  return !section.empty() && section.find_first_of("]\n") == std::string_view::npos;
}

bool isWritableKey(std::string_view key)
{
  return !key.empty() && key.find_first_of("=\n") == std::string_view::npos &&
         kBlanks.find(key.front()) == std::string_view::npos && key.front() != '[';
}

bool isWritableValue(std::string_view value)
{
  return value.find('\n') == std::string_view::npos;
}

bool isGiven(const char* text)
{
  return text && *text;
}

// The caller sees a zero-terminated string, so a zero byte read from a
// damaged file ends the value there.
std::string_view presentedValue(const std::string& stored)
{
  std::string_view value(stored.c_str());
  const size_t first = value.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  value = value.substr(first, value.find_last_not_of(kBlanks) - first + 1);
  const bool quoted =
      value.size() >= 2 && (value.front() == '\'' || value.front() == '"') && value.back() == value.front();
  return quoted ? value.substr(1, value.size() - 2) : value;
}

// memmove: callers may pass the same buffer as default and output.
int copyOut(std::string_view text, char* out, int size)
{
  const size_t length = std::min(text.size(), static_cast<size_t>(size - 1));
  if (length > 0) memmove(out, text.data(), length); // an empty view may have no data
  out[length] = '\0';
  return static_cast<int>(length);
}

void writeBackIf(bool changed, IniFileCache& cache, iniFileContext& context)
{
  if (changed) cache.writeBack(context);
}

bool removeKeyOrSection(IniFileCache& cache, iniFileContext& context, const char* section, const char* key)
{
  IniSection* found = context.sections.find(section);
  writeBackIf(found && (key ? found->remove(key) : context.sections.remove(section)), cache, context);
  return true;
}

void fillFromList(IniSection& section, const char* keys)
{
  section.keys.clear();
  for (const char* entry = keys; *entry; entry += strlen(entry) + 1)
    if (IniKey key; parseKeyLine(entry, key) && isWritableKey(key.name) && isWritableValue(key.value))
      section.set(key.name, key.value);
}
} // namespace

int GetPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* out, int size,
                            const char* file)
{
  if (!out || size < 1) return 0;
  IniFileCache& cache = IniFileCache::processCache();
  WDL_MutexLock lock(&cache.mutex());
  if (section && key && file)
    if (const IniSection* found = cache.lookup(file).sections.find(section))
      if (const IniKey* stored = found->find(key)) return copyOut(presentedValue(stored->value), out, size);
  return copyOut(defaultValue ? defaultValue : "", out, size);
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value, const char* file)
{
  if (!isGiven(section) || (key && !*key) || !isGiven(file)) return false;
  IniFileCache& cache = IniFileCache::processCache();
  WDL_MutexLock lock(&cache.mutex());
  if (!key || !value) return removeKeyOrSection(cache, cache.lookup(file), section, key);
  if (!isWritableSection(section) || !isWritableKey(key) || !isWritableValue(value)) return false;
  iniFileContext& context = cache.lookup(file);
  const IniSection* found = context.sections.find(section);
  const IniKey* stored = found ? found->find(key) : nullptr;
  if (stored && stored->value == value) return true;
  context.sections.add(section).set(key, value);
  cache.writeBack(context);
  return true;
}

bool WritePrivateProfileSection(const char* section, const char* keys, const char* file)
{
  if (!section || !isGiven(file)) return false;
  const bool hasEntries = isGiven(keys);
  if (hasEntries && !isWritableSection(section)) return false;
  IniFileCache& cache = IniFileCache::processCache();
  WDL_MutexLock lock(&cache.mutex());
  iniFileContext& context = cache.lookup(file);
  IniSection* found = hasEntries ? &context.sections.add(section) : context.sections.find(section);
  if (found) fillFromList(*found, hasEntries ? keys : "");
  writeBackIf(found != nullptr, cache, context);
  return true;
}

IniWriteBatch::IniWriteBatch(const char* file) : mLock(&IniFileCache::processCache().mutex())
{
  IniFileCache::processCache().beginBatch(file);
}

IniWriteBatch::~IniWriteBatch()
{
  end();
}

bool IniWriteBatch::end()
{
  if (mEnded) return true;
  mEnded = true;
  return IniFileCache::processCache().endBatch();
}
