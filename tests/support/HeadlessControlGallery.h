#pragma once
// The control gallery on a headless graphics context, drawn once whole.

#include "ControlGallery.h"
#include "TestGraphics.h"

#include <string>

struct HeadlessControlGallery
{
  // bitmapFolder holds the files of WriteControlGalleryBitmaps.
  HeadlessControlGallery(const std::string& bitmapFolder, double scale)
      : mGraphics(new TestGraphics(&mPlug, kControlGalleryWidth, kControlGalleryHeight, 0, bitmapFolder))
  {
    mGraphics->SetScale(scale);
    AttachControlGallery(*mGraphics, "");
    mPlug.AttachGraphics(mGraphics);
    drawAll();
  }

  void drawAll()
  {
    IRECT all(0, 0, kControlGalleryWidth, kControlGalleryHeight);
    mGraphics->Draw(&all);
  }

  ControlGalleryPlug mPlug;
  TestGraphics* mGraphics; // owned by the plug-in
};
