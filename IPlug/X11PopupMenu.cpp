#include "X11PopupMenu.h"

#include <X11/keysym.h>

#include <algorithm>
#include <cmath>

namespace
{
// Logical pixels; multiplied by the scale factor.
constexpr int kItemHeight = 20;
constexpr int kSeparatorHeight = 9;
constexpr int kPadding = 4;
constexpr int kCheckColumn = 22;
constexpr int kArrowColumn = 20;
constexpr int kTitleIndent = 12;
constexpr double kFontSize = 13.0;
constexpr const char* kFontFamily = "sans-serif";

void setFont(cairo_t* cr, double scale)
{
  cairo_select_font_face(cr, kFontFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, kFontSize * scale);
}

void setColor(cairo_t* cr, unsigned rgb)
{
  cairo_set_source_rgb(cr, ((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0);
}
} // namespace

X11PopupMenu::X11PopupMenu(X11Connection& connection, double scale)
    : mConnection(connection), mScale(scale), mMeasureSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1)),
      mMeasure(cairo_create(mMeasureSurface))
{
  setFont(mMeasure, mScale);
}

X11PopupMenu::~X11PopupMenu()
{
  closeLevelsAbove(0);
  cairo_destroy(mMeasure);
  cairo_surface_destroy(mMeasureSurface);
}

int X11PopupMenu::itemHeight(const X11MenuItem& item) const
{
  return int(std::lround((item.separator ? kSeparatorHeight : kItemHeight) * mScale));
}

int X11PopupMenu::itemTop(const X11Menu& menu, int index) const
{
  int top = int(std::lround(kPadding * mScale));
  for (int i = 0; i < index; ++i)
    top += itemHeight(menu.items[size_t(i)]);
  return top;
}

int X11PopupMenu::menuWidth(const X11Menu& menu) const
{
  double widest = 0.0;
  for (const X11MenuItem& item : menu.items)
  {
    cairo_text_extents_t extents;
    cairo_text_extents(mMeasure, item.text.c_str(), &extents);
    widest = std::max(widest, extents.x_advance + (item.title ? kTitleIndent * mScale : 0.0));
  }
  return int(std::ceil(widest + (kCheckColumn + kArrowColumn) * mScale));
}

void X11PopupMenu::Open(const X11Menu& menu, int rootX, int rootY)
{
  closeLevelsAbove(0);
  mChoice = {};
  openLevel(menu, rootX, rootY, rootX);
  Display* display = mConnection.GetDisplay();
  const Window grabWindow = mLevels.front().window;
  XGrabPointer(display, grabWindow, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
               GrabModeAsync, None, None, CurrentTime);
  XGrabKeyboard(display, grabWindow, False, GrabModeAsync, GrabModeAsync, CurrentTime);
}

void X11PopupMenu::openLevel(const X11Menu& menu, int rootX, int rootY, int flipLeftOf)
{
  const int width = menuWidth(menu);
  const int height = itemTop(menu, int(menu.items.size())) + int(std::lround(kPadding * mScale));
  const int screenWidth = mConnection.ScreenWidth(), screenHeight = mConnection.ScreenHeight();
  // Near the right edge a submenu opens to the left of its parent, the top level moves in.
  int x = rootX + width <= screenWidth ? rootX : flipLeftOf - width;
  x = std::clamp(x, 0, std::max(screenWidth - width, 0));
  const int y = std::clamp(rootY, 0, std::max(screenHeight - height, 0));

  const Window window = mConnection.CreateWindow(mConnection.Root(), x, y, width, height,
                                                 ExposureMask | ButtonPressMask | ButtonReleaseMask |
                                                     PointerMotionMask | KeyPressMask,
                                                 true);
  mLevels.push_back({&menu, window, std::make_unique<X11Canvas>(mConnection, window, width, height), x, y, width,
                     height});
  mConnection.Listen(window, this);
  XMapRaised(mConnection.GetDisplay(), window);
}

void X11PopupMenu::closeLevelsAbove(size_t keep)
{
  while (mLevels.size() > keep)
  {
    const Level& level = mLevels.back();
    mConnection.Forget(level.window);
    XDestroyWindow(mConnection.GetDisplay(), level.window);
    mLevels.pop_back();
  }
}

void X11PopupMenu::draw(const Level& level) const
{
  cairo_t* cr = level.canvas->Context();
  setFont(cr, mScale);
  setColor(cr, 0xf4f4f4);
  cairo_paint(cr);
  setColor(cr, 0x909090);
  cairo_set_line_width(cr, 1.0);
  cairo_rectangle(cr, 0.5, 0.5, level.width - 1.0, level.height - 1.0);
  cairo_stroke(cr);
  cairo_font_extents_t font;
  cairo_font_extents(cr, &font);
  const auto& items = level.menu->items;
  for (size_t i = 0; i < items.size(); ++i)
  {
    const X11MenuItem& item = items[i];
    const double top = itemTop(*level.menu, int(i)), height = itemHeight(item);
    if (item.separator)
    {
      setColor(cr, 0xc8c8c8);
      cairo_rectangle(cr, kPadding * mScale, top + std::floor(height / 2), level.width - 2 * kPadding * mScale,
                      std::max(1.0, std::floor(mScale)));
      cairo_fill(cr);
      continue;
    }
    const bool highlighted = int(i) == level.hover && selectable(item);
    if (highlighted)
    {
      setColor(cr, 0x3d6fd1);
      cairo_rectangle(cr, 1, top, level.width - 2, height);
      cairo_fill(cr);
    }
    setColor(cr, item.disabled ? 0x9a9a9a : highlighted ? 0xffffff : 0x202020);
    const double baseline = top + (height + font.ascent - font.descent) / 2;
    if (item.checked)
    {
      // A tick drawn as two strokes, so no font needs the check-mark glyph.
      cairo_set_line_width(cr, 1.6 * mScale);
      cairo_move_to(cr, 6 * mScale, top + height * 0.52);
      cairo_line_to(cr, 9.5 * mScale, top + height * 0.72);
      cairo_line_to(cr, 15 * mScale, top + height * 0.28);
      cairo_stroke(cr);
    }
    cairo_move_to(cr, (kCheckColumn + (item.title ? kTitleIndent : 0)) * mScale, baseline);
    cairo_show_text(cr, item.text.c_str());
    if (item.submenu)
    {
      const double right = level.width - 8 * mScale, middle = top + height / 2;
      cairo_move_to(cr, right - 5 * mScale, middle - 4 * mScale);
      cairo_line_to(cr, right, middle);
      cairo_line_to(cr, right - 5 * mScale, middle + 4 * mScale);
      cairo_close_path(cr);
      cairo_fill(cr);
    }
  }
  level.canvas->Show();
}

int X11PopupMenu::levelAt(int rootX, int rootY) const
{
  for (size_t i = mLevels.size(); i-- > 0;)
  {
    const Level& level = mLevels[i];
    if (rootX >= level.x && rootX < level.x + level.width && rootY >= level.y && rootY < level.y + level.height)
      return int(i);
  }
  return -1;
}

int X11PopupMenu::itemAt(const Level& level, int rootY) const
{
  const int y = rootY - level.y;
  const auto& items = level.menu->items;
  for (size_t i = 0; i < items.size(); ++i)
  {
    const int top = itemTop(*level.menu, int(i));
    if (y >= top && y < top + itemHeight(items[i])) return int(i);
  }
  return -1;
}

void X11PopupMenu::setHover(size_t levelIndex, int item)
{
  Level& level = mLevels[levelIndex];
  if (level.hover == item) return;
  closeLevelsAbove(levelIndex + 1);
  level.hover = item;
  draw(level);
}

void X11PopupMenu::moveHover(int step)
{
  Level& level = mLevels.back();
  const int count = int(level.menu->items.size());
  int item = level.hover;
  for (int tried = 0; tried < count; ++tried)
  {
    item = item < 0 ? (step > 0 ? 0 : count - 1) : (item + step + count) % count;
    if (selectable(level.menu->items[size_t(item)])) return setHover(mLevels.size() - 1, item);
  }
}

// A chosen item ends the menu; an item with a submenu opens it instead
// (from the keyboard with its first item highlighted).
void X11PopupMenu::activate(size_t levelIndex, bool fromKeyboard)
{
  const Level& level = mLevels[levelIndex];
  if (level.hover < 0) return;
  const X11MenuItem& item = level.menu->items[size_t(level.hover)];
  if (!selectable(item)) return;
  if (!item.submenu) return finish({level.menu, level.hover});
  if (mLevels.size() == levelIndex + 1)
  {
    const int top = level.y + itemTop(*level.menu, level.hover) - int(std::lround(kPadding * mScale));
    openLevel(*item.submenu, level.x + level.width - 2, top, level.x + 2);
  }
  if (fromKeyboard) moveHover(1);
}

void X11PopupMenu::finish(X11MenuChoice choice)
{
  mChoice = choice;
  Display* display = mConnection.GetDisplay();
  XUngrabPointer(display, CurrentTime);
  XUngrabKeyboard(display, CurrentTime);
  closeLevelsAbove(0);
}

void X11PopupMenu::onPointer(const X11Event& event)
{
  const int levelIndex = levelAt(event.rootX, event.rootY);
  if (levelIndex < 0)
  {
    if (event.kind == X11Event::kButtonDown) finish({});
    return;
  }
  const size_t index = size_t(levelIndex);
  setHover(index, itemAt(mLevels[index], event.rootY));
  if (event.kind == X11Event::kMotion && mLevels[index].hover >= 0 &&
      mLevels[index].menu->items[size_t(mLevels[index].hover)].submenu)
    activate(index, false);
  else if (event.kind == X11Event::kButtonUp)
    activate(index, false);
}

void X11PopupMenu::onKey(const X11Event& event)
{
  switch (event.keysym)
  {
  case XK_Up: return moveHover(-1);
  case XK_Down: return moveHover(1);
  case XK_Right: return activate(mLevels.size() - 1, true);
  case XK_Left:
    if (mLevels.size() > 1) closeLevelsAbove(mLevels.size() - 1);
    return;
  case XK_Return:
  case XK_KP_Enter: return activate(mLevels.size() - 1, true);
  case XK_Escape: return finish({});
  default: return;
  }
}

void X11PopupMenu::OnX11Event(const X11Event& event)
{
  if (Done()) return;
  switch (event.kind)
  {
  case X11Event::kExpose:
    for (const Level& level : mLevels)
      if (level.window == event.window) draw(level);
    return;
  case X11Event::kButtonDown:
  case X11Event::kButtonUp:
  case X11Event::kMotion: return onPointer(event);
  case X11Event::kKeyDown: return onKey(event);
  default: return;
  }
}
