#pragma once
// A font resolved through fontconfig and kept ready for cairo: the face, its
// pixel size, weight, slant, rotation and antialiasing.

typedef struct _cairo cairo_t;
typedef struct _cairo_font_face cairo_font_face_t;
typedef struct _cairo_scaled_font cairo_scaled_font_t;

class LICE_CachedFont
{
public:
  enum EQuality
  {
    kQualityDefault,
    kQualityNone,
    kQualityAntiAliased
  };

  // Null when no face can be made for the name (fontconfig falls back to a
  // similar family, so that happens only when the machine has no fonts).
  static LICE_CachedFont* Create(const char* family, int height, bool bold, bool italic, int orientationDegrees,
                                 EQuality quality);
  ~LICE_CachedFont();
  LICE_CachedFont(const LICE_CachedFont&) = delete;
  LICE_CachedFont& operator=(const LICE_CachedFont&) = delete;

  // Ascent plus descent, rounded up.
  int GetLineHeight() const { return mLineHeight; }
  int GetAscent() const { return mAscent; }
  // Advance width of a string, rounded up.
  int MeasureWidth(const char* str) const;
  // Sets face, size, rotation and antialiasing on the context; the caller
  // saves and restores it around.
  void Apply(cairo_t* cr) const;
  int GetOrientation() const { return mOrientation; }

private:
  LICE_CachedFont(cairo_font_face_t* face, cairo_scaled_font_t* upright, int height, int orientation, EQuality quality);

  cairo_font_face_t* mFace;
  cairo_scaled_font_t* mUpright; // for measuring
  int mHeight;
  int mOrientation;
  EQuality mQuality;
  int mLineHeight;
  int mAscent;
};
