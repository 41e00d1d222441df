#include "ControlGallery.h"

#include "IFaderControl.h"
#include "IGraphics.h"
#include "IKnobControls.h"
#include "IPlatformControls.h"
#include "ISwitchControls.h"
#include "ITextControls.h"

#include <string>

namespace
{
constexpr int kRowTop = 44;
constexpr int kRowHeight = 56;
constexpr int kColumnWidth = kControlGalleryWidth / 2;
constexpr int kLabelWidth = 200;
// Far from the instrument's own resource ids: the bitmap cache is shared by
// every editor in the process.
constexpr int kFirstBitmapId = 9001;

const IColor kLabelColor(255, 200, 204, 210);
const IColor kAccent(255, 240, 160, 48);
const IColor kBackground(255, 38, 42, 48);

// Places controls in row `row` of column `column`, right of the row's label.
class GalleryRows
{
public:
  explicit GalleryRows(IGraphics& graphics) : mGraphics(graphics), mPlug(graphics.GetPlug()) {}

  IBitmap bitmap(const char* name, int nStates = 1)
  {
    return mGraphics.LoadIBitmap(mNextId++, (std::string(name) + ".png").c_str(), nStates);
  }

  void startRow(int column, int row, const char* className)
  {
    mX = column * kColumnWidth + kLabelWidth;
    mY = kRowTop + row * kRowHeight;
    IText text(12, kLabelColor, "Arial", IText::kStyleNormal, IText::kAlignNear);
    add(new ITextControl(mPlug, IRECT(column * kColumnWidth + 14, mY + 20, mX - 4, mY + 36), &text, className));
  }

  // Left edge and vertical centre of the row's control area.
  int x() const { return mX; }
  int midY(int height) const { return mY + (kRowHeight - height) / 2; }
  // From left to right of the row's x(), height tall, centred in the row.
  IRECT rect(int left, int right, int height) const
  {
    return IRECT(mX + left, midY(height), mX + right, midY(height) + height);
  }

  template <class Control> Control* add(Control* pControl)
  {
    mGraphics.AttachControl(pControl);
    return pControl;
  }

  // A control with no parameter shows the value it is given.
  template <class Control> Control* addAt(Control* pControl, double value)
  {
    pControl->SetValueFromPlug(value);
    return add(pControl);
  }

  IPlugBase* plug() const { return mPlug; }

private:
  IGraphics& mGraphics;
  IPlugBase* mPlug;
  int mNextId = kFirstBitmapId;
  int mX = 0, mY = 0;
};

void attachSwitchRows(GalleryRows& rows, const IBitmap& knob)
{
  IPlugBase* pPlug = rows.plug();
  const IBitmap switch2 = rows.bitmap("switch2", 2);
  const IBitmap switch3 = rows.bitmap("switch3", 3);

  rows.startRow(0, 0, "IPanelControl");
  const IColor swatches[] = {COLOR_RED, COLOR_GREEN, COLOR_BLUE, kAccent};
  for (int i = 0; i < 4; ++i)
    rows.add(new IPanelControl(pPlug, rows.rect(i * 44, i * 44 + 36, 28), swatches[i]));

  rows.startRow(0, 1, "IBitmapControl");
  for (int i = 0; i < 3; ++i)
    rows.addAt(new IBitmapControl(pPlug, rows.x() + i * 48, rows.midY(44), knob), i * 0.5);

  rows.startRow(0, 2, "ISwitchControl");
  rows.addAt(new ISwitchControl(pPlug, rows.x(), rows.midY(24), -1, switch2), 0.0);
  rows.add(new ISwitchControl(pPlug, rows.x() + 48, rows.midY(24), kGalleryLamp, switch2));
  rows.addAt(new ISwitchControl(pPlug, rows.x() + 100, rows.midY(36), -1, switch3), 0.5);

  rows.startRow(0, 3, "ISwitchPopUpControl");
  rows.add(new ISwitchPopUpControl(pPlug, rows.x(), rows.midY(36), kGalleryWave, switch3));
  IText caption(12, kAccent, "Arial", IText::kStyleBold, IText::kAlignNear);
  rows.add(new ICaptionControl(pPlug, rows.rect(32, 180, 16), kGalleryWave, &caption, false));

  rows.startRow(0, 4, "ISwitchFramesControl");
  rows.addAt(new ISwitchFramesControl(pPlug, rows.x(), rows.midY(38), -1, rows.bitmap("switch", 4)), 1.0 / 3.0);

  rows.startRow(0, 5, "IInvisibleSwitchControl");
  rows.add(new IBitmapControl(pPlug, rows.x(), rows.midY(18), kGalleryLamp, rows.bitmap("midilearn", 2)));
  IText hint(11, kLabelColor, "Arial", IText::kStyleItalic, IText::kAlignNear);
  rows.add(new ITextControl(pPlug, rows.rect(84, 190, 14), &hint, "click here: lamp toggles"));
  rows.add(new IInvisibleSwitchControl(pPlug, rows.rect(0, 180, 24), kGalleryLamp));

  rows.startRow(0, 6, "IRadioButtonsControl");
  rows.addAt(new IRadioButtonsControl(pPlug, rows.rect(0, 120, 22), -1, 4, rows.bitmap("next", 2), kHorizontal),
             2.0 / 3.0);

  rows.startRow(0, 7, "IContactControl");
  const IBitmap button = rows.bitmap("button_off", 2);
  rows.addAt(new IContactControl(pPlug, rows.x(), rows.midY(36), -1, button), 0.0);
  rows.addAt(new IContactControl(pPlug, rows.x() + 64, rows.midY(36), -1, button), 1.0);

  rows.startRow(0, 8, "IBitmapOverlayControl");
  const IBitmap overlay = rows.bitmap("tweak_on");
  for (int i = 0; i < 2; ++i)
  {
    const int left = rows.x() + i * 96;
    rows.addAt(new IBitmapControl(pPlug, left + 10, rows.midY(44), knob), 0.3 + 0.4 * i);
    rows.addAt(new IBitmapOverlayControl(pPlug, left, rows.midY(20), overlay,
                                         IRECT(left + 10, rows.midY(44), left + 54, rows.midY(44) + 44)),
               1.0 - i);
  }

  rows.startRow(0, 9, "IFaderControl");
  rows.add(new IPanelControl(pPlug, rows.rect(0, 140, 4), COLOR_BLACK));
  const IBitmap handle = rows.bitmap("led");
  rows.add(new IFaderControl(pPlug, rows.x(), rows.midY(12), 140, kGalleryLevel, handle, kHorizontal));
  rows.add(new IPanelControl(pPlug, rows.rect(166, 170, 48), COLOR_BLACK));
  rows.addAt(new IFaderControl(pPlug, rows.x() + 162, rows.midY(48), 48, -1, handle), 0.25);
}

void attachKnobAndTextRows(GalleryRows& rows, const IBitmap& knob)
{
  IPlugBase* pPlug = rows.plug();

  rows.startRow(1, 0, "IKnobLineControl");
  for (int i = 0; i < 3; ++i)
    rows.addAt(new IKnobLineControl(pPlug, rows.rect(i * 48, i * 48 + 40, 40), -1, &kAccent, 3.0, 13.0), i * 0.5);

  rows.startRow(1, 1, "IKnobRotaterControl");
  const IBitmap rotater = rows.bitmap("prev");
  for (int i = 0; i < 3; ++i)
    rows.addAt(new IKnobRotaterControl(pPlug, rows.x() + i * 48, rows.midY(44), -1, rotater), i * 0.5);

  rows.startRow(1, 2, "IKnobMultiControl");
  rows.add(new IKnobMultiControl(pPlug, rows.x(), rows.midY(44), kGalleryCutoff, knob));
  rows.addAt(new IKnobMultiControl(pPlug, rows.x() + 48, rows.midY(44), -1, knob), 1.0);

  rows.startRow(1, 3, "IKnobRotatingMaskControl");
  const IBitmap base = rows.bitmap("next");
  const IBitmap mask = rows.bitmap("prev");
  for (int i = 0; i < 3; ++i)
    rows.addAt(new IKnobRotatingMaskControl(pPlug, rows.x() + i * 48, rows.midY(44), -1, base, mask, base), i * 0.5);

  rows.startRow(1, 4, "ITextControl");
  IText mono(11, COLOR_WHITE, "Monaco", IText::kStyleNormal, IText::kAlignNear);
  IText bold(12, kAccent, "Arial", IText::kStyleBold, IText::kAlignCenter);
  IText italic(13, IColor(255, 120, 200, 255), "Helvetica", IText::kStyleItalic, IText::kAlignFar);
  const IText* styles[] = {&mono, &bold, &italic};
  const char* samples[] = {"Monaco, near", "Arial bold, centre", "Helvetica italic, far"};
  for (int i = 0; i < 3; ++i)
  {
    IText style = *styles[i];
    const int top = rows.midY(48) + i * 16;
    rows.add(new ITextControl(pPlug, IRECT(rows.x(), top, rows.x() + 184, top + 16), &style, samples[i]));
  }

  rows.startRow(1, 5, "ICaptionControl");
  IText caption(12, kAccent, "Arial", IText::kStyleBold, IText::kAlignNear);
  rows.add(new ICaptionControl(pPlug, rows.rect(0, 90, 16), kGalleryCutoff, &caption));
  rows.add(new ICaptionControl(pPlug, rows.rect(96, 180, 16), kGalleryLevel, &caption));

  rows.startRow(1, 6, "IURLControl");
  IText link(12, IColor(255, 110, 170, 255), "Arial", IText::kStyleNormal, IText::kAlignNear);
  const IRECT linkRect = rows.rect(0, 180, 16);
  rows.add(new ITextControl(pPlug, linkRect, &link, "https://example.org"));
  rows.add(new IURLControl(pPlug, linkRect, "https://example.org"));

  rows.startRow(1, 7, "IFileSelectorControl");
  const IRECT fileRect = rows.rect(0, 120, 24);
  rows.add(new IPanelControl(pPlug, fileRect, IColor(255, 58, 63, 70)));
  IText open(12, kLabelColor, "Arial", IText::kStyleNormal, IText::kAlignCenter);
  rows.add(new ITextControl(pPlug, IRECT(fileRect.L + 24, fileRect.T + 5, fileRect.R, fileRect.B - 3), &open,
                            "Open a file"));
  rows.add(new IFileSelectorControl(pPlug, IRECT(fileRect.L, fileRect.T, fileRect.L + 24, fileRect.B), -1,
                                    rows.bitmap("led"), kFileOpen, "", "png"));

  rows.startRow(1, 8, "IBitmapTextControl");
  IText near(10, COLOR_WHITE, nullptr, IText::kStyleNormal, IText::kAlignNear);
  // The knob strip as a font: each character picks its frame, from the space (the first) on.
  rows.add(new IBitmapTextControl(pPlug, rows.rect(0, 184, 44), knob, " 0@`", &near, 44, 44, 2, true, false));

  rows.startRow(1, 9, "Knob with value display");
  auto* pKnob = rows.add(new IKnobMultiControl(pPlug, rows.x(), rows.midY(44), kGalleryLevel, knob));
  IText value(12, COLOR_WHITE, "Arial", IText::kStyleNormal, IText::kAlignNear);
  pKnob->SetValDisplayControl(rows.add(new ITextControl(pPlug, rows.rect(48, 180, 16), &value)));
  // The display follows value changes; fill it for the value the knob starts with.
  pKnob->SetValueFromPlug(pPlug->GetParam(kGalleryLevel)->GetNormalized());
  pKnob->SetDirty(false);
}
} // namespace

ControlGalleryPlug::ControlGalleryPlug()
    : HostlessPlug(kNGalleryParams, "0-2", 1, "Gallery", "Control gallery", "Tessaryn", 0x00010000, 0x47616c31,
                   0x54737279, 0, false, false, true, kAPIAU)
{
  GetParam(kGalleryCutoff)->InitDouble("Cutoff", 1250.0, 20.0, 20000.0, 1.0, "Hz", "", 3.0);
  IParam* pWave = GetParam(kGalleryWave);
  pWave->InitEnum("Wave", 1, 3);
  pWave->SetDisplayText(0, "Triangle");
  pWave->SetDisplayText(1, "Sawtooth");
  pWave->SetDisplayText(2, "Pulse");
  IParam* pLamp = GetParam(kGalleryLamp);
  pLamp->InitBool("Lamp", true);
  pLamp->SetDisplayText(0, "Off");
  pLamp->SetDisplayText(1, "On");
  GetParam(kGalleryLevel)->InitDouble("Level", 70.0, 0.0, 100.0, 0.1, "%");
}

void ControlGalleryPlug::InformHostOfParamChange(int paramIdx, double normalizedValue)
{
  if (IGraphics* pGraphics = GetGUI()) pGraphics->SetParameterFromPlug(paramIdx, normalizedValue, true);
}

void AttachControlGallery(IGraphics& graphics)
{
  GalleryRows rows(graphics);
  rows.add(new IPanelControl(rows.plug(), IRECT(0, 0, kControlGalleryWidth, kControlGalleryHeight), kBackground));
  IText title(16, COLOR_WHITE, "Arial", IText::kStyleBold, IText::kAlignNear);
  rows.add(new ITextControl(rows.plug(), IRECT(14, 10, 500, 32), &title, "Tessaryn control gallery"));
  const IBitmap knob = rows.bitmap("knob", 65);
  attachSwitchRows(rows, knob);
  attachKnobAndTextRows(rows, knob);
}
