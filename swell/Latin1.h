#pragma once
// X hands out Latin-1 (STRING, XLookupString); everything of ours is UTF-8.
#include <cstddef>
#include <string>

inline std::string utf8FromLatin1(const unsigned char* text, size_t length)
{
  std::string utf8;
  for (size_t i = 0; i < length; ++i)
  {
    if (text[i] < 0x80)
      utf8 += static_cast<char>(text[i]);
    else
    {
      utf8 += static_cast<char>(0xc0 | (text[i] >> 6));
      utf8 += static_cast<char>(0x80 | (text[i] & 0x3f));
    }
  }
  return utf8;
}
