#pragma once
// A headless editor for control tests: a plug-in with its graphics context on
// a blue background, and solid-coloured frame strips to draw with.

#include "LICE_IBitmap.h"
#include "PngFiles.h"
#include "TestGraphics.h"
#include "TestPlug.h"

#include <memory>
#include <vector>

struct ControlTestEditor
{
  ControlTestEditor(int w, int h) : mGraphics(new TestGraphics(&mPlug, w, h))
  {
    mPlug.AttachGraphics(mGraphics);
    mGraphics->AttachPanelBackground(COLOR_BLUE);
  }

  template <class Control> Control* attach(Control* pControl)
  {
    mGraphics->AttachControl(pControl);
    return pControl;
  }

  void drawAll()
  {
    IRECT all(0, 0, mGraphics->Width(), mGraphics->Height());
    mGraphics->Draw(&all);
  }

  // Vertical frames of w × h, frame i filled with colours[i].
  IBitmap strip(int w, int h, const std::vector<IColor>& colours)
  {
    const int n = static_cast<int>(colours.size());
    auto& bitmap = mBitmaps.emplace_back(std::make_unique<LICE_IBitmap>(w, h * n));
    for (int i = 0; i < n; ++i)
    {
      const IColor& c = colours[i];
      paintRect(bitmap.get(), 0, i * h, w, h, unsigned(c.A) << 24 | c.R << 16 | c.G << 8 | c.B);
    }
    return IBitmap(bitmap.get(), w, h * n, n);
  }

  TestPlug mPlug{4};
  TestGraphics* mGraphics; // owned by the plug-in
  std::vector<std::unique_ptr<LICE_IBitmap>> mBitmaps;
};
