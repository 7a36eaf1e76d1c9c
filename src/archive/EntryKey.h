#pragma once
// When two entry names are one file on Windows.
#include <string>

namespace archive {

// The key of an entry name as NTFS tells files apart, from the name in UTF-8 as Windows
// reads its Shift-JIS bytes (code page 932): in every "\"-separated component the
// trailing dots and spaces are dropped ("a.txt." is "a.txt"), and every character is in
// upper case (UpperCase), so "ⅰ.txt" and "Ⅰ.TXT" have one key. Two names with equal
// keys name one file, and a
// name whose key is another's followed by "\" needs a folder where the other is a file.
// Bytes that are not UTF-8 stay as they are.
std::string EntryKey(const std::string& utf8);

}  // namespace archive
