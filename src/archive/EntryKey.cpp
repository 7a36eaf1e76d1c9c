#include "archive/EntryKey.h"

namespace archive {

namespace {

// The lower-case form of the double-byte letter lead, trail, or trail itself.
unsigned FoldDoubleByte(unsigned lead, unsigned trail) {
  if (lead == 0x82 && trail >= 0x60 && trail <= 0x79) return trail + 0x21;  // Ａ-Ｚ
  if (lead == 0x83 && trail >= 0x9F && trail <= 0xB6) return trail + 0x20;  // Α-Ω
  if (lead == 0x84 && trail >= 0x40 && trail <= 0x60) {                    // А-Я
    // а-я run from 0x70 with 0x7F left out (it is no trail byte).
    const unsigned index = trail - 0x40;
    return index < 15 ? 0x70 + index : 0x80 + (index - 15);
  }
  return trail;
}

}  // namespace

Text EntryKey(const Text& name) {
  Text key;
  key.reserve(name.size());
  std::size_t componentStart = 0;  // in key
  auto endComponent = [&] {
    while (key.size() > componentStart && (key.back() == '.' || key.back() == ' ')) {
      key.pop_back();
    }
  };
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (sjis::IsLeadByte(c) && i + 1 < name.size()) {
      key.push_back(name[i]);
      const auto trail = static_cast<unsigned char>(name[i + 1]);
      key.push_back(static_cast<char>(FoldDoubleByte(c, trail)));
      ++i;
    } else if (c == '\\') {
      endComponent();
      key.push_back('\\');
      componentStart = key.size();
    } else {
      key.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : name[i]);
    }
  }
  endComponent();
  return key;
}

}  // namespace archive
