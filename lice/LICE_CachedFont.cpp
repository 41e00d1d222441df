#include "LICE_CachedFont.h"

#include <cairo.h>
#include <cmath>
#include <numbers>

namespace
{
cairo_antialias_t antialiasFor(LICE_CachedFont::EQuality quality)
{
  switch (quality)
  {
  case LICE_CachedFont::kQualityNone:
    return CAIRO_ANTIALIAS_NONE;
  case LICE_CachedFont::kQualityAntiAliased:
    return CAIRO_ANTIALIAS_GRAY;
  default:
    return CAIRO_ANTIALIAS_DEFAULT;
  }
}

cairo_scaled_font_t* makeScaledFont(cairo_font_face_t* face, int height, cairo_antialias_t antialias)
{
  cairo_matrix_t fontMatrix, identity;
  cairo_matrix_init_scale(&fontMatrix, height, height);
  cairo_matrix_init_identity(&identity);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, antialias);
  // Metrics must not depend on the screen's scale, or layouts would shift with it.
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_scaled_font_t* scaled = cairo_scaled_font_create(face, &fontMatrix, &identity, options);
  cairo_font_options_destroy(options);
  return scaled;
}
} // namespace

LICE_CachedFont* LICE_CachedFont::Create(const char* family, int height, bool bold, bool italic,
                                         int orientationDegrees, EQuality quality)
{
  // Resolved by fontconfig: "Monaco", "Arial" or "Helvetica" become the
  // closest family the machine has.
  cairo_font_face_t* face = cairo_toy_font_face_create(family ? family : "", italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                                                       bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_scaled_font_t* upright = makeScaledFont(face, height, antialiasFor(quality));
  if (cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS || cairo_scaled_font_status(upright) != CAIRO_STATUS_SUCCESS)
  {
    cairo_scaled_font_destroy(upright);
    cairo_font_face_destroy(face);
    return nullptr;
  }
  return new LICE_CachedFont(face, upright, height, orientationDegrees, quality);
}

LICE_CachedFont::LICE_CachedFont(cairo_font_face_t* face, cairo_scaled_font_t* upright, int height, int orientation,
                                 EQuality quality)
    : mFace(face), mUpright(upright), mHeight(height), mOrientation(orientation), mQuality(quality)
{
  cairo_font_extents_t extents;
  cairo_scaled_font_extents(mUpright, &extents);
  mAscent = int(std::ceil(extents.ascent));
  mLineHeight = int(std::ceil(extents.ascent + extents.descent));
}

LICE_CachedFont::~LICE_CachedFont()
{
  cairo_scaled_font_destroy(mUpright);
  cairo_font_face_destroy(mFace);
}

int LICE_CachedFont::MeasureWidth(const char* str) const
{
  cairo_text_extents_t extents;
  cairo_scaled_font_text_extents(mUpright, str, &extents);
  return int(std::ceil(extents.x_advance));
}

void LICE_CachedFont::Apply(cairo_t* cr) const
{
  cairo_set_font_face(cr, mFace);
  cairo_matrix_t fontMatrix;
  cairo_matrix_init_scale(&fontMatrix, mHeight, mHeight);
  // Orientation turns counter-clockwise, as on screen with y pointing down.
  cairo_matrix_rotate(&fontMatrix, -mOrientation * std::numbers::pi / 180.0);
  cairo_set_font_matrix(cr, &fontMatrix);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, antialiasFor(mQuality));
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}
