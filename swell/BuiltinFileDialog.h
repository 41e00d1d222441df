#pragma once
// Our own file dialog, for desktops that offer none: the start folder's list
// (folders first, files of the wanted extensions), a path field that takes a
// typed name or path, and Open/Save and Cancel. Keyboard: letters go to the
// field, arrows move in the list, Return opens a folder or chooses, Tab moves
// the focus, Escape cancels.
#include "DialogLook.h"
#include "FileChooser.h"
#include "X11DialogWindow.h"

#include <string>
#include <vector>

class BuiltinFileDialog : public X11DialogContent
{
public:
  explicit BuiltinFileDialog(const FileChooserRequest& request);

  int width() const { return static_cast<int>(kWidth * mScale); }
  int height() const { return static_cast<int>(kHeight * mScale); }
  // The chosen path, "" when cancelled.
  const std::string& result() const { return mResult; }

  void draw(cairo_t* cr, double width, double height) override;
  void keyPressed(const DialogKeyPress& press) override;
  void clicked(double x, double y, bool doubleClick) override;
  void closeRequested() override { mDone = true; }
  bool finished() const override { return mDone; }

private:
  struct Entry
  {
    std::string name;
    bool isFolder;
  };
  enum class Focus
  {
    kField,
    kList,
    kButtons
  };

  void enterFolder(const std::string& folder);
  void select(int index);
  void moveFocus(int step);
  void accept();
  void acceptTypedPath();
  void activateEntry(const Entry& entry);
  void finish(const std::string& path);
  void finishSave(const std::string& typedPath);
  std::string resolveTyped() const;
  DialogRect fieldRect() const;
  DialogRect listRect() const;
  void drawField(cairo_t* cr) const;
  void drawList(cairo_t* cr) const;

  static constexpr int kWidth = 560;
  static constexpr int kHeight = 402;

  bool mSave;
  unsigned long mOwnerWindow;
  std::vector<std::string> mExtensions;
  double mScale;
  std::string mFolder;
  std::vector<Entry> mEntries;
  int mSelected = -1;
  int mFirstVisible = 0;
  std::string mField;
  Focus mFocus;
  DialogButtonRow mButtons;
  std::string mResult;
  bool mDone = false;
};
