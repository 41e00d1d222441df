// The drawing operations controls use, over cairo on the draw bitmap. Lines
// and outlines run through pixel centres, so a one-pixel line at x covers
// exactly column x; fills cover whole pixels.

#include "IGraphics.h"

#include "LICE_CachedFont.h"
#include "LICE_IBitmap.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <numbers>

namespace
{
constexpr double kHalf = 0.5;

cairo_operator_t operatorFor(const IChannelBlend* pBlend)
{
  switch (pBlend ? pBlend->mMethod : IChannelBlend::kBlendNone)
  {
  case IChannelBlend::kBlendClobber:
    return CAIRO_OPERATOR_SOURCE;
  case IChannelBlend::kBlendAdd:
    return CAIRO_OPERATOR_ADD;
  case IChannelBlend::kBlendColorDodge:
    return CAIRO_OPERATOR_COLOR_DODGE;
  default:
    return CAIRO_OPERATOR_OVER;
  }
}

double weightOf(const IChannelBlend* pBlend)
{
  return pBlend ? std::clamp(double(pBlend->mWeight), 0.0, 1.0) : 1.0;
}

// Clobbering with a colour ignores its alpha; painting an opaque colour over
// with the weight as alpha is the same as replacing by that weight.
void setColor(cairo_t* cr, const IColor& color, const IChannelBlend* pBlend)
{
  const bool clobber = pBlend && pBlend->mMethod == IChannelBlend::kBlendClobber;
  cairo_set_operator(cr, clobber ? CAIRO_OPERATOR_OVER : operatorFor(pBlend));
  const double alpha = (clobber ? 1.0 : color.A / 255.0) * weightOf(pBlend);
  cairo_set_source_rgba(cr, color.R / 255.0, color.G / 255.0, color.B / 255.0, alpha);
}

void clipTo(cairo_t* cr, const IRECT& r)
{
  cairo_rectangle(cr, r.L, r.T, r.W(), r.H());
  cairo_clip(cr);
}

void roundedRectPath(cairo_t* cr, double l, double t, double r, double b, double radius)
{
  radius = std::clamp(radius, 0.0, std::min(r - l, b - t) / 2.0);
  constexpr double quarter = std::numbers::pi / 2.0;
  cairo_new_sub_path(cr);
  cairo_arc(cr, r - radius, t + radius, radius, -quarter, 0.0);
  cairo_arc(cr, r - radius, b - radius, radius, 0.0, quarter);
  cairo_arc(cr, l + radius, b - radius, radius, quarter, 2.0 * quarter);
  cairo_arc(cr, l + radius, t + radius, radius, 2.0 * quarter, 3.0 * quarter);
  cairo_close_path(cr);
}

// Angles clockwise from straight up, as the knobs use them.
double cairoAngle(double angle)
{
  return angle - std::numbers::pi / 2.0;
}
} // namespace

cairo_t* IGraphics::beginDrawing()
{
  if (!mCairo) return nullptr;
  cairo_save(mCairo);
  // Inside a redraw nothing may touch pixels outside the area being redrawn:
  // the controls there are not drawn again to repair them.
  if (!mDrawRECT.Empty()) clipTo(mCairo, mDrawRECT);
  return mCairo;
}

void IGraphics::endDrawing(cairo_t* cr)
{
  cairo_restore(cr);
}

cairo_t* IGraphics::beginShape(const IColor* pColor, const IChannelBlend* pBlend, bool antiAlias)
{
  cairo_t* cr = pColor ? beginDrawing() : nullptr;
  if (!cr) return nullptr;
  setColor(cr, *pColor, pBlend);
  cairo_set_antialias(cr, antiAlias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
  cairo_set_line_width(cr, 1.0);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
  return cr;
}

bool IGraphics::endShape(cairo_t* cr, bool stroke)
{
  if (stroke)
    cairo_stroke(cr);
  else
    cairo_fill(cr);
  endDrawing(cr);
  return true;
}

bool IGraphics::blit(LICE_IBitmap* src, const IRECT& dest, int srcX, int srcY, const IChannelBlend* pBlend)
{
  cairo_t* cr = src ? beginDrawing() : nullptr;
  if (!cr) return false;
  clipTo(cr, dest);
  cairo_set_source_surface(cr, src->ForScale(mScale)->GetSurface(), dest.L - srcX, dest.T - srcY);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
  cairo_set_operator(cr, operatorFor(pBlend));
  cairo_paint_with_alpha(cr, weightOf(pBlend));
  endDrawing(cr);
  return true;
}

bool IGraphics::DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int srcX, int srcY, const IChannelBlend* pBlend)
{
  return pBitmap && pDest && blit(pBitmap->mData, *pDest, srcX, srcY, pBlend);
}

bool IGraphics::DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int state, const IChannelBlend* pBlend)
{
  if (!pBitmap || !pDest) return false;
  int srcX = 0, srcY = 0;
  if (state >= 2 && pBitmap->N >= 2)
  {
    const int extent = pBitmap->mFramesAreHorizontal ? pBitmap->W : pBitmap->H;
    const int offset = int(std::lround(double(state - 1) * extent / pBitmap->N));
    (pBitmap->mFramesAreHorizontal ? srcX : srcY) = offset;
  }
  return blit(pBitmap->mData, *pDest, srcX, srcY, pBlend);
}

// Paints the bitmap with its top left at (x, y), turned about (cx, cy), with
// the operator and alpha already set on the context.
void IGraphics::drawRotated(cairo_t* cr, LICE_IBitmap* bitmap, double x, double y, double cx, double cy,
                            double radians)
{
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, radians);
  cairo_translate(cr, -cx, -cy);
  cairo_set_source_surface(cr, bitmap->ForScale(mScale)->GetSurface(), x, y);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
  cairo_paint(cr);
  cairo_restore(cr);
}

bool IGraphics::DrawRotatedBitmap(IBitmap* pBitmap, int destCtrX, int destCtrY, double angle, int yOffsetZeroDeg,
                                  const IChannelBlend* pBlend)
{
  cairo_t* cr = pBitmap && pBitmap->mData ? beginDrawing() : nullptr;
  if (!cr) return false;
  cairo_push_group(cr);
  drawRotated(cr, pBitmap->mData, destCtrX - pBitmap->W / 2.0, destCtrY - pBitmap->H / 2.0, destCtrX,
              destCtrY + yOffsetZeroDeg, angle);
  cairo_pop_group_to_source(cr);
  cairo_set_operator(cr, operatorFor(pBlend));
  cairo_paint_with_alpha(cr, weightOf(pBlend));
  endDrawing(cr);
  return true;
}

bool IGraphics::DrawRotatedMask(IBitmap* pBase, IBitmap* pMask, IBitmap* pTop, int x, int y, double angle,
                                const IChannelBlend* pBlend)
{
  if (!pBase || !pMask || !pTop || !pMask->mData || !pTop->mData || !mCairo) return false;
  if (!mTmpBitmap || mTmpBitmap->GetWidth() != pBase->W || mTmpBitmap->GetHeight() != pBase->H ||
      mTmpBitmap->GetScale() != mScale)
    mTmpBitmap = std::make_unique<LICE_IBitmap>(pBase->W, pBase->H, mScale);
  cairo_t* tmp = cairo_create(mTmpBitmap->GetSurface());
  cairo_set_operator(tmp, CAIRO_OPERATOR_CLEAR);
  cairo_paint(tmp);
  // Odd widths have their centre between two pixels.
  const double cx = pBase->W / 2.0 - (pBase->W % 2 ? kHalf : 0.0);
  const double cy = pBase->H / 2.0;
  const double radians = angle * std::numbers::pi / 180.0;
  cairo_set_operator(tmp, CAIRO_OPERATOR_ADD);
  drawRotated(tmp, pMask->mData, cx - pMask->W / 2.0, cy - pMask->H / 2.0, cx, cy, radians);
  cairo_set_operator(tmp, CAIRO_OPERATOR_OVER);
  drawRotated(tmp, pTop->mData, cx - pTop->W / 2.0, cy - pTop->H / 2.0, cx, cy, radians);
  cairo_destroy(tmp);
  const IChannelBlend over(IChannelBlend::kBlendNone, pBlend ? pBlend->mWeight : 1.0f);
  return blit(mTmpBitmap.get(), IRECT(x, y, x + pBase->W, y + pBase->H), 0, 0, &over);
}

bool IGraphics::DrawPoint(const IColor* pColor, float x, float y, const IChannelBlend* pBlend, bool antiAlias)
{
  cairo_t* cr = beginShape(pColor, pBlend, antiAlias);
  if (!cr) return false;
  cairo_rectangle(cr, std::floor(x), std::floor(y), 1.0, 1.0);
  return endShape(cr, false);
}

bool IGraphics::ForcePixel(const IColor* pColor, int x, int y)
{
  cairo_t* cr = pColor ? beginDrawing() : nullptr;
  if (!cr) return false;
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgba(cr, pColor->R / 255.0, pColor->G / 255.0, pColor->B / 255.0, pColor->A / 255.0);
  cairo_rectangle(cr, x, y, 1.0, 1.0);
  return endShape(cr, false);
}

bool IGraphics::DrawLine(const IColor* pColor, float x1, float y1, float x2, float y2, const IChannelBlend* pBlend,
                         bool antiAlias)
{
  cairo_t* cr = beginShape(pColor, pBlend, antiAlias);
  if (!cr) return false;
  cairo_move_to(cr, x1 + kHalf, y1 + kHalf);
  cairo_line_to(cr, x2 + kHalf, y2 + kHalf);
  return endShape(cr, true);
}

bool IGraphics::DrawArc(const IColor* pColor, float cx, float cy, float r, float minAngle, float maxAngle,
                        const IChannelBlend* pBlend, bool antiAlias)
{
  cairo_t* cr = beginShape(pColor, pBlend, antiAlias);
  if (!cr) return false;
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx + kHalf, cy + kHalf, r, cairoAngle(minAngle), cairoAngle(maxAngle));
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  return endShape(cr, true);
}

bool IGraphics::DrawCircle(const IColor* pColor, float cx, float cy, float r, const IChannelBlend* pBlend,
                           bool antiAlias)
{
  return DrawArc(pColor, cx, cy, r, 0.0f, float(2.0 * std::numbers::pi), pBlend, antiAlias);
}

bool IGraphics::RoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend, int cornerRadius,
                          bool antiAlias)
{
  cairo_t* cr = pR ? beginShape(pColor, pBlend, antiAlias) : nullptr;
  if (!cr) return false;
  roundedRectPath(cr, pR->L + kHalf, pR->T + kHalf, pR->R - kHalf, pR->B - kHalf, cornerRadius);
  return endShape(cr, true);
}

bool IGraphics::FillRoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend, int cornerRadius,
                              bool antiAlias)
{
  cairo_t* cr = pR ? beginShape(pColor, pBlend, antiAlias) : nullptr;
  if (!cr) return false;
  roundedRectPath(cr, pR->L, pR->T, pR->R, pR->B, cornerRadius);
  return endShape(cr, false);
}

bool IGraphics::FillIRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend)
{
  cairo_t* cr = pR ? beginShape(pColor, pBlend, false) : nullptr;
  if (!cr) return false;
  cairo_rectangle(cr, pR->L, pR->T, pR->W(), pR->H());
  return endShape(cr, false);
}

bool IGraphics::DrawRect(const IColor* pColor, IRECT* pR)
{
  cairo_t* cr = pR ? beginShape(pColor, nullptr, false) : nullptr;
  if (!cr) return false;
  cairo_rectangle(cr, pR->L + kHalf, pR->T + kHalf, pR->W() - 1, pR->H() - 1);
  return endShape(cr, true);
}

bool IGraphics::FillCircle(const IColor* pColor, int cx, int cy, float r, const IChannelBlend* pBlend, bool antiAlias)
{
  cairo_t* cr = beginShape(pColor, pBlend, antiAlias);
  if (!cr) return false;
  cairo_arc(cr, cx + kHalf, cy + kHalf, r, 0.0, 2.0 * std::numbers::pi);
  return endShape(cr, false);
}

bool IGraphics::FillTriangle(const IColor* pColor, int x1, int y1, int x2, int y2, int x3, int y3,
                             const IChannelBlend* pBlend)
{
  int xs[] = {x1, x2, x3};
  int ys[] = {y1, y2, y3};
  return FillIConvexPolygon(pColor, xs, ys, 3, pBlend);
}

bool IGraphics::FillIConvexPolygon(const IColor* pColor, int* x, int* y, int npoints, const IChannelBlend* pBlend)
{
  cairo_t* cr = x && y && npoints >= 3 ? beginShape(pColor, pBlend, false) : nullptr;
  if (!cr) return false;
  cairo_move_to(cr, x[0] + kHalf, y[0] + kHalf);
  for (int i = 1; i < npoints; ++i) cairo_line_to(cr, x[i] + kHalf, y[i] + kHalf);
  cairo_close_path(cr);
  return endShape(cr, false);
}

bool IGraphics::DrawVerticalLine(const IColor* pColor, int xi, int yLo, int yHi)
{
  IRECT column(xi, std::min(yLo, yHi), xi + 1, std::max(yLo, yHi) + 1);
  return FillIRect(pColor, &column);
}

bool IGraphics::DrawHorizontalLine(const IColor* pColor, int yi, int xLo, int xHi)
{
  IRECT row(std::min(xLo, xHi), yi, std::max(xLo, xHi) + 1, yi + 1);
  return FillIRect(pColor, &row);
}

bool IGraphics::DrawVerticalLine(const IColor* pColor, IRECT* pR, float x)
{
  if (!pR) return false;
  const int xi = pR->L + int(std::clamp(x, 0.0f, 1.0f) * float(pR->W()));
  return DrawVerticalLine(pColor, xi, pR->T, pR->B);
}

bool IGraphics::DrawHorizontalLine(const IColor* pColor, IRECT* pR, float y)
{
  if (!pR) return false;
  const int yi = pR->T + int(std::clamp(y, 0.0f, 1.0f) * float(pR->H()));
  return DrawHorizontalLine(pColor, yi, pR->L, pR->R);
}

bool IGraphics::DrawRadialLine(const IColor* pColor, float cx, float cy, float angle, float rMin, float rMax,
                               const IChannelBlend* pBlend, bool antiAlias)
{
  const float sinV = std::sin(angle);
  const float cosV = std::cos(angle);
  return DrawLine(pColor, cx + sinV * rMin, cy - cosV * rMin, cx + sinV * rMax, cy - cosV * rMax, pBlend, antiAlias);
}

IColor IGraphics::GetPoint(int x, int y)
{
  if (!mDrawBitmap || x < 0 || y < 0 || x >= mWidth || y >= mHeight) return COLOR_TRANSPARENT;
  mDrawBitmap->Flush();
  const int dx = std::min(int(x * mScale), mDrawBitmap->GetDeviceWidth() - 1);
  const int dy = std::min(int(y * mScale), mDrawBitmap->GetDeviceHeight() - 1);
  const auto* row = reinterpret_cast<const unsigned char*>(mDrawBitmap->GetBits()) + size_t(dy) * mDrawBitmap->GetRowSpan();
  const unsigned pixel = reinterpret_cast<const unsigned*>(row)[dx];
  const int a = int(pixel >> 24);
  const auto unpremultiply = [a](unsigned c) { return a ? int((c * 255 + a / 2) / a) : 0; };
  return IColor(a, unpremultiply(pixel >> 16 & 0xff), unpremultiply(pixel >> 8 & 0xff), unpremultiply(pixel & 0xff));
}

void* IGraphics::GetBits()
{
  if (!mDrawBitmap) return nullptr;
  mDrawBitmap->Flush();
  return mDrawBitmap->GetBits();
}

int IGraphics::GetBitsRowSpan() const
{
  return mDrawBitmap ? mDrawBitmap->GetRowSpan() : 0;
}

int IGraphics::GetBitsWidth() const
{
  return mDrawBitmap ? mDrawBitmap->GetDeviceWidth() : 0;
}

int IGraphics::GetBitsHeight() const
{
  return mDrawBitmap ? mDrawBitmap->GetDeviceHeight() : 0;
}

bool IGraphics::MeasureIText(IText* pTxt, char* str, IRECT* pR)
{
  return DrawIText(pTxt, str, pR, kDrawTextNoClip, true);
}

bool IGraphics::DrawIText(IText* pTxt, const char* str, IRECT* pR, int flags, bool measure)
{
  if (!str || !*str) return true;
  if (!pTxt || !pR) return false;
  LICE_CachedFont* font = pTxt->mCached ? pTxt->mCached : CacheFont(pTxt);
  if (!font) return false;
  const int width = font->MeasureWidth(str);
  int left = pR->L;
  if (pTxt->mAlign == IText::kAlignCenter)
    left = (pR->L + pR->R - width) / 2;
  else if (pTxt->mAlign == IText::kAlignFar)
    left = pR->R - width;
  if (measure)
  {
    *pR = IRECT(left, pR->T, left + width, pR->T + font->GetLineHeight());
    return true;
  }
  cairo_t* cr = beginDrawing();
  if (!cr) return false;
  if (!(flags & kDrawTextNoClip)) clipTo(cr, *pR);
  font->Apply(cr);
  const IColor& c = pTxt->mColor;
  cairo_set_source_rgba(cr, c.R / 255.0, c.G / 255.0, c.B / 255.0, c.A / 255.0);
  cairo_move_to(cr, left, pR->T + font->GetAscent());
  cairo_show_text(cr, str);
  endDrawing(cr);
  return true;
}
