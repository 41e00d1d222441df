#pragma once
// Test images written with libpng in any colour type and bit depth, and
// solid-colour bitmaps made with cairo.

#include <string>
#include <vector>

class LICE_IBitmap;

struct PngImage
{
  int width;
  int height;
  int colorType; // PNG_COLOR_TYPE_*
  int bitDepth;
  std::vector<unsigned char> rows; // packed rows, as the format stores them
  std::vector<unsigned char> palette; // RGB triples
  std::vector<unsigned char> transparency; // tRNS entries
};

bool writePng(const std::string& path, const PngImage& image);
// Paints a rectangle of the bitmap (logical pixels) with one colour, 0xAARRGGBB.
void paintRect(LICE_IBitmap* bitmap, int x, int y, int w, int h, unsigned argb);
