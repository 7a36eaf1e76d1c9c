#pragma once
// What the folder and file lists show, worked out from path texts alone: the path items
// of a folder (the drive or share, each ancestor, the folder itself), the path behind
// each of them, their indentation, and the file list's masks and program names.
#include <vector>

#include "base/Text.h"

// The kind of an item of the folder list; it chooses the item's glyph.
enum class TFolderItemKind {
  Ancestor,   // a level above the current folder: open folder
  Current,    // the current folder itself: open folder with a dark back
  Subfolder,  // a folder inside the current folder: closed folder
};

struct FolderItem {
  Text text;
  TFolderItemKind kind;
};

// The path items of a folder, outermost first: for C:\Program Files\Tolvar the items
// C:\, Program Files and Tolvar; for \\srv\pub\docs the items \\srv\pub\ and docs. The
// last item is the current folder's own, except at the root of a network share, where
// the share item stands alone and is an ancestor item.
std::vector<FolderItem> FolderPathItems(const Text& currentDir);

// The path behind path item `index` (0 = the drive or share root, then the ancestors):
// the drive part followed by the part of currentDir before its (index + 1)-th "\".
Text PathItemPath(const Text& currentDir, int index);

// Left offsets, in pixels, at which the glyph of an item is drawn: path items step
// right by 4 per level; subfolders sit one step beyond the deepest level.
int PathItemOffset(int index);
int SubfolderOffset(const Text& currentDir);

// The masks of a mask text, split at ";" ("*.txt;*.doc"); empty pieces are left out.
std::vector<Text> SplitMasks(const Text& masks);

// Whether a file name has the extension of a program: .exe, .com, .bat or .pif.
bool IsProgramName(const Text& name);
