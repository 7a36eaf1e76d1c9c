#pragma once
// Registry access: a root key, the key that values are written into, and the rights
// asked for when a key is opened or created. The current key is closed on release.
#include <windows.h>

#include "base/Text.h"
#include "base/Handle.h"

class TRegistry {
 public:
  TRegistry() = default;  // root HKEY_CURRENT_USER, all access, no current key
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey() const { return root_; }
  REGSAM Access() const { return access_; }
  void SetAccess(REGSAM access) { access_ = access; }
  HKEY CurrentKey() const { return current_; }
  // Path of the current key below the root, without a leading "\".
  const Text& CurrentPath() const { return currentPath_; }

  // Chooses the root of absolute paths; a different root closes the current key.
  void SelectRoot(HKEY root);
  // Opens (or, with canCreate, creates and opens) a key and makes it current: a path
  // that starts with "\" is taken from the root, any other from the current key when
  // one is open. False on failure, and the current key stays as it was.
  bool OpenPath(const Text& keyPath, bool canCreate);
  // Stores a REG_SZ value in the current key (the text and one zero byte); throws
  // ERegistryException when it cannot, also when no key is current.
  void WriteText(const Text& name, const Text& value);
  void CloseCurrent();

  // The calls that open and close keys. Tests replace them to see which keys are closed,
  // and to meet the platform's answer for an empty path below a predefined key (the key
  // itself, as Windows gives it), which Wine does not give.
  using KeyOpenCall = LONG(WINAPI*)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
  using KeyCloseCall = LONG(WINAPI*)(HKEY);
  static KeyOpenCall OpenKeyCall;
  static KeyCloseCall CloseKeyCall;

 private:
  HKEY root_ = HKEY_CURRENT_USER;
  REGSAM access_ = KEY_ALL_ACCESS;
  HKEY current_ = nullptr;
  // False for a predefined root key that became current as itself: that handle belongs
  // to the system and is never closed.
  bool ownsCurrent_ = false;
  Text currentPath_;
};
