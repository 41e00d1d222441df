// The process-wide bitmap and font caches, shared by every editor instance
// and every thread. They live until the process exits.

#include "IGraphics.h"

#include "LICE_CachedFont.h"
#include "LICE_IBitmap.h"

#include <cairo.h>
#include <cmath>
#include <mutex>
#include <string>
#include <vector>

namespace
{
struct BitmapRecord
{
  int id; // -1 for bitmaps made at run time
  std::string name;
  LICE_IBitmap* bitmap;
  bool highResolutionTried = false;
};

struct FontRecord
{
  int size;
  int orientation;
  int style;
  int quality; // also part of the key: a non-antialiased text must not get an antialiased face
  std::string name;
  LICE_CachedFont* font;
};

template <class Record>
struct Cache
{
  std::recursive_mutex mutex;
  std::vector<Record> records;
};

struct BitmapCache : Cache<BitmapRecord>
{
  ~BitmapCache()
  {
    for (BitmapRecord& record : records) delete record.bitmap;
  }
};

struct FontCache : Cache<FontRecord>
{
  ~FontCache()
  {
    for (FontRecord& record : records) delete record.font;
  }
};

BitmapCache& bitmapCache()
{
  static BitmapCache cache;
  return cache;
}

FontCache& fontCache()
{
  static FontCache cache;
  return cache;
}

LICE_CachedFont::EQuality fontQuality(IText::EQuality quality)
{
  switch (quality)
  {
  case IText::kQualityNonAntiAliased:
    return LICE_CachedFont::kQualityNone;
  case IText::kQualityAntiAliased:
  case IText::kQualityClearType:
    return LICE_CachedFont::kQualityAntiAliased;
  default:
    return LICE_CachedFont::kQualityDefault;
  }
}

// Fonts whose line is taller than asked for are made again at the size that
// gives the asked line height, so text fits the rectangles laid out for it.
LICE_CachedFont* createFont(const IText& text)
{
  const int height = std::max(text.mSize, 2);
  auto create = [&text](int h) {
    return LICE_CachedFont::Create(text.mFont, h, text.mStyle == IText::kStyleBold, text.mStyle == IText::kStyleItalic,
                                   text.mOrientation, fontQuality(text.mQuality));
  };
  LICE_CachedFont* font = create(height);
  if (!font || font->GetLineHeight() == height || font->GetLineHeight() <= 0) return font;
  const int refit = std::max(int(std::lround(double(height) * height / font->GetLineHeight())), 2);
  if (LICE_CachedFont* second = create(refit))
  {
    delete font;
    font = second;
  }
  return font;
}

IBitmap retain(LICE_IBitmap* bitmap, int nStates)
{
  IBitmap result(bitmap, bitmap->GetWidth(), bitmap->GetHeight(), nStates, false);
  BitmapCache& cache = bitmapCache();
  std::lock_guard lock(cache.mutex);
  cache.records.push_back({-1, {}, bitmap});
  return result;
}
} // namespace

IBitmap IGraphics::LoadIBitmap(int id, const char* name, int nStates, bool framesAreHorizontal)
{
  BitmapCache& cache = bitmapCache();
  std::lock_guard lock(cache.mutex);
  LICE_IBitmap* bitmap = nullptr;
  for (const BitmapRecord& record : cache.records)
    if (record.id == id && record.bitmap) bitmap = record.bitmap;
  if (!bitmap)
  {
    bitmap = OSLoadBitmap(id, name);
    if (!bitmap) return IBitmap(nullptr, 0, 0, nStates, framesAreHorizontal);
    cache.records.push_back({id, name ? name : "", bitmap, bitmap->GetScale() > 1.0});
  }
  return IBitmap(bitmap, bitmap->GetWidth(), bitmap->GetHeight(), nStates, framesAreHorizontal);
}

void IGraphics::loadHighResolutionBitmaps()
{
  BitmapCache& cache = bitmapCache();
  std::lock_guard lock(cache.mutex);
  for (BitmapRecord& record : cache.records)
  {
    if (record.id < 0 || record.highResolutionTried) continue;
    record.highResolutionTried = true;
    LICE_IBitmap* sharper = OSLoadBitmap(record.id, record.name.c_str());
    if (sharper && sharper->GetScale() > record.bitmap->GetScale())
      record.bitmap->SetHighResolution(sharper);
    else
      delete sharper;
  }
}

void IGraphics::RetainBitmap(IBitmap* pBitmap)
{
  if (!pBitmap || !pBitmap->mData) return;
  BitmapCache& cache = bitmapCache();
  std::lock_guard lock(cache.mutex);
  cache.records.push_back({-1, {}, pBitmap->mData});
}

void IGraphics::ReleaseBitmap(IBitmap* pBitmap)
{
  if (!pBitmap || !pBitmap->mData) return;
  BitmapCache& cache = bitmapCache();
  std::lock_guard lock(cache.mutex);
  for (auto it = cache.records.begin(); it != cache.records.end(); ++it)
  {
    if (it->bitmap != pBitmap->mData) continue;
    delete it->bitmap;
    cache.records.erase(it);
    return;
  }
}

IBitmap IGraphics::ScaleBitmap(IBitmap* pSrcBitmap, int destW, int destH)
{
  auto* scaled = new LICE_IBitmap(destW, destH, mScale);
  if (pSrcBitmap && pSrcBitmap->mData && pSrcBitmap->W > 0 && pSrcBitmap->H > 0)
  {
    cairo_t* cr = cairo_create(scaled->GetSurface());
    cairo_scale(cr, double(destW) / pSrcBitmap->W, double(destH) / pSrcBitmap->H);
    cairo_set_source_surface(cr, pSrcBitmap->mData->ForScale(mScale)->GetSurface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
  }
  return retain(scaled, pSrcBitmap ? pSrcBitmap->N : 1);
}

IBitmap IGraphics::CropBitmap(IBitmap* pSrcBitmap, IRECT* pR)
{
  auto* cropped = new LICE_IBitmap(pR ? pR->W() : 0, pR ? pR->H() : 0, mScale);
  if (pSrcBitmap && pSrcBitmap->mData && pR)
  {
    cairo_t* cr = cairo_create(cropped->GetSurface());
    cairo_set_source_surface(cr, pSrcBitmap->mData->ForScale(mScale)->GetSurface(), -pR->L, -pR->T);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
  }
  return retain(cropped, pSrcBitmap ? pSrcBitmap->N : 1);
}

LICE_CachedFont* IGraphics::CacheFont(IText* pTxt)
{
  FontCache& cache = fontCache();
  std::lock_guard lock(cache.mutex);
  for (const FontRecord& record : cache.records)
  {
    if (record.size == pTxt->mSize && record.orientation == pTxt->mOrientation && record.style == pTxt->mStyle &&
        record.quality == pTxt->mQuality && record.name == pTxt->mFont)
      return pTxt->mCached = record.font;
  }
  LICE_CachedFont* font = createFont(*pTxt);
  if (font) cache.records.push_back({pTxt->mSize, pTxt->mOrientation, pTxt->mStyle, pTxt->mQuality, pTxt->mFont, font});
  return pTxt->mCached = font;
}
