#pragma once
// Which texts a text-entry field accepts while the user types: only the given
// characters, no more than a maximum length, an integer value no larger than
// a maximum (each check off when empty or 0).

#include <string>

struct TextEntryFilter
{
  std::string acceptable;
  int maxLength = 0;
  int maxValue = 0;

  bool Accepts(const std::string& text) const;
};
