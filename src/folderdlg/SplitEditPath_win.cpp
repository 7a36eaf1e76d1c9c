#include "folderdlg/SplitEditPath.h"

#include "app/Folders.h"
#include "app/PathText.h"

namespace {

bool IsFileListFolderEntry(const Text& text) {
  return text.size() >= 2 && text[0] == '[' && text.back() == ']' &&
         !sjis::IsTrailByte(text, text.size() - 1);
}

bool HasWildcard(const Text& name) {
  return name.find('*') != Text::npos || name.find('?') != Text::npos;
}

// The steps that move through the file system; the caller puts the current folder back.
void EnterParts(EditPathParts& parts, const Text& driveText) {
  Text& dirPart = parts.dirPart;
  Text& filePart = parts.filePart;
  // A bare drive enters the folder last current on that drive.
  if (FolderExists(driveText)) ChangeFolder(driveText);
  filePart = NamePart(dirPart);
  if (dirPart.size() == filePart.size() + 1) {
    dirPart = "\\";
  } else if (dirPart.size() > filePart.size()) {
    dirPart.erase(dirPart.size() - filePart.size() - 1);
  } else {
    const Text current = CurrentFolder(0);
    dirPart = current.substr(DrivePart(current).size());
    if (dirPart.empty()) dirPart = "\\";
  }
  if (!dirPart.empty()) ChangeFolder(dirPart);
  // A name without wildcards that is not a file names a folder: enter it too.
  if (!filePart.empty() && !HasWildcard(filePart) && !IsExistingFile(filePart)) {
    ChangeFolder(filePart);
    dirPart = dirPart == "\\" ? "\\" + filePart : dirPart + "\\" + filePart;
    filePart.clear();
  }
  if (parts.drive == 0) dirPart = driveText + dirPart;
}

}  // namespace

EditPathParts SplitEditPath(const Text& typed) {
  const Text saved = CurrentFolder(0);
  EditPathParts parts;
  parts.drive = saved.empty() ? 0 : saved[0];
  Text driveText;
  parts.dirPart = typed;
  if (IsFileListFolderEntry(parts.dirPart)) {
    parts.dirPart = parts.dirPart.substr(1, parts.dirPart.size() - 2);
  } else {
    driveText = DrivePart(parts.dirPart);
    if (!driveText.empty()) {
      parts.dirPart.erase(0, driveText.size());
    } else {
      driveText = DrivePart(saved);
    }
    parts.drive = driveText.size() >= 2 && driveText[1] == ':' ? driveText[0] : 0;
  }
  const auto restore = [&saved] {
    if (FolderExists(saved)) ChangeFolder(saved);
  };
  try {
    EnterParts(parts, driveText);
  } catch (...) {
    try {
      restore();
    } catch (...) {
      // The folder the process was in is gone meanwhile; the first error is the one to report.
    }
    throw;
  }
  restore();
  return parts;
}
