#include "app/PathText.h"

namespace {
const char kFolderDelimiters[] = "\\:";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The index just past the name that starts at `i`: up to the next separator or the
// end, stepping over double-byte characters whole, so that the second byte of "表"
// (95 5C) does not end it.
std::size_t NameEnd(const Text& path, std::size_t i) {
  while (i < path.size() && !IsSeparator(path[i])) i += sjis::CharLength(path, i);
  return i;
}
}  // namespace

Text FolderPrefix(const Text& path) {
  return path.substr(0, sjis::LastDelimiter(path, kFolderDelimiters));
}

Text ContainingFolder(const Text& path) {
  std::size_t p = sjis::LastDelimiter(path, kFolderDelimiters);
  if (p > 1 && path[p - 1] == '\\') {
    const char before = path[p - 2];
    const bool keep = before == ':' || (before == '\\' && !sjis::IsTrailByte(path, p - 2));
    if (!keep) --p;
  }
  return path.substr(0, p);
}

Text DrivePart(const Text& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    // 1-based positions, as the rule is stated: find the "\" that ends the share name.
    std::size_t i = 3;
    int n = 0;
    while (i < path.size() && n < 2) {
      if (path[i - 1] == '\\') ++n;
      if (n < 2) ++i;
    }
    if (i <= path.size() && path[i - 1] == '\\') --i;
    return path.substr(0, i);
  }
  return Text();
}

Text NamePart(const Text& path) {
  return path.substr(sjis::LastDelimiter(path, kFolderDelimiters));
}

bool IsFullPath(const Text& path) {
  if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) return true;
  if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
  const std::size_t serverEnd = NameEnd(path, 2);
  if (serverEnd == 2 || serverEnd >= path.size()) return false;  // no server, or no share after it
  return NameEnd(path, serverEnd + 1) > serverEnd + 1;
}

Text JoinPath(const Text& dir, const Text& name) {
  // The last character is a "\\" only when that byte is not the second byte of a
  // double-byte character.
  if (!dir.empty() && dir.back() == '\\' && !sjis::IsTrailByte(dir, dir.size() - 1)) {
    return dir + name;
  }
  return dir + "\\" + name;
}
