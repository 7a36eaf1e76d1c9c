#pragma once
// Splitting paths without breaking double-byte characters: a byte 0x5C that is the
// second byte of a character such as "ソ" (83 5C) is never taken for a "\".
#include "base/Text.h"

// The path up to and including its last "\" or ":"; empty when it has neither.
Text FolderPrefix(const Text& path);
// The folder part without its trailing "\", except that a "\" directly after a drive
// colon or another "\" stays.
Text ContainingFolder(const Text& path);
// A drive letter with its colon, or the server and share of a network path; else empty.
Text DrivePart(const Text& path);
// The part after the last "\" or ":"; the whole path when it has neither.
Text NamePart(const Text& path);
