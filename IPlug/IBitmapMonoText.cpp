#include "IBitmapMonoText.h"

#include "IGraphics.h"

#include <cstring>

namespace
{
constexpr int kFirstCharCode = 32;

int startX(const IRECT& r, IText::EAlign align, int textWidth)
{
  switch (align)
  {
  case IText::kAlignNear:
    return r.L;
  case IText::kAlignFar:
    return r.R - textWidth;
  default:
    return r.L + (r.R - (textWidth + r.L)) / 2;
  }
}

// Bytes outside the font (controls, UTF-8 sequences) must not index past its
// frames.
int frameOf(unsigned char c, int nFrames)
{
  const int frame = c - (kFirstCharCode - 1);
  return frame >= 1 && frame <= nFrames ? frame : 1;
}
} // namespace

bool DrawBitmapedText(IGraphics* pGraphics, IBitmap* pBitmap, IRECT* pR, IText* pText, IChannelBlend* pBlend,
                      const char* str, bool vCenter, bool multiline, int charWidth, int charHeight, int charOffset)
{
  if (!str || !*str || charWidth < 1) return true;
  const int len = static_cast<int>(strlen(str));
  const int textWidth = len * charWidth;
  int y = pR->T;
  if (vCenter) y += (pR->B - (y + charHeight)) / 2;
  const int x0 = startX(*pR, pText->mAlign, textWidth);
  const int width = pR->W();
  const int charsPerLine = width / charWidth;
  if (charsPerLine < 1) return true;
  const int nLines = multiline && textWidth > width ? textWidth / width + 1 : 1;

  for (int line = 0, i = 0; line < nLines && i < len; ++line)
  {
    const int top = y + line * charHeight;
    for (int x = x0, col = 0; col < charsPerLine && i < len; ++col, ++i, x += charWidth + charOffset)
    {
      IRECT charRect(x, top, x + charWidth, top + charHeight);
      pGraphics->DrawBitmap(pBitmap, &charRect, frameOf(static_cast<unsigned char>(str[i]), pBitmap->N), pBlend);
    }
  }
  return true;
}
