#pragma once
// A test layout with a labelled row for every control class, for looking at
// the control library headless (a PNG) or in a real window.
//
// Use: make a ControlGalleryPlug and a graphics context of
// kControlGalleryWidth × kControlGalleryHeight for it, whose resources are the
// panel's artwork, AttachControlGallery(graphics), then attach the
// graphics to the plug.

#include "HostlessPlug.h"

class IGraphics;

constexpr int kControlGalleryWidth = 800;
constexpr int kControlGalleryHeight = 612;

enum EControlGalleryParam
{
  kGalleryCutoff = 0, // double 20..20000 Hz
  kGalleryWave,       // enum "Triangle", "Sawtooth", "Pulse"
  kGalleryLamp,       // bool "Off", "On"
  kGalleryLevel,      // double 0..100 %
  kNGalleryParams
};

// A plug-in with the parameters the gallery binds. Like a host that listens
// to automation it echoes every change back into the editor, so controls
// sharing a parameter follow each other; other host calls go nowhere.
class ControlGalleryPlug : public HostlessPlug
{
public:
  ControlGalleryPlug();

  void InformHostOfParamChange(int paramIdx, double normalizedValue) override;
};

// Attaches the background and every row to graphics, whose plug-in must be a
// ControlGalleryPlug.
void AttachControlGallery(IGraphics& graphics);
