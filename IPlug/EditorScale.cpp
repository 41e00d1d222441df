#include "EditorScale.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

double XftDpiScale(const std::string& xResources)
{
  std::istringstream lines(xResources);
  std::string line;
  constexpr std::string_view kKey = "Xft.dpi:";
  while (std::getline(lines, line))
  {
    if (line.compare(0, kKey.size(), kKey) != 0) continue;
    const double dpi = strtod(line.c_str() + kKey.size(), nullptr);
    return dpi > 0.0 ? dpi / 96.0 : 0.0;
  }
  return 0.0;
}

double ChooseEditorScale(double userScale, double hostScale, const std::string& xResources, const char* gdkScale)
{
  double scale = userScale > 0.0 ? userScale : hostScale;
  if (!(scale > 0.0)) scale = XftDpiScale(xResources);
  if (!(scale > 0.0) && gdkScale) scale = strtod(gdkScale, nullptr);
  if (!(scale > 0.0)) scale = 1.0;
  return std::clamp(scale, kMinEditorScale, kMaxEditorScale);
}
