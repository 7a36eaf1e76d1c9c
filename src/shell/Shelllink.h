#pragma once
// Shell integration: shortcut files and special folders. The object holds no state;
// the setup dialog keeps one from its creation to its close.
#include <windows.h>

#include "base/Text.h"

class TShellLink {
 public:
  // Writes the shortcut file `linkFile` that starts `target`, with the icon at
  // `iconIndex` of `iconFile`, the description, and the target's folder as working
  // folder; an existing file of that name is replaced. Returns the COM result of the
  // last step done: negative on failure (nothing is written then), otherwise success.
  // Every step counts: a target, icon, description or working folder that the link
  // does not take fails the call before anything is saved.
  // COM is initialised for the call and uninitialised again before it returns.
  // A shortcut path, target or icon file longer than 259 characters is refused with
  // HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE).
  HRESULT CreateShortcut(const Text& target, const Text& linkFile, const Text& iconFile, int iconIndex,
                         const Text& description);
  // The file-system path of a special folder (a CSIDL value) into `path`; false, with
  // `path` untouched, when the folder is unknown or has no file-system path.
  bool GetSpecialFolderPath(HWND owner, int folderId, Text& path);
};

// The working folder a shortcut to `target` gets: the folder part of the target
// (double-byte safe), without its final "\" unless that follows a drive or a "\".
Text ShortcutWorkingFolder(const Text& target);
