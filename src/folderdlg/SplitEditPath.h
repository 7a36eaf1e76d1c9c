#pragma once
// Splitting a path as the user typed it into its drive, folder part and file part,
// checking the parts against the file system. The process's current folder is the
// working state: it is moved while the parts are tried, and put back before returning.
#include "base/Text.h"

struct EditPathParts {
  char drive = 0;  // the drive letter as typed or current; 0 for a network path
  Text dirPart;    // the folder, without the drive (with the share for a network path)
  Text filePart;   // a file name or a mask; empty when the path names a folder
};

// C:\Program Files\Tolvar gives C, \Program Files\Tolvar and no file part; D:\docs\*.txt
// gives D, \docs and *.txt; [sub] (a folder entry of a file list) gives the current
// folder's sub folder; a bare D: gives drive D's current folder. Throws EInOutError when
// a part names a folder that cannot be entered; the current folder is put back first.
EditPathParts SplitEditPath(const Text& typed);
