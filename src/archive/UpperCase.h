#pragma once
// The upper case through which NTFS compares file names.

namespace archive {

// The upper-case form of the character `c`: for the Basic Multilingual Plane, Unicode's
// simple upper-case mapping (one character for one: "ⅰ" gives "Ⅰ", "ａ" gives "Ａ", "ß"
// stays), which is what NTFS's upper-case table holds; `c` itself elsewhere.
char32_t UpperCase(char32_t c);

}  // namespace archive
