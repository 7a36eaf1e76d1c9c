#include "folderdlg/FolderItems.h"

#include "app/PathText.h"
#include "folderdlg/PathRoutines.h"

std::vector<FolderItem> FolderPathItems(const Text& currentDir) {
  std::vector<FolderItem> items;
  const Text root = DrivePart(currentDir) + "\\";
  int level = 0;
  Text rest = currentDir;
  if (root.size() >= 2 && root[1] == '\\') {  // a network path: the share comes first
    items.push_back({root, TFolderItemKind::Ancestor});
    level = 1;
    rest = currentDir.size() > root.size() ? currentDir.substr(root.size()) : Text();
  }
  if (!rest.empty()) {
    // A drive root such as C:\ ends in "\" and is the current item as a whole.
    const bool endsInBackslash = rest.back() == '\\' && !sjis::IsTrailByte(rest, rest.size() - 1);
    if (!endsInBackslash) {
      for (std::size_t slash = FindBackslash(rest); slash != Text::npos; slash = FindBackslash(rest)) {
        Text part = rest.substr(0, slash);
        if (level == 0) part += "\\";  // the drive item reads like C:\ .
        rest.erase(0, slash + 1);
        items.push_back({part, TFolderItemKind::Ancestor});
        ++level;
      }
    }
    items.push_back({rest, TFolderItemKind::Current});
  }
  return items;
}

Text PathItemPath(const Text& currentDir, int index) {
  const Text drive = DrivePart(currentDir);
  if (index <= 0) return drive + "\\";
  const Text folders = currentDir.substr(drive.size());
  std::size_t end = Text::npos;
  std::size_t from = 0;
  for (int n = 0; n <= index; ++n) {
    end = FindBackslash(folders, from);
    if (end == Text::npos) break;
    from = end + 1;
  }
  return drive + folders.substr(0, end);
}

int PathItemOffset(int index) { return index * 4 + 2; }

int SubfolderOffset(const Text& currentDir) { return (BackslashCount(currentDir) + 1) * 4 + 2; }

std::vector<Text> SplitMasks(const Text& masks) {
  std::vector<Text> out;
  std::size_t start = 0;
  while (start < masks.size()) {
    std::size_t end = masks.find(';', start);
    if (end == Text::npos) end = masks.size();
    if (end > start) out.push_back(masks.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

bool IsProgramName(const Text& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == Text::npos) return false;
  const Text extension = AsciiLowerCase(name.substr(dot));
  return extension == ".exe" || extension == ".com" || extension == ".bat" || extension == ".pif";
}
