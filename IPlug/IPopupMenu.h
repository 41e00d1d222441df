#pragma once
// The popup menu model: items with flags and optional submenus. The window
// layer shows it and writes back the chosen item's index.

#include "Containers.h"

class IPopupMenu;

class IPopupMenuItem
{
public:
  enum Flags
  {
    kNoFlags = 0,
    kDisabled = 1,
    kTitle = 2,
    kChecked = 4,
    kSeparator = 8
  };

  // The submenu is not owned: whoever builds the menu keeps it alive.
  explicit IPopupMenuItem(const char* text, int flags = kNoFlags, IPopupMenu* submenu = nullptr)
      : mText(text ? text : ""), mSubmenu(submenu), mFlags(flags)
  {
  }

  const char* GetText() const { return mText.Get(); }
  void SetText(const char* text) { mText.Set(text); }
  IPopupMenu* GetSubmenu() const { return mSubmenu; }
  int GetFlags() const { return mFlags; }
  bool GetEnabled() const { return !(mFlags & kDisabled); }
  bool GetIsTitle() const { return mFlags & kTitle; }
  bool GetChecked() const { return mFlags & kChecked; }
  bool GetIsSeparator() const { return mFlags & kSeparator; }

  void SetEnabled(bool enabled) { setFlag(kDisabled, !enabled); }
  void SetTitle(bool title) { setFlag(kTitle, title); }
  void SetChecked(bool checked) { setFlag(kChecked, checked); }

private:
  void setFlag(int flag, bool on) { mFlags = on ? (mFlags | flag) : (mFlags & ~flag); }

  WDL_String mText;
  IPopupMenu* mSubmenu;
  int mFlags;
};

class IPopupMenu
{
public:
  IPopupMenu() = default;
  ~IPopupMenu() { mItems.Empty(true); }
  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;

  // Takes ownership; index -1 appends, any other is clamped to 0..count.
  IPopupMenuItem* AddItem(IPopupMenuItem* item, int index = -1);
  IPopupMenuItem* AddItem(const char* text, int index = -1, int flags = IPopupMenuItem::kNoFlags);
  IPopupMenuItem* AddItem(const char* text, int index, IPopupMenu* submenu);
  IPopupMenuItem* AddItem(const char* text, IPopupMenu* submenu) { return AddItem(text, -1, submenu); }
  IPopupMenuItem* AddSeparator(int index = -1);

  // How the window layer numbers the items: 0 not, 1 "1: ", 2 "01: ", 3 "001: ".
  // Other values are ignored.
  void SetPrefix(int prefix);
  int GetPrefix() const { return mPrefix; }

  int GetChosenItemIdx() const { return mChosenItemIdx; }
  void SetChosenItemIdx(int index) { mChosenItemIdx = index; }

  int GetNItems() const { return mItems.GetSize(); }
  IPopupMenuItem* GetItem(int index) const { return mItems.Get(index); }
  // The empty text outside the list.
  const char* GetItemText(int index) const;
  bool CheckItem(int index, bool checked);
  void CheckItemAlone(int index);
  bool IsItemChecked(int index) const;

private:
  int mPrefix = 0;
  int mChosenItemIdx = -1;
  WDL_PtrList<IPopupMenuItem> mItems;
};
