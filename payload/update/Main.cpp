// update.exe: the launcher that the Start-menu and desktop shortcuts start. It starts
// the application from its own folder and ends; when the application is missing or
// cannot be started it says so.
#include <windows.h>

#include <string>

#include "base/SystemLibrary.h"
#include "common/ModuleFolder.h"
#include "common/PayloadPath.h"
#include "common/Product.h"

namespace {

void Complain(const Text& text) {
  MessageBoxA(nullptr, text.c_str(), product::kName, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace

// Exit codes: 0 started, 1 the application is missing, 2 it could not be started.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictDllSearchToSystemFolder();
  const Text folder = payload::ModuleFolder();
  const Text application = payload::JoinPath(folder, product::kApplicationFile);

  const DWORD attributes = GetFileAttributesA(application.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    Complain("起動するプログラムが見つかりません。\r\n\r\n" + application +
             "\r\n\r\nもう一度セットアップを実行してください。");
    return 1;
  }

  Text commandLine = "\"" + application + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(application.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &process)) {
    const DWORD error = GetLastError();
    Complain("プログラムを起動できませんでした。\r\n\r\n" + application + "\r\n\r\n(エラー " +
             std::to_string(error) + ")");
    return 2;
  }
  AllowSetForegroundWindow(process.dwProcessId);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}
