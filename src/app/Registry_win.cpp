#include "app/Registry.h"

#include "base/Exceptions.h"

TRegistry::KeyOpenCall TRegistry::OpenKeyCall = &RegOpenKeyExA;
TRegistry::KeyCloseCall TRegistry::CloseKeyCall = &RegCloseKey;

namespace {

bool IsPredefinedKey(HKEY key) {
  for (HKEY predefined : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                          HKEY_PERFORMANCE_DATA, HKEY_CURRENT_CONFIG, HKEY_DYN_DATA}) {
    if (key == predefined) return true;
  }
  return false;
}

}  // namespace

TRegistry::~TRegistry() { CloseCurrent(); }

void TRegistry::SelectRoot(HKEY root) {
  if (root == root_) return;
  root_ = root;
  CloseCurrent();
}

bool TRegistry::OpenPath(const Text& keyPath, bool canCreate) {
  const bool relative = keyPath.empty() || keyPath[0] != '\\';
  const Text path = relative ? keyPath : keyPath.substr(1);
  const bool fromCurrent = relative && current_;
  HKEY base = fromCurrent ? current_ : root_;

  HKEY opened = nullptr;
  LONG status;
  if (canCreate && !path.empty()) {
    status = RegCreateKeyExA(base, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_, nullptr,
                             &opened, nullptr);
  } else {
    status = OpenKeyCall(base, path.c_str(), 0, access_, &opened);
  }
  if (status != ERROR_SUCCESS) return false;

  // An empty relative path reopens the current key; its path stays as it is rather
  // than gaining a trailing "\".
  Text newPath = path;
  if (fromCurrent) newPath = path.empty() ? currentPath_ : currentPath_ + "\\" + path;
  // An empty path may give back the very handle it started from (a predefined root
  // key, which is never ours to close, or the current key, which stays ours).
  if (opened == current_) {
    currentPath_ = newPath;
    return true;
  }
  CloseCurrent();
  current_ = opened;
  ownsCurrent_ = !IsPredefinedKey(opened);
  currentPath_ = newPath;
  return true;
}

void TRegistry::WriteText(const Text& name, const Text& value) {
  const LONG status =
      current_ ? RegSetValueExA(current_, name.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>(value.size() + 1))
               : ERROR_INVALID_HANDLE;
  if (status != ERROR_SUCCESS) throw ERegistryException("'" + name + "' の設定に失敗しました");
}

void TRegistry::CloseCurrent() {
  if (current_ != nullptr && ownsCurrent_) CloseKeyCall(current_);
  current_ = nullptr;
  ownsCurrent_ = false;
  currentPath_.clear();
}
