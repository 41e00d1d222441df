#include "X11MessageBox.h"

#include "DialogLook.h"
#include "X11DialogWindow.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr int kResultNone = 0;
constexpr int kResultFirst = 1;
constexpr int kResultSecond = 7;
constexpr int kResultThird = 2;
constexpr int kResults[] = {kResultFirst, kResultSecond, kResultThird};
constexpr double kMaxTextWidth = 420;
constexpr double kMinWidth = 300;
constexpr double kLineSpacing = 1.35;

std::vector<std::string> buttonLabels(int type)
{
  switch (type)
  {
  case 1:
    return {"OK", "Cancel"};
  case 3:
    return {"Yes", "No", "Cancel"};
  case 4:
    return {"Yes", "No"};
  default:
    return {"OK"};
  }
}

// Escape and the close button must never read as consent: callers treat every
// answer but "No" or "Cancel" as going ahead.
int decliningResult(int type)
{
  switch (type)
  {
  case 1:
  case 4:
    return kResultSecond;
  case 3:
    return kResultThird;
  default:
    return kResultNone;
  }
}

class MessageBoxContent : public X11DialogContent
{
public:
  MessageBoxContent(const std::string& text, const std::string& caption, int type, double scale)
      : mCaption(caption), mType(type), mScale(scale), mButtons(buttonLabels(type), scale)
  {
    cairo_t* cr = dialogLook::createMeasuringContext();
    dialogLook::setFont(cr, dialogLook::kTextSize, false, scale);
    mLines = dialogLook::wrapText(cr, text, kMaxTextWidth * scale);
    double width = std::max(kMinWidth * scale, mButtons.width(cr));
    for (const std::string& line : mLines) width = std::max(width, dialogLook::textWidth(cr, line));
    dialogLook::setFont(cr, dialogLook::kHeaderSize, true, scale);
    width = std::max(width, std::min(dialogLook::textWidth(cr, caption), kMaxTextWidth * scale));
    cairo_destroy(cr);
    const double padding = dialogLook::kPadding * scale;
    mWidth = static_cast<int>(std::ceil(width + 2 * padding));
    mHeight = static_cast<int>(std::ceil(padding + headerHeight() + textHeight() + padding +
                                         dialogLook::kButtonHeight * scale + padding));
  }

  int width() const { return mWidth; }
  int height() const { return mHeight; }
  int result() const { return mResult; }

  void draw(cairo_t* cr, double width, double height) override
  {
    const double padding = dialogLook::kPadding * mScale;
    dialogLook::fillBackground(cr, width, height);
    dialogLook::setTextColour(cr, false);
    dialogLook::setFont(cr, dialogLook::kHeaderSize, true, mScale);
    dialogLook::showText(cr, padding, padding + dialogLook::kHeaderSize * mScale, mCaption);
    dialogLook::setFont(cr, dialogLook::kTextSize, false, mScale);
    double baseline = padding + headerHeight() + dialogLook::kTextSize * mScale;
    for (const std::string& line : mLines)
    {
      dialogLook::showText(cr, padding, baseline, line);
      baseline += lineHeight();
    }
    mButtons.layout(cr, width - padding, height - padding - dialogLook::kButtonHeight * mScale);
    mButtons.draw(cr);
  }

  void keyPressed(const DialogKeyPress& press) override
  {
    const int count = static_cast<int>(buttonLabels(mType).size());
    switch (press.key)
    {
    case DialogKey::kNext:
    case DialogKey::kRight:
    case DialogKey::kDown:
      mButtons.mFocus = (mButtons.mFocus + 1) % count;
      break;
    case DialogKey::kPrevious:
    case DialogKey::kLeft:
    case DialogKey::kUp:
      mButtons.mFocus = (mButtons.mFocus + count - 1) % count;
      break;
    case DialogKey::kActivate:
      mResult = kResults[mButtons.mFocus];
      break;
    case DialogKey::kCancel:
      closeRequested();
      break;
    default:
      break;
    }
  }

  void clicked(double x, double y, bool) override
  {
    if (const int button = mButtons.hit(x, y); button >= 0) mResult = kResults[button];
  }

  void closeRequested() override { mResult = decliningResult(mType); }
  bool finished() const override { return mResult != kUnanswered; }

private:
  static constexpr int kUnanswered = -1;

  double lineHeight() const { return dialogLook::kTextSize * kLineSpacing * mScale; }
  double headerHeight() const { return mCaption.empty() ? 0 : dialogLook::kHeaderSize * 2 * mScale; }
  double textHeight() const { return static_cast<double>(mLines.size()) * lineHeight(); }

  std::string mCaption;
  int mType;
  double mScale;
  DialogButtonRow mButtons;
  std::vector<std::string> mLines;
  int mWidth = 0;
  int mHeight = 0;
  int mResult = kUnanswered;
};
} // namespace

int RunX11MessageBox(const char* text, const char* caption, int type, unsigned long ownerWindow, double scale)
{
  MessageBoxContent content(text ? text : "", caption ? caption : "", type, scale > 0 ? scale : 1.0);
  X11DialogWindow window;
  if (!window.open(caption ? caption : "", content.width(), content.height(), ownerWindow)) return kResultNone;
  window.run(content);
  return content.result();
}
