#pragma once
// Standard Base64 (RFC 4648 alphabet, "=" padding) for embedding state blobs
// in source code.

#include "Containers.h"

void Base64Encode(const unsigned char* data, int size, WDL_String* pText);

// Decodes into out, which the caller has zero-filled; stops at the end of the
// text or at the first character outside the alphabet (padding included) and
// drops bytes beyond outSize. Returns the number of bytes decoded.
int Base64Decode(const char* text, unsigned char* out, int outSize);
