#pragma once
// Folder and file services over the Windows file system (ANSI paths, Shift-JIS).
#include "base/Text.h"

// The full path of the running program file.
Text ExecutablePath();
// -1, 0 or 1 as a sorts before, equal to or after b in the user's locale, ignoring case.
int CompareTextNoCase(const Text& a, const Text& b);
// True when the path names an existing object with the directory attribute.
bool FolderExists(const Text& path);
// Creates one folder with default security (its parent's inheritable rights); true on
// success.
bool MakeFolder(const Text& path);
// Creates one folder with the protected security descriptor of FolderSecurity.h; true
// on success. Nothing is made when the descriptor cannot be.
bool MakeProtectedFolder(const Text& path);
// Creates the folder and every missing parent, from the outermost inwards, each with
// the protected security descriptor; true when the folder exists or was made. A folder
// that exists already is left as it is. Throws Exception on an empty path.
bool MakeFolderPath(const Text& path);
// True when the path names an existing entry that is not a folder (and whose time
// converts to a DOS date).
bool IsExistingFile(const Text& path);
// Makes the folder the process's current folder; throws EInOutError when it cannot.
void ChangeFolder(const Text& path);
// The process's current folder (drive 0) or the current folder of drive 1 = A, ...
Text CurrentFolder(int drive);
