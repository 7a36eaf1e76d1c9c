#pragma once
// When two entry names are one file on Windows.
#include "base/Text.h"

namespace archive {

// The name as Windows tells files apart: in every "\"-separated component the trailing
// dots and spaces are dropped ("a.txt." is "a.txt"), and letters are compared without
// regard to case: ASCII and the double-byte (full-width) Latin, Greek and Cyrillic
// letters of Shift-JIS ("Ａ" is "ａ"). Two names with equal keys name one file.
Text EntryKey(const Text& name);

}  // namespace archive
