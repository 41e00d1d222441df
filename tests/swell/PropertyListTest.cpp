#include "PropertyList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
// Releases its reference at the end of the test, whatever happens.
template <class T> struct Owned
{
  T mValue;
  explicit Owned(T value) : mValue(value) {}
  ~Owned() { CFRelease(mValue); }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  T operator->() const { return mValue; }
  operator T() const { return mValue; }
};

const auto makeString = [](const char* text)
{ return CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8); };

const auto parse = [](const std::vector<uint8_t>& bytes)
{ return PropertyListCreateFromBytes(bytes.data(), bytes.size()); };
} // namespace

TEST(PropertyList, AStringCopiesOutOnlyAsMuchAsTheBufferHolds)
{
  Owned string(makeString("Init"));
  struct Case
  {
    CFIndex bufferSize;
    bool fits;
    const char* text;
  };
  for (Case c : {Case{5, true, "Init"}, Case{4, false, "Ini"}, Case{1, false, ""}})
  {
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(CFStringGetCString(string, buffer, c.bufferSize, kCFStringEncodingUTF8), c.fits) << c.bufferSize;
    EXPECT_STREQ(buffer, c.text);
    EXPECT_EQ(buffer[c.bufferSize], 'x') << "wrote beyond the buffer";
  }
}

// On a dictionary shaped like the host state, with a nested array.
TEST(PropertyList, TheReaderRefusesEveryTruncationAndAnyTrailingByte)
{
  Owned state(CFDictionaryCreateMutable(kCFAllocatorDefault, 0));
  const int32_t versionWord = 0x00020301;
  Owned version(CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &versionWord));
  Owned name(makeString("Brass \xC3\xA9"));
  const uint8_t chunk[] = {0, 1, 2, 0xFF, 0};
  Owned data(CFDataCreate(kCFAllocatorDefault, chunk, sizeof chunk));
  double rate = 44100.5;
  Owned real(CFNumberCreate(kCFAllocatorDefault, kCFNumberDoubleType, &rate));
  Owned list(CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks));
  CFArrayAppendValue(list, real);
  CFArrayAppendValue(list, name);
  CFDictionarySetValue(state, CFSTR("version"), version);
  CFDictionarySetValue(state, CFSTR("name"), name);
  CFDictionarySetValue(state, CFSTR("data"), data);
  CFDictionarySetValue(state, CFSTR("list"), list);
  Owned bytes(PropertyListCreateData(state));
  std::vector<uint8_t> all(CFDataGetBytePtr(bytes), CFDataGetBytePtr(bytes) + CFDataGetLength(bytes));
  for (size_t length = 0; length < all.size(); ++length)
  {
    std::vector<uint8_t> prefix(all.begin(), all.begin() + length);
    EXPECT_EQ(parse(prefix), nullptr) << length;
  }
  all.push_back(0);
  EXPECT_EQ(parse(all), nullptr);
}

TEST(PropertyList, TheReaderRefusesMalformedDocuments)
{
  using Bytes = std::vector<uint8_t>;
  const Bytes header = {'T', 'S', 'P', 'L', 1};
  auto withHeader = [&](Bytes body)
  {
    Bytes document = header;
    document.insert(document.end(), body.begin(), body.end());
    return document;
  };
  Bytes deep = header;
  for (int i = 0; i <= kPropertyListMaxDepth + 1; ++i)
    deep.insert(deep.end(), {'A', 1, 0, 0, 0});
  deep.insert(deep.end(), {'I', 0, 0, 0, 0, 0, 0, 0, 0});

  const std::pair<const char*, Bytes> cases[] = {
      {"wrong magic", Bytes{'T', 'S', 'P', 'X', 1, 'I', 0, 0, 0, 0, 0, 0, 0, 0}},
      {"unknown version", Bytes{'T', 'S', 'P', 'L', 2, 'I', 0, 0, 0, 0, 0, 0, 0, 0}},
      {"unknown tag", withHeader({'Z'})},
      {"count beyond the input", withHeader({'A', 0xFF, 0xFF, 0xFF, 0xFF, 'I'})},
      {"string holding a zero byte", withHeader({'S', 2, 0, 0, 0, 'a', 0})},
      {"keys out of order",
       withHeader({'M', 2, 0, 0, 0, 1, 0, 0, 0, 'k', 'S', 0, 0, 0, 0, 1, 0, 0, 0, 'a', 'S', 0, 0, 0, 0})},
      {"nesting too deep", deep},
  };
  for (const auto& [what, bytes] : cases)
    EXPECT_EQ(parse(bytes), nullptr) << what;
}

TEST(PropertyList, ValuesTheByteFormCannotCarryAreRefusedWhenWriting)
{
  int foreign = 0;
  Owned presets(CFArrayCreateMutable(kCFAllocatorDefault, 1, nullptr));
  CFArrayAppendValue(presets, &foreign);
  EXPECT_EQ(PropertyListCreateData(presets), nullptr);
}
