// A stand-in for a system DLL, such as another user could leave beside a program that
// runs elevated. Built under the names of system DLLs; when a process loads it, it
// leaves the empty file "<its own path>.ran" and does nothing else.
#include <windows.h>

#include "base/Handle.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char path[MAX_PATH + 8];
  const DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return TRUE;
  lstrcpyA(path + n, ".ran");
  UniqueFile marker(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  return TRUE;
}
