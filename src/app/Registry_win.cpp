#include "app/Registry.h"

#include "base/Exceptions.h"

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
  HKEY base = fromCurrent ? current_.get() : root_;

  HKEY opened = nullptr;
  LONG status;
  if (canCreate && !path.empty()) {
    status = RegCreateKeyExA(base, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_, nullptr,
                             &opened, nullptr);
  } else {
    status = RegOpenKeyExA(base, path.c_str(), 0, access_, &opened);
  }
  if (status != ERROR_SUCCESS) return false;

  // An empty relative path reopens the current key; its path stays as it is rather
  // than gaining a trailing "\".
  Text newPath = path;
  if (fromCurrent) newPath = path.empty() ? currentPath_ : currentPath_ + "\\" + path;
  CloseCurrent();
  current_.reset(opened);
  currentPath_ = newPath;
  return true;
}

void TRegistry::WriteText(const Text& name, const Text& value) {
  const LONG status =
      current_ ? RegSetValueExA(current_.get(), name.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>(value.size() + 1))
               : ERROR_INVALID_HANDLE;
  if (status != ERROR_SUCCESS) throw ERegistryException("'" + name + "' の設定に失敗しました");
}

void TRegistry::CloseCurrent() {
  current_.reset();
  currentPath_.clear();
}
