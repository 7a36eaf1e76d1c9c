#include "archive/EntryKey.h"

#include "archive/UpperCase.h"

namespace archive {

namespace {

// The character at `at` and its length in bytes, or 0 when no well-formed UTF-8
// sequence of up to three bytes (the Basic Multilingual Plane) starts there.
std::size_t DecodeUtf8(const std::string& text, std::size_t at, char32_t& c) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const auto follows = [&](std::size_t i) { return i < text.size() && (byte(i) & 0xC0) == 0x80; };
  const unsigned lead = byte(at);
  if (lead < 0x80) {
    c = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead < 0xE0 && follows(at + 1)) {
    c = ((lead & 0x1Fu) << 6) | (byte(at + 1) & 0x3Fu);
    return 2;
  }
  if (lead >= 0xE0 && lead < 0xF0 && follows(at + 1) && follows(at + 2)) {
    c = ((lead & 0x0Fu) << 12) | ((byte(at + 1) & 0x3Fu) << 6) | (byte(at + 2) & 0x3Fu);
    if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) return 3;
  }
  return 0;
}

void AppendUtf8(std::string& text, char32_t c) {
  if (c < 0x80) {
    text += static_cast<char>(c);
  } else if (c < 0x800) {
    text += static_cast<char>(0xC0 | (c >> 6));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    text += static_cast<char>(0xE0 | (c >> 12));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string EntryKey(const std::string& utf8) {
  std::string key;
  key.reserve(utf8.size());
  std::size_t componentStart = 0;  // in key
  auto endComponent = [&] {
    while (key.size() > componentStart && (key.back() == '.' || key.back() == ' ')) {
      key.pop_back();
    }
  };
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t c;
    const std::size_t length = DecodeUtf8(utf8, i, c);
    if (length == 0) {
      key += utf8[i++];
      continue;
    }
    if (c == '\\') {
      endComponent();
      key += '\\';
      componentStart = key.size();
    } else {
      AppendUtf8(key, UpperCase(c));
    }
    i += length;
  }
  endComponent();
  return key;
}

}  // namespace archive
