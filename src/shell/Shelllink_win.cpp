#include "shell/Shelllink.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "app/PathText.h"
#include "base/Handle.h"

namespace {
const int kLinkPathUnits = MAX_PATH;  // UTF-16 units of a shortcut path, terminator included

// The shell link class and the two interfaces used here. Defined here, so that the
// program does not link the object of the system's GUID library that holds them, with
// some two thousand others.
const GUID kShellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kShellLinkInterface = {0x000214EE, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kPersistFileInterface = {0x0000010B, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
}

Text ShortcutWorkingFolder(const Text& target) { return ContainingFolder(target); }

HRESULT TShellLink::CreateShortcut(const Text& target, const Text& linkFile, const Text& iconFile,
                                   int iconIndex, const Text& description) {
  HRESULT result = CoInitialize(nullptr);
  if (FAILED(result)) return result;
  {
    ComPtr<IShellLinkA> link;
    result = CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, kShellLinkInterface,
                              link.put_void());
    ComPtr<IPersistFile> file;
    if (SUCCEEDED(result)) result = link->QueryInterface(kPersistFileInterface, file.put_void());
    // A property the link does not take fails the shortcut: saved without it, it would
    // start nothing and still count as made. The link keeps its paths in fields of
    // kLinkPathUnits; a longer target is not always refused by the link itself (Wine
    // answers S_FALSE and keeps a cut text), so it is refused here first.
    const auto fits = [](const Text& path) {
      return MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0) <= kLinkPathUnits;
    };
    const HRESULT tooLong = HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    if (SUCCEEDED(result)) result = fits(target) ? link->SetPath(target.c_str()) : tooLong;
    if (SUCCEEDED(result)) {
      result = fits(iconFile) ? link->SetIconLocation(iconFile.c_str(), iconIndex) : tooLong;
    }
    if (SUCCEEDED(result)) result = link->SetDescription(description.c_str());
    if (SUCCEEDED(result)) result = link->SetWorkingDirectory(ShortcutWorkingFolder(target).c_str());
    if (SUCCEEDED(result)) {
      // A path that does not fit is refused whole: a cut one would name another file.
      wchar_t widePath[kLinkPathUnits];
      if (MultiByteToWideChar(CP_ACP, 0, linkFile.c_str(), -1, widePath, kLinkPathUnits) == 0) {
        result = HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
      } else {
        result = file->Save(widePath, TRUE);
      }
    }
    // The interfaces obtained are released here, before COM goes.
  }
  CoUninitialize();
  return result;
}

bool TShellLink::GetSpecialFolderPath(HWND owner, int folderId, Text& path) {
  LPITEMIDLIST items = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(owner, folderId, &items))) return false;
  char buffer[MAX_PATH] = {};
  const BOOL found = SHGetPathFromIDListA(items, buffer);
  CoTaskMemFree(items);
  if (!found) return false;
  path = buffer;
  return true;
}
