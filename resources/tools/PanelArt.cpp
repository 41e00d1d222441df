#include "PanelArt.h"

#include "IPlugBase.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace
{
constexpr double kCaptionLine = 10.0;
constexpr double kFrameRadius = 5.0;
constexpr double kFramePad = 5.0;
// Free space kept between a switch's position texts and other controls.
constexpr double kTextClearance = 1.0;

const TextStyle kCaptionStyle{art::kCaptionSize, true, art::kCaption};
const TextStyle kPositionStyle{art::kPositionSize, false, art::kPositionText};
const TextStyle kTitleStyle{art::kTitleSize, true, art::kTitle, 1.2};

// Menu texts mark "&" as "\&"; the panel prints the plain character.
std::string plainText(std::string text)
{
  for (size_t at = text.find("\\&"); at != std::string::npos; at = text.find("\\&", at))
    text.erase(at, 1);
  return text;
}

// The rows of the panel: controls in one row share a section band.
int rowOf(const PanelItem& item)
{
  static constexpr int kRowEnds[] = {80, 165, 240, PanelSize::kStripTop};
  int row = 0;
  while (row < 4 && item.y >= kRowEnds[row])
    ++row;
  return row;
}

bool isOverlay(const PanelItem& item)
{
  return item.image && (std::string(item.image).starts_with("blind") || std::string(item.image).starts_with("tweak"));
}

Box unite(const Box& a, const Box& b)
{
  return {std::min(a.l, b.l), std::min(a.t, b.t), std::max(a.r, b.r), std::max(a.b, b.b)};
}

Colour panelColourAt(double y)
{
  const double t = y / PanelSize::kHeight;
  const Colour& a = art::kPanelTop;
  const Colour& b = art::kPanelBottom;
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, 1.0};
}

class Background
{
public:
  Background(const IPlugBase& plug, const Painter& painter) : mPlug(plug), mPainter(painter) {}

  void paint()
  {
    paintPanel();
    paintLogo();
    layOutTexts();
    paintSections();
    for (const PanelItem& item : panelItems())
      paintPrint(item);
    for (const auto& [item, caption] : mCaptions)
      paintCaption(*item, caption);
    for (const auto& [item, texts] : mPositions)
      paintPositions(*item, texts);
  }

private:
  void paintPanel() const
  {
    cairo_t* cr = mPainter.cr();
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, 0, PanelSize::kHeight);
    cairo_pattern_add_color_stop_rgb(shade, 0, art::kPanelTop.r, art::kPanelTop.g, art::kPanelTop.b);
    cairo_pattern_add_color_stop_rgb(shade, 1, art::kPanelBottom.r, art::kPanelBottom.g, art::kPanelBottom.b);
    cairo_rectangle(cr, 0, 0, PanelSize::kWidth, PanelSize::kHeight);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    // Fine brushing, the same on every build.
    unsigned seed = 12345;
    for (double y = 0.5; y < PanelSize::kHeight; y += 1.0)
    {
      seed = seed * 1103515245u + 12345u;
      mPainter.line(0, y, PanelSize::kWidth, y, 0.5, rgb(0xffffff, 0.012 * ((seed >> 16) % 4)));
    }
  }

  void paintLogo() const
  {
    mPainter.text("TESSARYN", 24, 36, {art::kLogoSize, true, art::kLogo, 7.0}, Align::kLeft);
    mPainter.line(26, 58, 300, 58, 1.5, art::kTitle);
    mPainter.text("FOUR OSCILLATOR SYNTHESIZER", 26, 69, {art::kPositionSize, true, art::kPositionText, 2.4},
                  Align::kLeft);
    mPainter.text("PELLWORTH", 490, 36, {art::kTitleSize, true, art::kPositionText, 3.0}, Align::kRight);
  }

  struct Caption
  {
    std::vector<std::string> lines;
    double top;
  };

  std::string captionText(const PanelItem& item) const
  {
    const IParam* param = mPlug.GetParam(item.param);
    return plainText(item.displayText >= 0 ? param->GetDisplayTextAtIdx(item.displayText) : param->GetNameForHost());
  }

  static bool sameBand(const PanelItem& a, const PanelItem& b)
  {
    return a.section == b.section && rowOf(a) == rowOf(b) && a.inTweakStrip == b.inTweakStrip;
  }

  static bool isKnob(const PanelItem& item) { return item.image && std::string(item.image).starts_with("knob"); }

  // A caption breaks at its first space or after its first slash when it
  // would crowd the caption of the nearest control of its row. A broken
  // caption that would run off the panel moves up under its own control.
  Caption makeCaption(const PanelItem& item) const
  {
    const std::string text = captionText(item);
    const double aligned = alignedCaptionTop(item);
    const size_t split = text.find_first_of(" /");
    if (split == std::string::npos || mPainter.textWidth(text, kCaptionStyle) <= captionSpacing(item) - 6)
      return {{text}, aligned};
    const double lowest = PanelSize::kHeight - 4 - 2 * kCaptionLine;
    const double top = aligned <= lowest ? aligned : item.box().b + 1;
    if (top > lowest) return {{text}, aligned};
    const size_t cut = text[split] == '/' ? split + 1 : split;
    return {{text.substr(0, cut), text.substr(text[split] == '/' ? cut : cut + 1)}, top};
  }

  // The distance to the nearest captioned control of the row.
  static double captionSpacing(const PanelItem& item)
  {
    double spacing = PanelSize::kWidth;
    for (const PanelItem& other : panelItems())
      if (&other != &item && other.param >= 0 && sameBand(item, other))
        spacing = std::min(spacing, std::abs(other.box().centreX() - item.box().centreX()));
    return spacing;
  }

  static double alignedCaptionTop(const PanelItem& item)
  {
    const ImageSpec* spec = item.image ? findControlImage(item.image) : nullptr;
    double bottom = item.box().b;
    if (!spec || !spec->captionHugs)
      for (const PanelItem& other : panelItems())
        if (isKnob(other) && sameBand(item, other)) bottom = std::max(bottom, other.box().b);
    return bottom + 1;
  }

  Box captionBox(const PanelItem& item, const Caption& caption) const
  {
    double width = 0;
    for (const std::string& line : caption.lines)
      width = std::max(width, mPainter.textWidth(line, kCaptionStyle));
    const double x = item.box().centreX();
    return {x - width / 2, caption.top, x + width / 2, caption.top + kCaptionLine * caption.lines.size()};
  }

  std::vector<std::string> positionTexts(const PanelItem& item) const
  {
    std::vector<std::string> texts;
    const IParam* param = mPlug.GetParam(item.param);
    for (int k = 0; k < param->GetNDisplayTexts(); ++k)
      texts.push_back(plainText(param->GetDisplayTextAtIdx(k)));
    return texts;
  }

  Box positionsBox(const PanelItem& item, const std::vector<std::string>& texts) const
  {
    double width = 0;
    for (const std::string& text : texts)
      width = std::max(width, mPainter.textWidth(text, kPositionStyle));
    const Box box = item.box();
    return {box.r + 2, box.t, box.r + 3 + width, box.b};
  }

  static bool isSlideSwitch(const PanelItem& item)
  {
    return item.image && (std::string(item.image) == "switch2" || std::string(item.image) == "switch3");
  }

  // Captions go under every captioned control; a slide switch also names its
  // positions beside it when the texts clear every neighbour.
  void layOutTexts()
  {
    std::vector<std::pair<const PanelItem*, Box>> taken;
    for (const PanelItem& item : panelItems())
    {
      if (isOverlay(item)) continue;
      Box extent = item.box();
      if (item.param >= 0)
      {
        const Caption& caption = mCaptions[&item] = makeCaption(item);
        extent = unite(extent, captionBox(item, caption));
      }
      taken.emplace_back(&item, extent.grown(kTextClearance));
      mExtents[&item] = extent;
    }
    for (const PanelItem& item : panelItems())
    {
      if (item.param < 0 || !isSlideSwitch(item)) continue;
      const std::vector<std::string> texts = positionTexts(item);
      const Box box = positionsBox(item, texts);
      const bool clear =
          box.r < PanelSize::kWidth - 4 &&
          std::none_of(taken.begin(), taken.end(),
                       [&](const auto& other) { return other.first != &item && other.second.overlaps(box); });
      if (!clear) continue;
      mPositions[&item] = texts;
      mExtents[&item] = unite(mExtents[&item], box);
    }
  }

  struct Band
  {
    int row;
    Box box;
  };

  std::vector<Band> bandsOf(Section section) const
  {
    std::map<int, Box> rows;
    for (const auto& [item, extent] : mExtents)
    {
      if (item->section != section) continue;
      const auto [at, added] = rows.try_emplace(rowOf(*item), extent);
      if (!added) at->second = unite(at->second, extent);
    }
    std::vector<Band> bands;
    for (const auto& [row, box] : rows)
      bands.push_back({row, {box.l - kFramePad, box.t - 8, box.r + kFramePad, box.b + 3}});
    return bands;
  }

  // Consecutive bands of a section join where they overlap across.
  static std::vector<Box> joints(const std::vector<Band>& bands)
  {
    std::vector<Box> joined;
    for (size_t k = 1; k < bands.size(); ++k)
    {
      const Box& upper = bands[k - 1].box;
      const Box& lower = bands[k].box;
      const double l = std::max(upper.l, lower.l), r = std::min(upper.r, lower.r);
      if (l < r) joined.push_back({l, upper.b - kFrameRadius, r, lower.t + kFrameRadius});
    }
    return joined;
  }

  void fillShape(const std::vector<Band>& bands, const std::vector<Box>& joined, double grow, const Colour& c) const
  {
    for (const Band& band : bands)
      mPainter.roundRect(band.box.grown(grow), kFrameRadius + grow);
    for (const Box& joint : joined)
      cairo_rectangle(mPainter.cr(), joint.l - grow, joint.t, joint.width() + 2 * grow, joint.height());
    mPainter.setColour(c);
    cairo_set_fill_rule(mPainter.cr(), CAIRO_FILL_RULE_WINDING);
    cairo_fill(mPainter.cr());
  }

  void paintSections() const
  {
    for (int s = int(Section::kOutput); s <= int(Section::kTweaksRight); ++s)
    {
      const std::vector<Band> bands = bandsOf(Section(s));
      if (bands.empty()) continue;
      const std::vector<Box> joined = joints(bands);
      fillShape(bands, joined, 1.0, art::kSectionBorder);
      fillShape(bands, joined, 0.0, art::kSectionFill);
      paintTitle(sectionTitle(Section(s)), bands.front().box);
    }
  }

  void paintTitle(const char* title, const Box& frame) const
  {
    const double width = mPainter.textWidth(title, kTitleStyle);
    const Box pad{frame.l + 6, frame.t - 5, frame.l + 14 + width, frame.t + 5};
    mPainter.fillRoundRect(pad, 2.0, panelColourAt(frame.t));
    mPainter.text(title, pad.l + 4, frame.t, kTitleStyle, Align::kLeft);
  }

  void paintPrint(const PanelItem& item) const
  {
    const Box box = item.box();
    if (item.image && std::string(item.image) == "led")
    {
      mPainter.circle(box.centreX(), box.centreY(), box.width() * 0.36);
      mPainter.setColour(rgb(0x000000, 0.6));
      cairo_fill(mPainter.cr());
      mPainter.fillDome(box.centreX(), box.centreY(), box.width() * 0.28, rgb(0x7a2a20), art::kLampDark);
    }
    if (item.print == Print::kDisplay)
    {
      mPainter.fillRoundRect(box.grown(1.0), 3.0, art::kDisplayEdge);
      mPainter.fillRoundRect(box, 2.5, art::kDisplayFill);
    }
    if (item.print == Print::kOptionButton)
    {
      mPainter.fillRoundRect(box, 3.0, art::kSlot);
      mPainter.fillRoundRectShaded(box.grown(-1.0), 2.5, rgb(0x4a4e54), rgb(0x2b2d31));
      mPainter.text("OPTIONS", box.centreX(), box.centreY(), {art::kPositionSize, true, art::kCaption, 1.2},
                    Align::kCentre);
    }
  }

  void paintCaption(const PanelItem& item, const Caption& caption) const
  {
    const Box box = captionBox(item, caption);
    for (size_t k = 0; k < caption.lines.size(); ++k)
      mPainter.text(caption.lines[k], box.centreX(), box.t + kCaptionLine * (k + 0.5), kCaptionStyle, Align::kCentre);
  }

  void paintPositions(const PanelItem& item, const std::vector<std::string>& texts) const
  {
    const Box box = item.box();
    const double pitch = box.height() / texts.size();
    for (size_t k = 0; k < texts.size(); ++k)
      mPainter.text(texts[k], box.r + 3, box.t + pitch * (k + 0.5), kPositionStyle, Align::kLeft);
  }

  const IPlugBase& mPlug;
  const Painter& mPainter;
  std::map<const PanelItem*, Caption> mCaptions;
  std::map<const PanelItem*, std::vector<std::string>> mPositions;
  std::map<const PanelItem*, Box> mExtents;
};
} // namespace

ImageSpec backgroundImage(const IPlugBase& plug)
{
  return {"back", 1, PanelSize::kWidth, PanelSize::kHeight,
          [&plug](const Painter& painter, const FrameSpot&) { Background(plug, painter).paint(); }};
}
