#pragma once
// The text object of the setup dialog.
#include "base/Text.h"

class TLibrary {
 public:
  // Replaces the first occurrence of the placeholder (plain byte comparison); true
  // when one was found. Later occurrences are left alone.
  bool ReplaceFirst(Text& text, const Text& placeholder, const Text& replacement) const;
};
