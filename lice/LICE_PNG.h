#pragma once
// PNG decoding into raster bitmaps with libpng. Every image format libpng
// reads (palette, grey, 16-bit, with or without alpha or a transparency
// chunk) comes out as premultiplied ARGB32. A missing, foreign or damaged
// file gives null, never a partial bitmap.

#include <cstddef>

class LICE_IBitmap;

// scale: device pixels per logical pixel of the image (2 for a "@2x" file).
LICE_IBitmap* LICE_LoadPNG(const char* filename, double scale = 1.0);
LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, size_t size, double scale = 1.0);
// Writes the device pixels; false when the file cannot be written.
bool LICE_WritePNG(const char* filename, LICE_IBitmap* bitmap);
