#include "base/SystemLibrary.h"

#include "base/Exceptions.h"

namespace {

using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);

// The system folder followed by `name`, or empty when the system cannot tell it.
Text SystemFolderFile(const char* name) {
  char folder[MAX_PATH];
  const UINT n = GetSystemDirectoryA(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return Text();
  return Text(folder, n) + "\\" + name;
}

HMODULE LoadFromSystemFolder(const char* name) {
  HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module != nullptr || GetLastError() != ERROR_INVALID_PARAMETER) return module;
  // A system that does not know the flag: the full path, and the DLL's own imports
  // searched from its folder.
  const Text path = SystemFolderFile(name);
  return path.empty() ? nullptr : LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

void RestrictDllSearchToSystemFolder() {
  const auto restrict = reinterpret_cast<SetDefaultDllDirectoriesProc>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
  if (restrict != nullptr && restrict(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  SetDllDirectoryA("");
  // Loaded by name by the window, shell and crypto DLLs; kept until the process ends.
  static UniqueModule preloaded[] = {
      UniqueModule(LoadFromSystemFolder("uxtheme.dll")),
      UniqueModule(LoadFromSystemFolder("version.dll")),
      UniqueModule(LoadFromSystemFolder("cryptbase.dll")),
  };
  (void)preloaded;
}

SystemLibrary::SystemLibrary(const char* name) : name_(name), module_(LoadFromSystemFolder(name)) {
  if (!module_) throw Exception("システムの " + name_ + " を読み込めません");
}

FARPROC SystemLibrary::Address(const char* name) const {
  FARPROC address = GetProcAddress(module_.get(), name);
  if (address == nullptr) throw Exception("システムの " + name_ + " に " + Text(name) + " がありません");
  return address;
}
