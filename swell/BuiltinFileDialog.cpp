#include "BuiltinFileDialog.h"

#include "FileChooserRoutes.h"
#include "X11MessageBox.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

namespace
{
constexpr double kRowHeight = 22;
constexpr double kFieldTop = 40;
constexpr double kFieldHeight = 28;
constexpr double kLabelWidth = 72;
constexpr double kListTop = 78;
constexpr int kListRows = 12;

bool isFolder(const std::string& path)
{
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool isFile(const std::string& path)
{
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string joinPath(const std::string& folder, const std::string& name)
{
  return folder == "/" ? "/" + name : folder + "/" + name;
}

std::string parentOf(const std::string& path)
{
  const size_t slash = path.rfind('/');
  return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

std::string normalised(const std::string& path)
{
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

void eraseLastCharacter(std::string& text)
{
  while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xc0) == 0x80) text.pop_back();
  if (!text.empty()) text.pop_back();
}

// Keeps the end of a long path, which says most about where one is.
std::string fitFromLeft(cairo_t* cr, std::string text, double maxWidth)
{
  if (dialogLook::textWidth(cr, text) <= maxWidth) return text;
  while (!text.empty() && dialogLook::textWidth(cr, "…" + text) > maxWidth)
  {
    size_t length = 1;
    while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xc0) == 0x80) ++length;
    text.erase(0, length);
  }
  return "…" + text;
}

void drawBox(cairo_t* cr, const DialogRect& rect, bool focused, double scale)
{
  cairo_rectangle(cr, rect.x, rect.y, rect.w, rect.h);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
  cairo_set_line_width(cr, scale);
  cairo_stroke(cr);
  if (focused) dialogLook::drawFocusRing(cr, rect, scale);
}

double baselineIn(cairo_t* cr, double top, double height)
{
  cairo_font_extents_t font;
  cairo_font_extents(cr, &font);
  return top + (height + font.ascent - font.descent) / 2;
}
} // namespace

BuiltinFileDialog::BuiltinFileDialog(const FileChooserRequest& request)
    : mSave(request.save), mOwnerWindow(request.ownerWindow), mExtensions(splitExtensions(request.extensions)), mScale(request.scale > 0 ? request.scale : 1),
      mField(request.save ? request.proposedName : ""), mFocus(request.save ? Focus::kField : Focus::kList),
      mButtons({request.save ? "Save" : "Open", "Cancel"}, mScale)
{
  mButtons.mFocus = -1;
  enterFolder(isFolder(request.folder) ? normalised(request.folder) : normalised(getenv("HOME") ? getenv("HOME") : "/"));
}

void BuiltinFileDialog::enterFolder(const std::string& folder)
{
  mFolder = folder;
  mEntries.clear();
  if (folder != "/") mEntries.push_back({"..", true});
  std::vector<Entry> folders, files;
  if (DIR* directory = opendir(folder.c_str()))
  {
    while (const dirent* item = readdir(directory))
    {
      const std::string name = item->d_name;
      if (name[0] == '.') continue;
      const std::string path = joinPath(folder, name);
      if (isFolder(path))
        folders.push_back({name, true});
      else if (isFile(path) && hasOneOfExtensions(name, mExtensions))
        files.push_back({name, false});
    }
    closedir(directory);
  }
  const auto byName = [](const Entry& a, const Entry& b) { return strcasecmp(a.name.c_str(), b.name.c_str()) < 0; };
  std::sort(folders.begin(), folders.end(), byName);
  std::sort(files.begin(), files.end(), byName);
  mEntries.insert(mEntries.end(), folders.begin(), folders.end());
  mEntries.insert(mEntries.end(), files.begin(), files.end());
  mFirstVisible = 0;
  mSelected = mEntries.empty() ? -1 : 0;
}

void BuiltinFileDialog::select(int index)
{
  if (mEntries.empty()) return;
  mSelected = std::clamp(index, 0, static_cast<int>(mEntries.size()) - 1);
  mFirstVisible = std::clamp(mFirstVisible, mSelected - kListRows + 1, mSelected);
  if (!mEntries[mSelected].isFolder) mField = mEntries[mSelected].name;
}

void BuiltinFileDialog::moveFocus(int step)
{
  constexpr int kStops = 4; // field, list, first button, second button
  int stop = mFocus == Focus::kField ? 0 : mFocus == Focus::kList ? 1 : 2 + mButtons.mFocus;
  stop = (stop + step + kStops) % kStops;
  mFocus = stop == 0 ? Focus::kField : stop == 1 ? Focus::kList : Focus::kButtons;
  mButtons.mFocus = stop >= 2 ? stop - 2 : -1;
}

std::string BuiltinFileDialog::resolveTyped() const
{
  if (mField[0] == '/') return mField;
  if (mField[0] == '~' && (mField.size() == 1 || mField[1] == '/'))
    return std::string(getenv("HOME") ? getenv("HOME") : "") + mField.substr(1);
  return joinPath(mFolder, mField);
}

void BuiltinFileDialog::acceptTypedPath()
{
  const std::string path = resolveTyped();
  if (isFolder(path))
  {
    enterFolder(normalised(path));
    mField.clear();
  }
  else if (mSave && isFolder(parentOf(path)) && path.back() != '/')
    finishSave(path);
  else if (!mSave && isFile(path))
    finish(path);
}

void BuiltinFileDialog::activateEntry(const Entry& entry)
{
  if (entry.name == "..")
    enterFolder(parentOf(mFolder));
  else if (entry.isFolder)
    enterFolder(joinPath(mFolder, entry.name));
  else if (mSave)
    finishSave(joinPath(mFolder, entry.name));
  else
    finish(joinPath(mFolder, entry.name));
}

void BuiltinFileDialog::accept()
{
  if (!mField.empty())
    acceptTypedPath();
  else if (mSelected >= 0)
    activateEntry(mEntries[mSelected]);
}

void BuiltinFileDialog::finish(const std::string& path)
{
  mResult = path;
  mDone = true;
}

// Saving over a file needs the user's word, as every desktop's save dialog asks.
void BuiltinFileDialog::finishSave(const std::string& typedPath)
{
  const std::string path = withSaveExtension(typedPath, mExtensions);
  const size_t slash = path.rfind('/');
  const std::string question = "\"" + path.substr(slash + 1) + "\" already exists in \"" +
                               path.substr(0, slash) + "\".\nDo you want to replace it?";
  if (!isFile(path) || RunX11MessageBox(question.c_str(), "Replace File", 4, mOwnerWindow, mScale) == 1) finish(path);
}

void BuiltinFileDialog::keyPressed(const DialogKeyPress& press)
{
  const int page = kListRows - 1;
  switch (press.key)
  {
  case DialogKey::kText:
    mField += press.text;
    mFocus = Focus::kField;
    mButtons.mFocus = -1;
    break;
  case DialogKey::kErase:
    eraseLastCharacter(mField);
    break;
  case DialogKey::kUp:
  case DialogKey::kDown:
  case DialogKey::kPageUp:
  case DialogKey::kPageDown:
  case DialogKey::kHome:
  case DialogKey::kEnd:
  {
    const int step = press.key == DialogKey::kUp       ? -1
                     : press.key == DialogKey::kDown   ? 1
                     : press.key == DialogKey::kPageUp ? -page
                     : press.key == DialogKey::kPageDown ? page
                     : press.key == DialogKey::kHome     ? -INT_MAX / 2
                                                         : INT_MAX / 2;
    mFocus = Focus::kList;
    mButtons.mFocus = -1;
    select(mSelected + step);
    break;
  }
  case DialogKey::kNext:
  case DialogKey::kPrevious:
    moveFocus(press.key == DialogKey::kNext ? 1 : -1);
    break;
  case DialogKey::kLeft:
  case DialogKey::kRight:
    if (mFocus == Focus::kButtons) mButtons.mFocus = press.key == DialogKey::kLeft ? 0 : 1;
    break;
  case DialogKey::kActivate:
    if (mFocus == Focus::kButtons && mButtons.mFocus == 1)
      finish("");
    else if (mFocus == Focus::kList && mSelected >= 0)
      activateEntry(mEntries[mSelected]);
    else
      accept();
    break;
  case DialogKey::kCancel:
    finish("");
    break;
  default:
    break;
  }
}

void BuiltinFileDialog::clicked(double x, double y, bool doubleClick)
{
  if (const int button = mButtons.hit(x, y); button >= 0)
  {
    if (button == 0)
      accept();
    else
      finish("");
    return;
  }
  if (fieldRect().contains(x, y)) mFocus = Focus::kField;
  const DialogRect list = listRect();
  if (!list.contains(x, y)) return;
  const int row = mFirstVisible + static_cast<int>((y - list.y) / (kRowHeight * mScale));
  if (row >= static_cast<int>(mEntries.size())) return;
  mFocus = Focus::kList;
  mButtons.mFocus = -1;
  select(row);
  if (doubleClick) activateEntry(mEntries[mSelected]);
}

DialogRect BuiltinFileDialog::fieldRect() const
{
  const double left = (dialogLook::kPadding + kLabelWidth) * mScale;
  return {left, kFieldTop * mScale, width() - left - dialogLook::kPadding * mScale, kFieldHeight * mScale};
}

DialogRect BuiltinFileDialog::listRect() const
{
  const double padding = dialogLook::kPadding * mScale;
  return {padding, kListTop * mScale, width() - 2 * padding, kListRows * kRowHeight * mScale};
}

void BuiltinFileDialog::drawField(cairo_t* cr) const
{
  const DialogRect field = fieldRect();
  dialogLook::setFont(cr, dialogLook::kTextSize, false, mScale);
  dialogLook::setTextColour(cr, false);
  dialogLook::showText(cr, dialogLook::kPadding * mScale, baselineIn(cr, field.y, field.h), mSave ? "Save as:" : "File:");
  drawBox(cr, field, mFocus == Focus::kField, mScale);
  const double inset = 6 * mScale;
  const std::string shown = fitFromLeft(cr, mField, field.w - 2 * inset);
  dialogLook::setTextColour(cr, false);
  dialogLook::showText(cr, field.x + inset, baselineIn(cr, field.y, field.h), shown);
  if (mFocus != Focus::kField) return;
  const double caretX = field.x + inset + dialogLook::textWidth(cr, shown) + mScale;
  cairo_rectangle(cr, caretX, field.y + 5 * mScale, mScale, field.h - 10 * mScale);
  cairo_fill(cr);
}

void BuiltinFileDialog::drawList(cairo_t* cr) const
{
  const DialogRect list = listRect();
  drawBox(cr, list, mFocus == Focus::kList, mScale);
  cairo_save(cr);
  cairo_rectangle(cr, list.x, list.y, list.w, list.h);
  cairo_clip(cr);
  const double rowHeight = kRowHeight * mScale;
  const int last = std::min(static_cast<int>(mEntries.size()), mFirstVisible + kListRows);
  for (int i = mFirstVisible; i < last; ++i)
  {
    const double top = list.y + (i - mFirstVisible) * rowHeight;
    const bool selected = i == mSelected;
    if (selected)
    {
      cairo_rectangle(cr, list.x + mScale, top, list.w - 2 * mScale, rowHeight);
      if (mFocus == Focus::kList)
        dialogLook::setAccentColour(cr);
      else
        cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
      cairo_fill(cr);
    }
    dialogLook::setFont(cr, dialogLook::kTextSize, mEntries[i].isFolder, mScale);
    dialogLook::setTextColour(cr, selected && mFocus == Focus::kList);
    const std::string label = mEntries[i].isFolder ? mEntries[i].name + "/" : mEntries[i].name;
    dialogLook::showText(cr, list.x + 8 * mScale, baselineIn(cr, top, rowHeight), label);
  }
  cairo_restore(cr);
}

void BuiltinFileDialog::draw(cairo_t* cr, double width, double height)
{
  const double padding = dialogLook::kPadding * mScale;
  dialogLook::fillBackground(cr, width, height);
  dialogLook::setFont(cr, dialogLook::kTextSize, true, mScale);
  dialogLook::setTextColour(cr, false);
  dialogLook::showText(cr, padding, padding + dialogLook::kTextSize * mScale,
                       fitFromLeft(cr, mFolder, width - 2 * padding));
  drawField(cr);
  drawList(cr);
  mButtons.layout(cr, width - padding, height - padding - dialogLook::kButtonHeight * mScale);
  mButtons.draw(cr);
}

std::string chooseWithBuiltinDialog(const FileChooserRequest& request)
{
  BuiltinFileDialog dialog(request);
  X11DialogWindow window;
  if (!window.open(request.save ? "Save File" : "Open File", dialog.width(), dialog.height(), request.ownerWindow))
    return "";
  window.run(dialog);
  return dialog.result();
}
