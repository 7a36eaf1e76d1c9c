#pragma once
// The folder dialog's path routines: joining a folder and a name, shortening a path to a
// width with "...\", counting backslashes, and the file-name case rule for the letters
// A to Z. Every scan steps over double-byte characters, so the second byte of a
// character such as "ソ" (83 5C) is never taken for a "\".
#include <cstddef>
#include <functional>

#include "app/PathText.h"  // JoinPath
#include "base/Text.h"

// One shortening step on a folder part: its first folder is replaced by "...\" (a marker
// left by an earlier step is taken out first); a leading "\" stays.
void DropFirstFolder(Text& folders);

// The width of a text in pixels, as drawn in some font.
using TextWidthMeasure = std::function<int(const Text&)>;

// The path shortened, folder by folder from the left, until `width` of it is at most
// maxWidth: C:\a\b\name, C:\...\b\name, C:\...\name, ...\name, name. A path that fits is
// returned unchanged, and a name alone is returned whole however wide it is.
Text ShortenPath(const Text& path, const TextWidthMeasure& width, int maxWidth);

// The number of real "\" characters in the path.
int BackslashCount(const Text& path);

// The 0-based position of the first real "\" at or after `from`; Text::npos when none.
std::size_t FindBackslash(const Text& text, std::size_t from = 0);

// The number of characters of a text, a double-byte character counting as one.
std::size_t CharCount(const Text& text);

// The first `count` characters of a text, in bytes.
std::size_t CharsToBytes(const Text& text, std::size_t count);

// The file-name case rule of a double-byte locale: only A to Z and a to z change case;
// double-byte characters (whose second byte may look like a letter) stay as they are.
Text AsciiLowerCase(const Text& text);
Text AsciiUpperCase(const Text& text);
