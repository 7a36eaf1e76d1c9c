#include "setup/Library.h"

bool TLibrary::ReplaceFirst(Text& text, const Text& placeholder, const Text& replacement) const {
  const std::size_t pos = text.find(placeholder);
  if (pos == Text::npos) return false;
  text.replace(pos, placeholder.size(), replacement);
  return true;
}
