#pragma once
// The editor's value types: rectangles, colours, text styles, bitmaps with
// their frames, blend modes and mouse modifiers. Plain values, copied freely.

#include <algorithm>
#include <cstring>

class LICE_IBitmap;
class LICE_CachedFont;

struct IColor
{
  int A = 255, R = 0, G = 0, B = 0;

  IColor() = default;
  IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}
  bool operator==(const IColor&) const = default;
};

inline const IColor COLOR_TRANSPARENT(0, 0, 0, 0);
inline const IColor COLOR_BLACK(255, 0, 0, 0);
inline const IColor COLOR_GRAY(255, 127, 127, 127);
inline const IColor COLOR_WHITE(255, 255, 255, 255);
inline const IColor COLOR_RED(255, 255, 0, 0);
inline const IColor COLOR_GREEN(255, 0, 255, 0);
inline const IColor COLOR_BLUE(255, 0, 0, 255);
inline const IColor COLOR_YELLOW(255, 255, 255, 0);
inline const IColor COLOR_ORANGE(255, 255, 127, 0);
inline const IColor DEFAULT_TEXT_COLOR = COLOR_BLACK;
inline const IColor DEFAULT_TEXT_ENTRY_BGCOLOR = COLOR_WHITE;
inline const IColor DEFAULT_TEXT_ENTRY_FGCOLOR = COLOR_BLACK;

struct IRECT
{
  int L = 0, T = 0, R = 0, B = 0;

  IRECT() = default;
  IRECT(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}

  bool operator==(const IRECT&) const = default;
  bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
  void Clear() { *this = IRECT(); }
  int W() const { return R - L; }
  int H() const { return B - T; }
  float MW() const { return 0.5f * float(L + R); }
  float MH() const { return 0.5f * float(T + B); }

  bool Contains(int x, int y) const { return !Empty() && x >= L && x < R && y >= T && y < B; }
  bool Intersects(const IRECT& other) const
  {
    return !Empty() && !other.Empty() && R >= other.L && L < other.R && B >= other.T && T < other.B;
  }
  IRECT Union(const IRECT& other) const
  {
    return IRECT(std::min(L, other.L), std::min(T, other.T), std::max(R, other.R), std::max(B, other.B));
  }
};

struct IChannelBlend
{
  enum EBlendMethod
  {
    kBlendNone = 0,
    kBlendClobber = 1,
    kBlendAdd = 2,
    kBlendColorDodge = 3
  };

  EBlendMethod mMethod = kBlendNone;
  float mWeight = 1.0f;

  IChannelBlend() = default;
  explicit IChannelBlend(EBlendMethod method, float weight = 1.0f) : mMethod(method), mWeight(weight) {}
};

struct IText
{
  static constexpr int kFontNameSize = 32;

  enum EStyle
  {
    kStyleNormal = 0,
    kStyleBold = 1,
    kStyleItalic = 2
  };
  enum EAlign
  {
    kAlignNear = 0,
    kAlignCenter = 1,
    kAlignFar = 2
  };
  enum EQuality
  {
    kQualityDefault = 0,
    kQualityNonAntiAliased = 1,
    kQualityAntiAliased = 2,
    kQualityClearType = 3
  };

  char mFont[kFontNameSize] = "Monaco";
  int mSize = 10;
  IColor mColor = DEFAULT_TEXT_COLOR;
  IColor mTextEntryBGColor = DEFAULT_TEXT_ENTRY_BGCOLOR;
  IColor mTextEntryFGColor = DEFAULT_TEXT_ENTRY_FGCOLOR;
  EStyle mStyle = kStyleNormal;
  EAlign mAlign = kAlignCenter;
  int mOrientation = 0; // degrees, counter-clockwise
  EQuality mQuality = kQualityDefault;
  LICE_CachedFont* mCached = nullptr; // owned by the font cache

  IText() = default;
  explicit IText(int size, const IColor& color = DEFAULT_TEXT_COLOR, const char* font = nullptr,
                 EStyle style = kStyleNormal, EAlign align = kAlignCenter, int orientation = 0,
                 EQuality quality = kQualityDefault, const IColor& textEntryBG = DEFAULT_TEXT_ENTRY_BGCOLOR,
                 const IColor& textEntryFG = DEFAULT_TEXT_ENTRY_FGCOLOR)
      : mSize(size), mColor(color), mTextEntryBGColor(textEntryBG), mTextEntryFGColor(textEntryFG), mStyle(style),
        mAlign(align), mOrientation(orientation), mQuality(quality)
  {
    SetFont(font ? font : "Monaco");
  }
  explicit IText(const IColor& color) : mColor(color) {}

  void SetFont(const char* font)
  {
    strncpy(mFont, font, kFontNameSize - 1);
    mFont[kFontNameSize - 1] = '\0';
    mCached = nullptr;
  }
};

struct IBitmap
{
  LICE_IBitmap* mData = nullptr; // owned by the bitmap cache
  int W = 0, H = 0;              // the whole image, in logical pixels
  int N = 1;                     // frames
  bool mFramesAreHorizontal = false;

  IBitmap() = default;
  IBitmap(LICE_IBitmap* data, int w, int h, int n = 1, bool framesAreHorizontal = false)
      : mData(data), W(w), H(h), N(n), mFramesAreHorizontal(framesAreHorizontal)
  {
  }

  int FrameWidth() const { return mFramesAreHorizontal && N > 0 ? W / N : W; }
  int FrameHeight() const { return !mFramesAreHorizontal && N > 0 ? H / N : H; }
};

struct IMouseMod
{
  bool L = false, R = false, S = false, C = false, A = false;

  IMouseMod() = default;
  IMouseMod(bool l, bool r = false, bool s = false, bool c = false, bool a = false) : L(l), R(r), S(s), C(c), A(a) {}
};

enum EFileAction
{
  kFileOpen = 0,
  kFileSave = 1
};

enum EDirection
{
  kVertical = 0,
  kHorizontal = 1
};
