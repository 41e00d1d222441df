#pragma once
// 32-bit values stored most significant byte first, as the program and bank
// file formats require whatever the host byte order.

#include "ByteChunk.h"

#include <bit>
#include <cstdint>

constexpr int BigEndianInt(unsigned char b0, unsigned char b1, unsigned char b2, unsigned char b3)
{
  return static_cast<int>(static_cast<uint32_t>(b0) << 24 | static_cast<uint32_t>(b1) << 16 |
                          static_cast<uint32_t>(b2) << 8 | static_cast<uint32_t>(b3));
}

// A four-character code as it reads in big-endian order ("CcnK" is 0x43636e4b).
constexpr int FourCC(const char (&code)[5])
{
  return BigEndianInt(static_cast<unsigned char>(code[0]), static_cast<unsigned char>(code[1]),
                      static_cast<unsigned char>(code[2]), static_cast<unsigned char>(code[3]));
}

inline int PutBigEndian(ByteChunk* pChunk, int value)
{
  const uint32_t bits = static_cast<uint32_t>(value);
  const unsigned char bytes[4] = {static_cast<unsigned char>(bits >> 24), static_cast<unsigned char>(bits >> 16),
                                  static_cast<unsigned char>(bits >> 8), static_cast<unsigned char>(bits)};
  return pChunk->PutBytes(bytes, 4);
}

inline int PutBigEndian(ByteChunk* pChunk, float value)
{
  return PutBigEndian(pChunk, std::bit_cast<int>(value));
}

// Returns the position after the value or -1, leaving *pValue unchanged on failure.
inline int GetBigEndian(const ByteChunk* pChunk, int* pValue, int startPos)
{
  unsigned char bytes[4];
  const int pos = pChunk->GetBytes(bytes, 4, startPos);
  if (pos < 0) return -1;
  *pValue = BigEndianInt(bytes[0], bytes[1], bytes[2], bytes[3]);
  return pos;
}

inline int GetBigEndian(const ByteChunk* pChunk, float* pValue, int startPos)
{
  int bits = 0;
  const int pos = GetBigEndian(pChunk, &bits, startPos);
  if (pos >= 0) *pValue = std::bit_cast<float>(bits);
  return pos;
}
