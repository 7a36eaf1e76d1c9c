#include "common/PayloadPath.h"

namespace payload {

namespace {

// True when the last character of `text` is the single-byte `c`.
bool EndsWithChar(const Text& text, char c) {
  return !text.empty() && text.back() == c && !sjis::IsTrailByte(text, text.size() - 1);
}

}  // namespace

Text JoinPath(const Text& folder, const Text& name) {
  if (folder.empty()) return name;
  if (EndsWithChar(folder, '\\') || EndsWithChar(folder, ':')) return folder + name;
  return folder + "\\" + name;
}

Text NormalizePath(const Text& path) {
  Text out;
  out.reserve(path.size());
  std::size_t i = 0;
  if (path.size() >= 2 && (path[0] == '\\' || path[0] == '/') &&
      (path[1] == '\\' || path[1] == '/')) {
    out = "\\\\";  // a network path keeps its leading pair
    i = 2;
  }
  while (i < path.size()) {
    const std::size_t n = sjis::CharLength(path, i);
    if (n == 2) {
      out.append(path, i, 2);
    } else {
      char c = path[i];
      if (c == '/') c = '\\';
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      const bool doubled = c == '\\' && EndsWithChar(out, '\\');
      if (!doubled) out += c;
    }
    i += n;
  }
  // No trailing "\", except in "C:\" and a bare "\".
  while (out.size() > 1 && EndsWithChar(out, '\\') &&
         !(out.size() == 3 && out[1] == ':') && out != "\\\\") {
    out.pop_back();
  }
  return out;
}

bool SamePath(const Text& a, const Text& b) { return NormalizePath(a) == NormalizePath(b); }

bool IsInsideFolder(const Text& path, const Text& folder) {
  const Text p = NormalizePath(path);
  const Text f = NormalizePath(folder);
  if (f.empty() || p.size() <= f.size() || p.compare(0, f.size(), f) != 0) return false;
  // The folder's text must end at a separator in the path: "C:\korv" holds
  // "C:\korv\a.exe" but not "C:\korvani\a.exe".
  if (EndsWithChar(f, '\\')) return true;
  return p[f.size()] == '\\';
}

}  // namespace payload
