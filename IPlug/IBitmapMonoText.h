#pragma once
// Text drawn from a fixed-width bitmap font whose frame k shows the character
// with code k + 31 (frame 1 is the blank). Editor thread.

#include "IGraphicsStructs.h"

class IGraphics;

// Lays str out from rect's top (or vertically centred) by the text's
// alignment, wrapping into lines only when multiline. Characters the font has
// no frame for are drawn blank.
bool DrawBitmapedText(IGraphics* pGraphics, IBitmap* pBitmap, IRECT* pR, IText* pText, IChannelBlend* pBlend,
                      const char* str, bool vCenter, bool multiline, int charWidth, int charHeight, int charOffset);
