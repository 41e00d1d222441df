#pragma once
// The panel's background: sections framed and titled around their controls,
// every control captioned with its parameter's name, switch positions with
// their display texts where they fit, and the prints beneath controls that
// draw little themselves (text windows, the options button, unlit lamps).

#include "ArtCatalogue.h"
#include "PanelLayout.h"

class IPlugBase;

// plug supplies the parameter table and must outlive the image.
ImageSpec backgroundImage(const IPlugBase& plug);
