#include "archive/EntryName.h"

namespace archive {

namespace {

// Windows drops trailing dots and spaces from path components, so a component made of
// dots and spaces only would name the folder itself (".") or its parent ("..", ". .").
bool IsDotsAndSpacesOnly(const Text& name, std::size_t begin, std::size_t end) {
  for (std::size_t i = begin; i < end; ++i) {
    if (name[i] != '.' && name[i] != ' ') return false;
  }
  return true;
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Windows opens a device, not a file, for a component whose part before its first dot,
// without trailing spaces, is a device name in any letter case: "NUL", "nul.txt",
// "Com1.tar.gz" and "lpt9 .log" all name a device. Every device name is plain ASCII, so
// a byte compare is safe: no second byte of a double-byte character is a dot or a space.
bool IsDeviceName(const Text& name, std::size_t begin, std::size_t end) {
  std::size_t stem = begin;
  while (stem < end && name[stem] != '.') ++stem;
  while (stem > begin && name[stem - 1] == ' ') --stem;
  Text base;
  for (std::size_t i = begin; i < stem; ++i) base += AsciiUpper(name[i]);
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

const char* ComponentFault(const Text& name, std::size_t begin, std::size_t end) {
  if (end == begin) {
    if (begin == 0) return "it starts with \"\\\" (a rooted path)";
    return "it has an empty component (a doubled or trailing \"\\\")";
  }
  if (IsDotsAndSpacesOnly(name, begin, end)) {
    return "it has a component made of dots and spaces only, such as \".\" or \"..\"";
  }
  // Windows drops a folder name's trailing dots and spaces when it creates the folder,
  // so the installer would make "x" for "x. " and then fail to open "x. \a.txt". (A file
  // name's are dropped too, "a.txt." is written as "a.txt", which EntryKey allows for. A
  // second byte of a double-byte character is never a dot or a space.)
  if (end < name.size() && (name[end - 1] == '.' || name[end - 1] == ' ')) {
    return "it has a folder name that ends in a dot or a space, which Windows drops";
  }
  if (IsDeviceName(name, begin, end)) {
    return "it has a component that Windows takes for a device (CON, PRN, AUX, NUL, COM1-9, LPT1-9)";
  }
  return nullptr;
}

// The bytes that may follow a lead byte in Shift-JIS.
bool IsValidSecondByte(unsigned char b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

}  // namespace

const char* EntryNameFault(const Text& name) {
  if (name.empty()) return "it is empty";
  std::size_t start = 0;  // first byte of the current component
  std::size_t i = 0;
  while (i < name.size()) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (sjis::IsLeadByte(c)) {
      // A double-byte character; a lead byte without a proper second byte makes the
      // name malformed, and how Windows would read it is not worth guessing.
      if (i + 1 >= name.size() || !IsValidSecondByte(static_cast<unsigned char>(name[i + 1]))) {
        return "it is not valid Shift-JIS (a lead byte without its second byte)";
      }
      i += 2;
      continue;
    }
    if (c < 0x20 || c == 0x7F) return "it holds a control character";
    if (c == ':') return "it holds \":\" (a drive or a stream name)";
    if (c == '/') return "it holds \"/\" (folder names are joined with \"\\\")";
    if (c == '\\') {
      if (const char* fault = ComponentFault(name, start, i)) return fault;
      start = i + 1;
    }
    ++i;
  }
  return ComponentFault(name, start, name.size());
}

bool IsSafeEntryName(const Text& name) { return EntryNameFault(name) == nullptr; }

}  // namespace archive
