#pragma once
// Every image of the editor: file stem, frame count and frame size in
// logical pixels. Frame strips run downwards.

#include "ControlArt.h"

#include <string>
#include <vector>

struct ImageSpec
{
  const char* stem; // written as <stem>.png and <stem>@2x.png
  int frames;
  int width, height; // one frame at scale 1
  FramePainter paint;
  // Rotary selectors keep their caption right beneath them, clear of the
  // lamps under them; everything else lines its caption up with the
  // knobs' captions of its row.
  bool captionHugs = false;
};

// The images of the controls; the background is added by the caller, who
// knows the layout.
std::vector<ImageSpec> controlImages();
// Null when no image has that stem.
const ImageSpec* findControlImage(const std::string& stem);

// The whole strip at the given scale; the caller destroys the surface.
cairo_surface_t* renderStrip(const ImageSpec& image, int scale);
// False when the file could not be written.
bool writeStrip(const ImageSpec& image, const std::string& folder);
