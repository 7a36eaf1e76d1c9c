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
// Dir + Name with one "\" between them; none is added when Dir already ends in "\".
Text JoinPath(const Text& dir, const Text& name);
// The part after the last "\" or ":"; the whole path when it has neither.
Text NamePart(const Text& path);
// True when the path names one place whatever the process's current folder: a drive
// letter with its colon and a "\" (c:\a), or a server and a share (\\server\share).
// a\b, ..\a, c:a (in the current folder of drive C) and \a (at the root of the current
// drive) are relative. Windows takes "/" for "\" in both forms.
bool IsFullPath(const Text& path);
