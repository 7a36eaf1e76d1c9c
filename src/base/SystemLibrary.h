#pragma once
// DLLs from the system folder only. The programs run elevated from a folder that
// another user may write to (Downloads): a DLL found there by name would run with the
// administrator's rights. So each program first restricts every later DLL load to the
// system folder, and the DLLs that are not the system's known DLLs are not imported
// but loaded from the system folder at run time (Win32).
#include <windows.h>

#include "base/Handle.h"
#include "base/Text.h"

// The first statement of every program: later DLL loads by name search only the system
// folder. On a system without that call, the current folder leaves the search and the
// DLLs that system DLLs load by name are loaded from the system folder now, so that a
// later load by name finds them already loaded.
void RestrictDllSearchToSystemFolder();

// A DLL loaded from the system folder, freed with the object.
class SystemLibrary {
 public:
  // Throws Exception naming the DLL when it cannot be loaded.
  explicit SystemLibrary(const char* name);

  // An exported function, as type F; throws Exception naming it when it is missing.
  template <class F>
  F Proc(const char* name) const {
    return reinterpret_cast<F>(reinterpret_cast<void*>(Address(name)));
  }

 private:
  FARPROC Address(const char* name) const;
  Text name_;
  UniqueModule module_;
};
