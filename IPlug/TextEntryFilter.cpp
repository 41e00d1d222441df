#include "TextEntryFilter.h"

#include <cstdlib>

bool TextEntryFilter::Accepts(const std::string& text) const
{
  if (!acceptable.empty() && text.find_first_not_of(acceptable) != std::string::npos) return false;
  if (maxLength > 0 && int(text.size()) > maxLength) return false;
  return maxValue <= 0 || atoll(text.c_str()) <= maxValue;
}
