#pragma once
// Entry names are Shift-JIS (code page 932) in the archive and UTF-8 on this side.
#include <string>

#include "base/Text.h"

namespace packer {

// Converts UTF-8 to Shift-JIS; false when `utf8` is not valid UTF-8 or holds a
// character that Shift-JIS cannot carry.
bool Utf8ToSjis(const std::string& utf8, Text& sjis);
// Converts Shift-JIS to UTF-8; false when `sjis` is not valid Shift-JIS.
bool SjisToUtf8(const Text& sjis, std::string& utf8);
// For messages: the name in UTF-8 when it converts, else with its bytes escaped (\xNN).
std::string Printable(const Text& sjis);

}  // namespace packer
