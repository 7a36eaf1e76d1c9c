#include "folderdlg/PathRoutines.h"

namespace {

const char kEllipsisFolder[] = "...\\";

Text ChangeAsciiCase(const Text& text, char from, char to) {
  Text out = text;
  for (std::size_t i = 0; i < out.size();) {
    const std::size_t n = sjis::CharLength(out, i);
    if (n == 1 && out[i] >= from && out[i] <= to) out[i] = static_cast<char>(out[i] ^ 0x20);
    i += n;
  }
  return out;
}

}  // namespace

std::size_t FindBackslash(const Text& text, std::size_t from) {
  for (std::size_t i = from; i < text.size(); i += sjis::CharLength(text, i)) {
    if (text[i] == '\\') return i;
  }
  return Text::npos;
}

std::size_t CharCount(const Text& text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); i += sjis::CharLength(text, i)) ++count;
  return count;
}

std::size_t CharsToBytes(const Text& text, std::size_t count) {
  std::size_t i = 0;
  while (count > 0 && i < text.size()) {
    i += sjis::CharLength(text, i);
    --count;
  }
  return i;
}

void DropFirstFolder(Text& folders) {
  if (folders == "\\") {
    folders.clear();
    return;
  }
  const bool leadingBackslash = !folders.empty() && folders[0] == '\\';
  if (leadingBackslash) folders.erase(0, 1);
  // Only the marker itself is taken out: a first folder whose name merely begins with
  // a full stop (".config\") is a folder like any other and is dropped as one.
  if (folders.compare(0, sizeof kEllipsisFolder - 1, kEllipsisFolder) == 0) {
    folders.erase(0, sizeof kEllipsisFolder - 1);
  }
  const std::size_t slash = FindBackslash(folders);
  if (slash == Text::npos) {
    folders.clear();
  } else {
    folders = kEllipsisFolder + folders.substr(slash + 1);
  }
  if (leadingBackslash) folders.insert(0, "\\");
}

Text ShortenPath(const Text& path, const TextWidthMeasure& width, int maxWidth) {
  Text result = path;
  const std::size_t split = sjis::LastDelimiter(path, "\\:");
  Text dir = path.substr(0, split);
  const Text name = path.substr(split);
  Text drive;
  if (CharCount(dir) >= 2 && dir[1] == ':') {
    drive = dir.substr(0, 2);
    dir.erase(0, 2);
  }
  while ((!dir.empty() || !drive.empty()) && width(result) > maxWidth) {
    if (dir == "\\...\\") {
      drive.clear();
      dir = kEllipsisFolder;
    } else if (dir.empty()) {
      drive.clear();
    } else {
      DropFirstFolder(dir);
    }
    result = drive + dir + name;
  }
  return result;
}

int BackslashCount(const Text& path) {
  int count = 0;
  for (std::size_t i = FindBackslash(path); i != Text::npos; i = FindBackslash(path, i + 1)) ++count;
  return count;
}

Text AsciiLowerCase(const Text& text) { return ChangeAsciiCase(text, 'A', 'Z'); }

Text AsciiUpperCase(const Text& text) { return ChangeAsciiCase(text, 'a', 'z'); }
