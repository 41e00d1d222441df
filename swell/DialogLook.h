#pragma once
// The plain look our dialogs share, and the row of push buttons they end with.
// Sizes are in unscaled pixels; every function takes the scale factor.
#include <cairo.h>

#include <string>
#include <vector>

struct DialogRect
{
  double x = 0, y = 0, w = 0, h = 0;
  bool contains(double px, double py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

namespace dialogLook
{
constexpr double kPadding = 16;
constexpr double kTextSize = 13;
constexpr double kHeaderSize = 15;
constexpr double kButtonHeight = 28;

void fillBackground(cairo_t* cr, double width, double height);
void setFont(cairo_t* cr, double size, bool bold, double scale);
double textWidth(cairo_t* cr, const std::string& text);
// Text colour; `strong` for the selection and default button.
void setTextColour(cairo_t* cr, bool onAccent);
void setAccentColour(cairo_t* cr);
void showText(cairo_t* cr, double x, double baseline, const std::string& text);
// Breaks at spaces and newlines; a word wider than the line (a long path) is
// broken after a '/' or '-', else between characters.
std::vector<std::string> wrapText(cairo_t* cr, const std::string& text, double maxWidth);
void drawFocusRing(cairo_t* cr, const DialogRect& rect, double scale);
// A context for measuring text before a window exists.
cairo_t* createMeasuringContext();
} // namespace dialogLook

// Buttons right-aligned at the foot of a dialog; the default one is filled with
// the accent colour, the focused one has a ring.
class DialogButtonRow
{
public:
  DialogButtonRow(std::vector<std::string> labels, double scale);
  // Right edge and top of the row, in scaled pixels.
  void layout(cairo_t* cr, double right, double top);
  double width(cairo_t* cr) const;
  void draw(cairo_t* cr) const;
  // The index of the button under the point, or -1.
  int hit(double x, double y) const;

  int mFocus = 0; // -1 when the focus is elsewhere in the dialog
  int mDefault = 0;

private:
  double buttonWidth(cairo_t* cr, const std::string& label) const;

  std::vector<std::string> mLabels;
  std::vector<DialogRect> mRects;
  double mScale;
};
