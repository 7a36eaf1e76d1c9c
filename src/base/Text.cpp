#include "base/Text.h"

#include <cstring>

namespace sjis {

bool IsTrailByte(const Text& text, std::size_t index) {
  std::size_t run = 0;
  while (run < index && IsLeadByte(static_cast<unsigned char>(text[index - run - 1]))) {
    ++run;
  }
  return run % 2 == 1;
}

std::size_t LastDelimiter(const Text& text, const char* delimiters) {
  std::size_t i = text.size();
  while (i > 0) {
    const char c = text[i - 1];
    if (c != '\0' && std::strchr(delimiters, c) != nullptr) {
      if (!IsTrailByte(text, i - 1)) return i;
      --i;  // skip the lead byte of this double-byte character too
    }
    --i;
  }
  return 0;
}

std::size_t CharLength(const Text& text, std::size_t index) {
  return (IsLeadByte(static_cast<unsigned char>(text[index])) && index + 1 < text.size()) ? 2 : 1;
}

}  // namespace sjis
