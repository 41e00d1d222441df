#pragma once
// A popup menu in override-redirect windows, one per open level: mouse and
// keyboard (arrows, Return, Escape), check marks, disabled and title items,
// separators, submenus; kept on screen. The caller pumps the connection's
// events until Done(). Editor UI thread only.

#include "X11Canvas.h"
#include "X11Connection.h"

#include <cairo.h>

#include <memory>
#include <string>
#include <vector>

struct X11Menu;

struct X11MenuItem
{
  std::string text; // with any numbering prefix already applied
  bool disabled = false, title = false, checked = false, separator = false;
  std::unique_ptr<X11Menu> submenu;
};

struct X11Menu
{
  std::vector<X11MenuItem> items;
  const void* source = nullptr; // the caller's menu this one was built from
};

struct X11MenuChoice
{
  const X11Menu* menu = nullptr;
  int index = -1;
};

class X11PopupMenu : public X11EventTarget
{
public:
  X11PopupMenu(X11Connection& connection, double scale);
  ~X11PopupMenu();
  X11PopupMenu(const X11PopupMenu&) = delete;
  X11PopupMenu& operator=(const X11PopupMenu&) = delete;

  // Shows the menu with its top-left corner at the root position (moved to stay on screen).
  void Open(const X11Menu& menu, int rootX, int rootY);
  bool Done() const { return mLevels.empty(); }
  X11MenuChoice Choice() const { return mChoice; }
  void OnX11Event(const X11Event& event) override;

private:
  struct Level
  {
    const X11Menu* menu;
    Window window;
    std::unique_ptr<X11Canvas> canvas;
    int x, y, width, height;
    int hover = -1;
  };

  void openLevel(const X11Menu& menu, int rootX, int rootY, int flipLeftOf);
  void closeLevelsAbove(size_t keep);
  void draw(const Level& level) const;
  int itemTop(const X11Menu& menu, int index) const;
  int itemHeight(const X11MenuItem& item) const;
  int menuWidth(const X11Menu& menu) const;
  int levelAt(int rootX, int rootY) const;
  int itemAt(const Level& level, int rootY) const;
  bool selectable(const X11MenuItem& item) const { return !item.separator && !item.disabled; }
  void setHover(size_t levelIndex, int item);
  void moveHover(int step);
  void activate(size_t levelIndex, bool fromKeyboard);
  void onPointer(const X11Event& event);
  void onKey(const X11Event& event);
  void finish(X11MenuChoice choice);

  X11Connection& mConnection;
  double mScale;
  std::vector<Level> mLevels;
  X11MenuChoice mChoice;
  cairo_surface_t* mMeasureSurface;
  cairo_t* mMeasure; // sizes text before a level's window exists
};
