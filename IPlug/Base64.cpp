#include "Base64.h"

namespace
{
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int sextet(char c)
{
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}
} // namespace

void Base64Encode(const unsigned char* data, int size, WDL_String* pText)
{
  pText->Set("");
  for (int i = 0; i < size; i += 3)
  {
    const int n = size - i < 3 ? size - i : 3;
    unsigned int group = data[i] << 16;
    if (n > 1) group |= data[i + 1] << 8;
    if (n > 2) group |= data[i + 2];
    char quad[5] = {kAlphabet[(group >> 18) & 63], kAlphabet[(group >> 12) & 63], '=', '=', 0};
    if (n > 1) quad[2] = kAlphabet[(group >> 6) & 63];
    if (n > 2) quad[3] = kAlphabet[group & 63];
    pText->Append(quad);
  }
}

int Base64Decode(const char* text, unsigned char* out, int outSize)
{
  unsigned int bits = 0;
  int nBits = 0;
  int written = 0;
  for (; *text; ++text)
  {
    const int value = sextet(*text);
    if (value < 0) break;
    bits = (bits << 6) | static_cast<unsigned int>(value);
    nBits += 6;
    if (nBits >= 8)
    {
      nBits -= 8;
      if (written < outSize) out[written++] = static_cast<unsigned char>(bits >> nBits);
    }
  }
  return written;
}
