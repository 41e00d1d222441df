#pragma once
// A raster bitmap: a cairo image surface in premultiplied ARGB32. Its size is
// counted in logical pixels; the surface holds scale device pixels per
// logical pixel and carries that as its device scale, so drawing into it or
// from it always works in logical pixels.

typedef struct _cairo_surface cairo_surface_t;

class LICE_IBitmap
{
public:
  // A transparent bitmap; the device size is the logical size times the
  // scale, rounded up. A failed allocation leaves a bitmap that IsValid() denies.
  LICE_IBitmap(int width, int height, double scale = 1.0);
  // Takes over a surface already filled (a decoded image), whose device size
  // is its pixel size.
  LICE_IBitmap(cairo_surface_t* surface, double scale);
  ~LICE_IBitmap();
  LICE_IBitmap(const LICE_IBitmap&) = delete;
  LICE_IBitmap& operator=(const LICE_IBitmap&) = delete;

  bool IsValid() const;
  int GetWidth() const { return mWidth; }
  int GetHeight() const { return mHeight; }
  double GetScale() const { return mScale; }
  int GetDeviceWidth() const;
  int GetDeviceHeight() const;
  // Bytes from one row of device pixels to the next.
  int GetRowSpan() const;
  // Device pixels, 0xAARRGGBB premultiplied in native byte order. Call
  // Flush() after drawing through cairo and MarkDirty() after writing here.
  unsigned int* GetBits();
  void Flush();
  void MarkDirty();
  cairo_surface_t* GetSurface() const { return mSurface; }

  // The same image at a higher resolution, drawn instead of this one on
  // surfaces of a higher scale. Owned; set once.
  void SetHighResolution(LICE_IBitmap* bitmap);
  LICE_IBitmap* GetHighResolution() const { return mHighResolution; }
  // The variant to draw on a surface of the given scale.
  LICE_IBitmap* ForScale(double scale) { return scale > mScale && mHighResolution ? mHighResolution : this; }

private:
  cairo_surface_t* mSurface;
  int mWidth;
  int mHeight;
  double mScale;
  LICE_IBitmap* mHighResolution = nullptr;
};
