#include "NameCodec.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>

namespace packer {

namespace {

bool Convert(const char* to, const char* from, const std::string& input, std::string& output) {
  output.clear();
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string in = input;
  char* inPtr = in.data();
  std::size_t inLeft = in.size();
  bool ok = true;
  char chunk[256];
  while (inLeft > 0) {
    char* outPtr = chunk;
    std::size_t outLeft = sizeof chunk;
    const std::size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    output.append(chunk, static_cast<std::size_t>(outPtr - chunk));
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
      ok = false;  // EILSEQ or EINVAL: a byte sequence the other side cannot carry
      break;
    }
  }
  if (ok) {
    char* outPtr = chunk;
    std::size_t outLeft = sizeof chunk;
    if (iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) ok = false;
    output.append(chunk, static_cast<std::size_t>(outPtr - chunk));
  }
  iconv_close(cd);
  return ok;
}

}  // namespace

bool Utf8ToSjis(const std::string& utf8, Text& sjis) { return Convert("CP932", "UTF-8", utf8, sjis); }

bool SjisToUtf8(const Text& sjis, std::string& utf8) { return Convert("UTF-8", "CP932", sjis, utf8); }

std::string Printable(const Text& sjis) {
  std::string utf8;
  if (SjisToUtf8(sjis, utf8)) {
    bool plain = true;
    for (const char c : utf8) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) plain = false;
    }
    if (plain) return utf8;
  }
  std::string escaped;
  for (const char c : sjis) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b < 0x7F) {
      escaped += c;
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", b);
      escaped += hex;
    }
  }
  return escaped;
}

}  // namespace packer
