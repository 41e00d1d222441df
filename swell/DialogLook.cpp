#include "DialogLook.h"

#include <algorithm>
#include <numbers>

namespace dialogLook
{
namespace
{
constexpr double kMinButtonWidth = 80;
constexpr double kButtonGap = 8;
constexpr double kCornerRadius = 4;

void roundedRectangle(cairo_t* cr, const DialogRect& rect, double radius)
{
  cairo_new_sub_path(cr);
  cairo_arc(cr, rect.x + rect.w - radius, rect.y + radius, radius, -std::numbers::pi / 2, 0);
  cairo_arc(cr, rect.x + rect.w - radius, rect.y + rect.h - radius, radius, 0, std::numbers::pi / 2);
  cairo_arc(cr, rect.x + radius, rect.y + rect.h - radius, radius, std::numbers::pi / 2, std::numbers::pi);
  cairo_arc(cr, rect.x + radius, rect.y + radius, radius, std::numbers::pi, 3 * std::numbers::pi / 2);
  cairo_close_path(cr);
}

size_t utf8CharacterLength(const std::string& text, size_t at)
{
  size_t length = 1;
  while (at + length < text.size() && (static_cast<unsigned char>(text[at + length]) & 0xc0) == 0x80) ++length;
  return length;
}

// Paths break best after a '/' or a '-'.
std::vector<std::string> segmentsOf(const std::string& word)
{
  std::vector<std::string> segments(1);
  for (char c : word)
  {
    segments.back() += c;
    if (c == '/' || c == '-') segments.emplace_back();
  }
  if (segments.back().empty()) segments.pop_back();
  return segments;
}

void placeSegment(cairo_t* cr, const std::string& segment, double maxWidth, std::vector<std::string>& lines)
{
  if (textWidth(cr, lines.back() + segment) <= maxWidth)
  {
    lines.back() += segment;
    return;
  }
  if (!lines.back().empty()) lines.emplace_back();
  for (size_t at = 0; at < segment.size();)
  {
    const size_t length = utf8CharacterLength(segment, at);
    const std::string piece = segment.substr(at, length);
    if (!lines.back().empty() && textWidth(cr, lines.back() + piece) > maxWidth) lines.emplace_back();
    lines.back() += piece;
    at += length;
  }
}

// Appends `word` to the lines, starting a new line when it does not fit.
void placeWord(cairo_t* cr, const std::string& word, double maxWidth, std::vector<std::string>& lines)
{
  const std::string joined = lines.back().empty() ? word : lines.back() + " " + word;
  if (textWidth(cr, joined) <= maxWidth)
  {
    lines.back() = joined;
    return;
  }
  if (!lines.back().empty()) lines.emplace_back();
  for (const std::string& segment : segmentsOf(word)) placeSegment(cr, segment, maxWidth, lines);
}
} // namespace

void fillBackground(cairo_t* cr, double width, double height)
{
  cairo_set_source_rgb(cr, 0.94, 0.94, 0.94);
  cairo_rectangle(cr, 0, 0, width, height);
  cairo_fill(cr);
}

// Resolved once per process: each lookup goes through fontconfig.
void setFont(cairo_t* cr, double size, bool bold, double scale)
{
  static cairo_font_face_t* const kRegular =
      cairo_toy_font_face_create("DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  static cairo_font_face_t* const kBold =
      cairo_toy_font_face_create("DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_face(cr, bold ? kBold : kRegular);
  cairo_set_font_size(cr, size * scale);
}

double textWidth(cairo_t* cr, const std::string& text)
{
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  return extents.x_advance;
}

void setTextColour(cairo_t* cr, bool onAccent)
{
  if (onAccent)
    cairo_set_source_rgb(cr, 1, 1, 1);
  else
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
}

void setAccentColour(cairo_t* cr)
{
  cairo_set_source_rgb(cr, 0.16, 0.42, 0.78);
}

void showText(cairo_t* cr, double x, double baseline, const std::string& text)
{
  cairo_move_to(cr, x, baseline);
  cairo_show_text(cr, text.c_str());
}

std::vector<std::string> wrapText(cairo_t* cr, const std::string& text, double maxWidth)
{
  std::vector<std::string> lines(1);
  std::string word;
  for (char c : text + '\n')
  {
    if (c != ' ' && c != '\n')
    {
      word += c;
      continue;
    }
    if (!word.empty()) placeWord(cr, word, maxWidth, lines);
    word.clear();
    if (c == '\n') lines.emplace_back();
  }
  lines.pop_back();
  return lines;
}

void drawFocusRing(cairo_t* cr, const DialogRect& rect, double scale)
{
  const double inset = 2 * scale;
  roundedRectangle(cr, {rect.x - inset, rect.y - inset, rect.w + 2 * inset, rect.h + 2 * inset}, kCornerRadius * scale);
  setAccentColour(cr);
  cairo_set_line_width(cr, 2 * scale);
  cairo_stroke(cr);
}

cairo_t* createMeasuringContext()
{
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  cairo_t* cr = cairo_create(surface);
  cairo_surface_destroy(surface);
  return cr;
}

void drawButton(cairo_t* cr, const DialogRect& rect, const std::string& label, bool isDefault, bool focused,
                double scale)
{
  roundedRectangle(cr, rect, kCornerRadius * scale);
  if (isDefault)
    setAccentColour(cr);
  else
    cairo_set_source_rgb(cr, 0.99, 0.99, 0.99);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
  cairo_set_line_width(cr, scale);
  cairo_stroke(cr);
  if (focused) drawFocusRing(cr, rect, scale);
  setFont(cr, kTextSize, false, scale);
  setTextColour(cr, isDefault);
  cairo_font_extents_t font;
  cairo_font_extents(cr, &font);
  const double baseline = rect.y + (rect.h + font.ascent - font.descent) / 2;
  showText(cr, rect.x + (rect.w - textWidth(cr, label)) / 2, baseline, label);
}
} // namespace dialogLook

DialogButtonRow::DialogButtonRow(std::vector<std::string> labels, double scale)
    : mLabels(std::move(labels)), mRects(mLabels.size()), mScale(scale)
{
}

double DialogButtonRow::buttonWidth(cairo_t* cr, const std::string& label) const
{
  dialogLook::setFont(cr, dialogLook::kTextSize, false, mScale);
  return std::max(dialogLook::kMinButtonWidth * mScale, dialogLook::textWidth(cr, label) + 24 * mScale);
}

double DialogButtonRow::width(cairo_t* cr) const
{
  double total = 0;
  for (const std::string& label : mLabels) total += buttonWidth(cr, label) + dialogLook::kButtonGap * mScale;
  return total - dialogLook::kButtonGap * mScale;
}

void DialogButtonRow::layout(cairo_t* cr, double right, double top)
{
  double x = right - width(cr);
  for (size_t i = 0; i < mLabels.size(); ++i)
  {
    const double w = buttonWidth(cr, mLabels[i]);
    mRects[i] = {x, top, w, dialogLook::kButtonHeight * mScale};
    x += w + dialogLook::kButtonGap * mScale;
  }
}

void DialogButtonRow::draw(cairo_t* cr) const
{
  for (size_t i = 0; i < mLabels.size(); ++i)
    dialogLook::drawButton(cr, mRects[i], mLabels[i], static_cast<int>(i) == mDefault, static_cast<int>(i) == mFocus,
                           mScale);
}

int DialogButtonRow::hit(double x, double y) const
{
  for (size_t i = 0; i < mRects.size(); ++i)
    if (mRects[i].contains(x, y)) return static_cast<int>(i);
  return -1;
}
