#include "PropertyList.h"

#include "CFObject.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

void CFObject::Retain() const
{
  if (!mImmortal) mRefCount.fetch_add(1, std::memory_order_relaxed);
}

namespace
{
std::string describeValue(CFTypeRef value)
{
  return value ? static_cast<const CFObject*>(value)->Describe() : "(null)";
}
} // namespace

void CFObject::Release() const
{
  if (!mImmortal && mRefCount.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
}

class CFStringObject final : public CFObject
{
public:
  explicit CFStringObject(std::string text, bool immortal = false)
      : CFObject(kCFKindString, immortal), mText(std::move(text))
  {
  }
  std::string Describe() const override { return mText; }

  const std::string mText;
};

class CFNumberObject final : public CFObject
{
public:
  explicit CFNumberObject(int64_t value) : CFObject(kCFKindNumber), mIsReal(false), mInteger(value) {}
  explicit CFNumberObject(double value) : CFObject(kCFKindNumber), mIsReal(true), mReal(value) {}

  std::string Describe() const override
  {
    char text[32];
    auto result =
        mIsReal ? std::to_chars(text, text + sizeof text, mReal) : std::to_chars(text, text + sizeof text, mInteger);
    return std::string(text, result.ptr);
  }

  const bool mIsReal;
  const int64_t mInteger = 0;
  const double mReal = 0.0;
};

class CFDataObject final : public CFObject
{
public:
  CFDataObject(const uint8_t* bytes, size_t length) : CFObject(kCFKindData), mBytes(bytes, bytes + length) {}
  std::string Describe() const override { return "<" + std::to_string(mBytes.size()) + " bytes>"; }

  const std::vector<uint8_t> mBytes;
};

class CFDictionaryObject final : public CFObject
{
public:
  struct Entry
  {
    CFStringRef key;
    CFTypeRef value;
  };

  CFDictionaryObject() : CFObject(kCFKindDictionary) {}
  ~CFDictionaryObject() override
  {
    for (const Entry& entry : mEntries)
      releaseEntry(entry);
  }

  std::string Describe() const override
  {
    std::string text = "{\n";
    for (const Entry& entry : mEntries)
      text += "    " + entry.key->mText + " = " + describeValue(entry.value) + ";\n";
    return text + "}";
  }

  // Entries are kept sorted by key text.
  std::vector<Entry>::iterator find(const std::string& key)
  {
    return std::lower_bound(mEntries.begin(), mEntries.end(), key, keyBefore);
  }
  const Entry* lookUp(const std::string& key) const
  {
    auto it = std::lower_bound(mEntries.begin(), mEntries.end(), key, keyBefore);
    return it != mEntries.end() && it->key->mText == key ? &*it : nullptr;
  }

  void set(CFStringRef key, CFTypeRef value)
  {
    CFRetain(value);
    auto it = find(key->mText);
    if (it != mEntries.end() && it->key->mText == key->mText)
    {
      CFRelease(it->value);
      it->value = value;
      return;
    }
    CFRetain(key);
    mEntries.insert(it, Entry{key, value});
  }

  void remove(const std::string& key)
  {
    auto it = find(key);
    if (it == mEntries.end() || it->key->mText != key) return;
    releaseEntry(*it);
    mEntries.erase(it);
  }

  std::vector<Entry> mEntries;

private:
  static bool keyBefore(const Entry& entry, const std::string& key) { return entry.key->mText < key; }

  static void releaseEntry(const Entry& entry)
  {
    CFRelease(entry.key);
    CFRelease(entry.value);
  }
};

class CFArrayObject final : public CFObject
{
public:
  explicit CFArrayObject(const CFArrayCallBacks* callBacks)
      : CFObject(kCFKindArray), mCallBacks(callBacks ? *callBacks : CFArrayCallBacks{})
  {
  }
  ~CFArrayObject() override
  {
    if (mCallBacks.release)
      for (const void* value : mValues)
        mCallBacks.release(kCFAllocatorDefault, value);
  }

  std::string Describe() const override
  {
    std::string text = "(\n";
    for (const void* value : mValues)
      text += "    " + describeElement(value) + ",\n";
    return text + ")";
  }

  void append(const void* value)
  {
    mValues.push_back(mCallBacks.retain ? mCallBacks.retain(kCFAllocatorDefault, value) : value);
  }

  bool holdsValuesOfThisLayer() const { return mCallBacks.retain == kCFTypeArrayCallBacks.retain; }

  const CFArrayCallBacks mCallBacks;
  std::vector<const void*> mValues;

private:
  std::string describeElement(const void* value) const
  {
    if (!mCallBacks.copyDescription)
    {
      char text[32];
      std::snprintf(text, sizeof text, "<%p>", value);
      return text;
    }
    CFStringRef description = mCallBacks.copyDescription(value);
    std::string text = description ? description->mText : "(null)";
    CFRelease(description);
    return text;
  }
};

class CFURLObject final : public CFObject
{
public:
  explicit CFURLObject(std::string path) : CFObject(kCFKindURL), mPath(std::move(path)) {}
  std::string Describe() const override { return "file://" + mPath; }

  const std::string mPath;
};

namespace
{
template <class T> const T* as(CFTypeRef value)
{
  if constexpr (std::is_same_v<T, CFStringObject>)
    return CFObject::As<T>(value, kCFKindString);
  else if constexpr (std::is_same_v<T, CFNumberObject>)
    return CFObject::As<T>(value, kCFKindNumber);
  else if constexpr (std::is_same_v<T, CFDataObject>)
    return CFObject::As<T>(value, kCFKindData);
  else if constexpr (std::is_same_v<T, CFDictionaryObject>)
    return CFObject::As<T>(value, kCFKindDictionary);
  else if constexpr (std::is_same_v<T, CFArrayObject>)
    return CFObject::As<T>(value, kCFKindArray);
  else
    return CFObject::As<T>(value, kCFKindURL);
}

template <class T> T* asMutable(CFTypeRef value)
{
  return const_cast<T*>(as<T>(value));
}

const void* retainValue(CFAllocatorRef, const void* value)
{
  return CFRetain(value);
}

void releaseValue(CFAllocatorRef, const void* value)
{
  CFRelease(value);
}

CFStringRef copyValueDescription(const void* value)
{
  return CFCopyDescription(value);
}

Boolean valuesEqual(const void* a, const void* b)
{
  return a == b;
}
} // namespace

const CFArrayCallBacks kCFTypeArrayCallBacks = {0, retainValue, releaseValue, copyValueDescription, valuesEqual};

void* CFAllocatorAllocate(CFAllocatorRef, CFIndex size, CFOptionFlags)
{
  return size > 0 ? std::malloc(size_t(size)) : nullptr;
}

void CFAllocatorDeallocate(CFAllocatorRef, void* ptr)
{
  std::free(ptr);
}

CFTypeRef CFRetain(CFTypeRef value)
{
  if (value) static_cast<const CFObject*>(value)->Retain();
  return value;
}

void CFRelease(CFTypeRef value)
{
  if (value) static_cast<const CFObject*>(value)->Release();
}

CFIndex CFGetRetainCount(CFTypeRef value)
{
  return value ? static_cast<const CFObject*>(value)->RetainCount() : 0;
}

CFTypeID CFGetTypeID(CFTypeRef value)
{
  return value ? CFTypeID(static_cast<const CFObject*>(value)->Kind()) : 0;
}

CFStringRef CFCopyDescription(CFTypeRef value)
{
  if (!value) return nullptr;
  if (auto* string = as<CFStringObject>(value)) return static_cast<CFStringRef>(CFRetain(string));
  return new CFStringObject(static_cast<const CFObject*>(value)->Describe());
}

CFTypeID CFStringGetTypeID()
{
  return kCFKindString;
}
CFTypeID CFNumberGetTypeID()
{
  return kCFKindNumber;
}
CFTypeID CFDataGetTypeID()
{
  return kCFKindData;
}
CFTypeID CFDictionaryGetTypeID()
{
  return kCFKindDictionary;
}
CFTypeID CFArrayGetTypeID()
{
  return kCFKindArray;
}
CFTypeID CFURLGetTypeID()
{
  return kCFKindURL;
}

// --- Strings

CFStringRef CFStringCreateWithCString(CFAllocatorRef, const char* text, CFStringEncoding)
{
  return text ? new CFStringObject(text) : nullptr;
}

CFIndex CFStringGetLength(CFStringRef string)
{
  return string ? CFIndex(string->mText.size()) : 0;
}

Boolean CFStringGetCString(CFStringRef string, char* buffer, CFIndex bufferSize, CFStringEncoding)
{
  if (!string || !buffer || bufferSize < 1) return false;
  size_t room = size_t(bufferSize) - 1;
  size_t length = std::min(room, string->mText.size());
  std::memcpy(buffer, string->mText.data(), length);
  buffer[length] = '\0';
  return length == string->mText.size();
}

const char* CFStringGetCStringPtr(CFStringRef string, CFStringEncoding)
{
  return string ? string->mText.c_str() : nullptr;
}

CFComparisonResult CFStringCompare(CFStringRef a, CFStringRef b, CFOptionFlags)
{
  int order = std::string_view(a ? a->mText : "").compare(b ? b->mText : "");
  return order < 0 ? kCFCompareLessThan : order > 0 ? kCFCompareGreaterThan : kCFCompareEqualTo;
}

namespace
{
void appendConversion(std::string& out, char conversion, bool isLong, va_list& args)
{
  switch (conversion)
  {
  case 'd':
  case 'i':
    out += std::to_string(isLong ? va_arg(args, long) : va_arg(args, int));
    break;
  case 'u':
    out += std::to_string(isLong ? va_arg(args, unsigned long) : va_arg(args, unsigned));
    break;
  case 's':
  {
    const char* text = va_arg(args, const char*);
    out += text ? text : "(null)";
    break;
  }
  case '@':
    out += describeValue(va_arg(args, CFTypeRef));
    break;
  default: // '%', and unsupported conversions, which consume no argument
    out += '%';
    if (conversion != '%') out += conversion;
  }
}
} // namespace

CFStringRef CFStringCreateWithFormat(CFAllocatorRef, CFDictionaryRef, CFStringRef format, ...)
{
  if (!format) return nullptr;
  const std::string& pattern = format->mText;
  std::string out;
  va_list args;
  va_start(args, format);
  for (size_t i = 0; i < pattern.size(); ++i)
  {
    if (pattern[i] != '%' || i + 1 == pattern.size())
    {
      out += pattern[i];
      continue;
    }
    bool isLong = pattern[i + 1] == 'l' && i + 2 < pattern.size();
    i += isLong ? 2 : 1;
    appendConversion(out, pattern[i], isLong, args);
  }
  va_end(args);
  return new CFStringObject(std::move(out));
}

CFStringRef CFSTR(const char* literal)
{
  static std::mutex lock;
  // Never destroyed, so literals stay valid through static destruction.
  static auto* literals = new std::unordered_map<std::string, CFStringObject*>;
  std::lock_guard<std::mutex> guard(lock);
  auto& string = (*literals)[literal];
  if (!string) string = new CFStringObject(literal, true);
  return string;
}

// --- Numbers

CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType type, const void* value)
{
  if (!value) return nullptr;
  switch (type)
  {
  case kCFNumberSInt32Type:
  case kCFNumberIntType:
    return new CFNumberObject(int64_t(*static_cast<const int32_t*>(value)));
  case kCFNumberSInt64Type:
    return new CFNumberObject(*static_cast<const int64_t*>(value));
  case kCFNumberFloat64Type:
  case kCFNumberDoubleType:
    return new CFNumberObject(*static_cast<const double*>(value));
  }
  return nullptr;
}

namespace
{
int64_t integerOf(const CFNumberObject& number)
{
  if (!number.mIsReal) return number.mInteger;
  if (!(number.mReal > -9.3e18 && number.mReal < 9.3e18)) // also NaN
    return number.mReal > 0 ? INT64_MAX : INT64_MIN;
  return int64_t(number.mReal);
}

bool convertsExactly(const CFNumberObject& number, int64_t integer)
{
  return number.mIsReal ? double(integer) == number.mReal : integer == number.mInteger;
}
} // namespace

Boolean CFNumberGetValue(CFNumberRef number, CFNumberType type, void* value)
{
  if (!number || !value) return false;
  int64_t integer = integerOf(*number);
  switch (type)
  {
  case kCFNumberSInt32Type:
  case kCFNumberIntType:
  {
    int32_t narrow = int32_t(std::clamp<int64_t>(integer, INT32_MIN, INT32_MAX));
    *static_cast<int32_t*>(value) = narrow;
    return convertsExactly(*number, narrow);
  }
  case kCFNumberSInt64Type:
    *static_cast<int64_t*>(value) = integer;
    return convertsExactly(*number, integer);
  case kCFNumberFloat64Type:
  case kCFNumberDoubleType:
  {
    double real = number->mIsReal ? number->mReal : double(number->mInteger);
    *static_cast<double*>(value) = real;
    return number->mIsReal || int64_t(real) == number->mInteger;
  }
  }
  return false;
}

// --- Data

CFDataRef CFDataCreate(CFAllocatorRef, const uint8_t* bytes, CFIndex length)
{
  if (length < 0 || (length > 0 && !bytes)) return nullptr;
  return new CFDataObject(bytes, size_t(length));
}

const uint8_t* CFDataGetBytePtr(CFDataRef data)
{
  return data && !data->mBytes.empty() ? data->mBytes.data() : nullptr;
}

CFIndex CFDataGetLength(CFDataRef data)
{
  return data ? CFIndex(data->mBytes.size()) : 0;
}

// --- Dictionaries

CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef, CFIndex capacity)
{
  auto* dictionary = new CFDictionaryObject;
  dictionary->mEntries.reserve(size_t(std::max<CFIndex>(capacity, 0)));
  return dictionary;
}

void CFDictionarySetValue(CFMutableDictionaryRef dictionary, CFStringRef key, CFTypeRef value)
{
  if (dictionary && key && value) dictionary->set(key, value);
}

void CFDictionaryRemoveValue(CFMutableDictionaryRef dictionary, CFStringRef key)
{
  if (dictionary && key) dictionary->remove(key->mText);
}

CFTypeRef CFDictionaryGetValue(CFDictionaryRef dictionary, CFStringRef key)
{
  if (!dictionary || !key) return nullptr;
  auto* entry = dictionary->lookUp(key->mText);
  return entry ? entry->value : nullptr;
}

CFIndex CFDictionaryGetCount(CFDictionaryRef dictionary)
{
  return dictionary ? CFIndex(dictionary->mEntries.size()) : 0;
}

void CFDictionaryApplyFunction(CFDictionaryRef dictionary, CFDictionaryApplierFunction applier, void* context)
{
  if (!dictionary || !applier) return;
  for (const auto& entry : dictionary->mEntries)
    applier(entry.key, entry.value, context);
}

// --- Arrays

CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef, CFIndex capacity, const CFArrayCallBacks* callBacks)
{
  auto* array = new CFArrayObject(callBacks);
  array->mValues.reserve(size_t(std::max<CFIndex>(capacity, 0)));
  return array;
}

void CFArrayAppendValue(CFMutableArrayRef array, const void* value)
{
  if (array) array->append(value);
}

CFIndex CFArrayGetCount(CFArrayRef array)
{
  return array ? CFIndex(array->mValues.size()) : 0;
}

const void* CFArrayGetValueAtIndex(CFArrayRef array, CFIndex index)
{
  if (!array || index < 0 || size_t(index) >= array->mValues.size()) return nullptr;
  return array->mValues[size_t(index)];
}

// --- URLs

CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef, CFStringRef path, CFURLPathStyle, Boolean isDirectory)
{
  if (!path) return nullptr;
  std::string text = path->mText;
  if (isDirectory && (text.empty() || text.back() != '/')) text += '/';
  return new CFURLObject(std::move(text));
}

CFStringRef CFURLCopyFileSystemPath(CFURLRef url, CFURLPathStyle)
{
  if (!url) return nullptr;
  std::string path = url->mPath;
  if (path.size() > 1 && path.back() == '/') path.pop_back();
  return new CFStringObject(std::move(path));
}

// --- Byte form
//
// "TSPL", a version byte, then one value. Each value is a tag byte and its
// content, numbers little-endian: 'S' string and 'D' data (u32 length, bytes),
// 'I' integer (i64), 'R' real (f64), 'A' array (u32 count, values),
// 'M' dictionary (u32 count, then per entry a u32 key length, key, value; keys
// in increasing byte order).

namespace
{
constexpr char kMagic[4] = {'T', 'S', 'P', 'L'};
constexpr uint8_t kFormatVersion = 1;

class PropertyListWriter
{
public:
  bool write(CFTypeRef value, int depth)
  {
    if (depth > kPropertyListMaxDepth) return false;
    if (auto* string = as<CFStringObject>(value)) return writeBytes('S', string->mText.data(), string->mText.size());
    if (auto* data = as<CFDataObject>(value)) return writeBytes('D', data->mBytes.data(), data->mBytes.size());
    if (auto* number = as<CFNumberObject>(value)) return writeNumber(*number);
    if (auto* array = as<CFArrayObject>(value)) return writeArray(*array, depth);
    if (auto* dictionary = as<CFDictionaryObject>(value)) return writeDictionary(*dictionary, depth);
    return false;
  }

  std::vector<uint8_t> mBytes{std::begin(kMagic), std::end(kMagic)};

private:
  void put(uint64_t value, int byteCount)
  {
    for (int i = 0; i < byteCount; ++i)
      mBytes.push_back(uint8_t(value >> (8 * i)));
  }

  bool putLength(size_t length)
  {
    if (length > UINT32_MAX) return false;
    put(length, 4);
    return true;
  }

  bool writeBytes(char tag, const void* bytes, size_t length)
  {
    mBytes.push_back(uint8_t(tag));
    if (!putLength(length)) return false;
    auto* first = static_cast<const uint8_t*>(bytes);
    mBytes.insert(mBytes.end(), first, first + length);
    return true;
  }

  bool writeNumber(const CFNumberObject& number)
  {
    mBytes.push_back(number.mIsReal ? 'R' : 'I');
    put(number.mIsReal ? std::bit_cast<uint64_t>(number.mReal) : uint64_t(number.mInteger), 8);
    return true;
  }

  bool writeArray(const CFArrayObject& array, int depth)
  {
    if (!array.holdsValuesOfThisLayer()) return false;
    mBytes.push_back('A');
    if (!putLength(array.mValues.size())) return false;
    return std::all_of(array.mValues.begin(), array.mValues.end(),
                       [&](const void* value) { return write(value, depth + 1); });
  }

  bool writeDictionary(const CFDictionaryObject& dictionary, int depth)
  {
    mBytes.push_back('M');
    if (!putLength(dictionary.mEntries.size())) return false;
    for (const auto& entry : dictionary.mEntries)
    {
      if (!putLength(entry.key->mText.size())) return false;
      mBytes.insert(mBytes.end(), entry.key->mText.begin(), entry.key->mText.end());
      if (!write(entry.value, depth + 1)) return false;
    }
    return true;
  }
};

// Owns one reference until it is handed on.
struct OwnedValue
{
  CFTypeRef mValue = nullptr;
  ~OwnedValue() { CFRelease(mValue); }
  CFTypeRef Take() { return std::exchange(mValue, nullptr); }
};

class PropertyListReader
{
public:
  PropertyListReader(const uint8_t* bytes, size_t size) : mPos(bytes), mEnd(bytes + size) {}

  CFTypeRef readDocument()
  {
    uint8_t magic[sizeof kMagic];
    uint8_t version = 0;
    if (!take(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof magic) != 0 || !take(&version, 1) ||
        version != kFormatVersion)
      return nullptr;
    OwnedValue value{read(0)};
    return mPos == mEnd ? value.Take() : nullptr;
  }

private:
  size_t remaining() const { return size_t(mEnd - mPos); }

  bool take(void* out, size_t length)
  {
    if (length > remaining()) return false;
    std::memcpy(out, mPos, length);
    mPos += length;
    return true;
  }

  bool takeUnsigned(uint64_t& value, int byteCount)
  {
    uint8_t bytes[8];
    if (!take(bytes, size_t(byteCount))) return false;
    value = 0;
    for (int i = 0; i < byteCount; ++i)
      value |= uint64_t(bytes[i]) << (8 * i);
    return true;
  }

  // A length or count, refused when the input cannot hold that many bytes
  // (each element takes at least one), so hostile counts never allocate.
  bool takeLength(size_t& length)
  {
    uint64_t value = 0;
    if (!takeUnsigned(value, 4) || value > remaining()) return false;
    length = size_t(value);
    return true;
  }

  bool takeText(std::string& text)
  {
    size_t length = 0;
    if (!takeLength(length) || std::memchr(mPos, 0, length)) return false;
    text.assign(reinterpret_cast<const char*>(mPos), length);
    mPos += length;
    return true;
  }

  CFTypeRef read(int depth)
  {
    uint8_t tag = 0;
    if (depth > kPropertyListMaxDepth || !take(&tag, 1)) return nullptr;
    switch (tag)
    {
    case 'S':
    {
      std::string text;
      return takeText(text) ? new CFStringObject(std::move(text)) : nullptr;
    }
    case 'D':
    {
      size_t length = 0;
      if (!takeLength(length)) return nullptr;
      mPos += length;
      return new CFDataObject(mPos - length, length);
    }
    case 'I':
    case 'R':
    {
      uint64_t bits = 0;
      if (!takeUnsigned(bits, 8)) return nullptr;
      return tag == 'I' ? new CFNumberObject(int64_t(bits)) : new CFNumberObject(std::bit_cast<double>(bits));
    }
    case 'A':
      return readArray(depth);
    case 'M':
      return readDictionary(depth);
    }
    return nullptr;
  }

  CFTypeRef readArray(int depth)
  {
    size_t count = 0;
    if (!takeLength(count)) return nullptr;
    OwnedValue array{CFArrayCreateMutable(kCFAllocatorDefault, CFIndex(count), &kCFTypeArrayCallBacks)};
    for (size_t i = 0; i < count; ++i)
    {
      OwnedValue element{read(depth + 1)};
      if (!element.mValue) return nullptr;
      CFArrayAppendValue(asMutable<CFArrayObject>(array.mValue), element.mValue);
    }
    return array.Take();
  }

  CFTypeRef readDictionary(int depth)
  {
    size_t count = 0;
    if (!takeLength(count)) return nullptr;
    OwnedValue dictionary{CFDictionaryCreateMutable(kCFAllocatorDefault, CFIndex(count))};
    auto* target = asMutable<CFDictionaryObject>(dictionary.mValue);
    for (size_t i = 0; i < count; ++i)
    {
      std::string keyText;
      // Keys come in the writer's strictly increasing order, so a repeated key
      // (which would silently drop data) cannot pass and each document has one form.
      if (!takeText(keyText) || (i > 0 && !(target->mEntries.back().key->mText < keyText))) return nullptr;
      OwnedValue key{new CFStringObject(std::move(keyText))};
      OwnedValue value{read(depth + 1)};
      if (!value.mValue) return nullptr;
      target->set(as<CFStringObject>(key.mValue), value.mValue);
    }
    return dictionary.Take();
  }

  const uint8_t* mPos;
  const uint8_t* const mEnd;
};
} // namespace

CFDataRef PropertyListCreateData(CFPropertyListRef value)
{
  PropertyListWriter writer;
  writer.mBytes.push_back(kFormatVersion);
  if (!writer.write(value, 0)) return nullptr;
  return CFDataCreate(kCFAllocatorDefault, writer.mBytes.data(), CFIndex(writer.mBytes.size()));
}

CFPropertyListRef PropertyListCreateFromBytes(const uint8_t* bytes, size_t size)
{
  if (!bytes) return nullptr;
  return PropertyListReader(bytes, size).readDocument();
}
