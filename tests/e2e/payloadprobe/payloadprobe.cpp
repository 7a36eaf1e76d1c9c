// payloadprobe: a console helper for the payload's end-to-end scripts. It runs in the
// same Wine prefix as the programs under test and does what a person (or the
// installer) would: answers message boxes, reads and closes windows, makes shortcuts
// and the registry value, holds a file open, and reads a resource out of a program.
// Arguments and output are UTF-8. Exit code 0 = done, 1 = not found / timed out,
// 2 = usage or system error, 3 = resource missing.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const wchar_t kHeldEvent[] = L"KorvaniProbeHeld";
const wchar_t kReleaseEvent[] = L"KorvaniProbeRelease";
const wchar_t kProductName[] = L"\x30b3\x30eb\x30f4\x30a1\x30cb\x3000\x9818\x53ce\x66f8\x767a\x884c";

void Out(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string utf8(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], n,
                      nullptr, nullptr);
  utf8 += '\n';
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()),
            &written, nullptr);
}

int Fail(const std::wstring& text, int code) {
  Out(L"payloadprobe: " + text);
  return code;
}

std::wstring WindowText(HWND w) {
  wchar_t buffer[4096] = L"";
  DWORD_PTR n = 0;
  SendMessageTimeoutW(w, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                      2000, &n);
  return buffer;
}

std::wstring ClassOf(HWND w) {
  wchar_t buffer[256] = L"";
  GetClassNameW(w, buffer, 256);
  return buffer;
}

// Polls `find` every 50 ms until it gives a window or `ms` have passed.
template <typename Find>
HWND WaitFor(Find find, DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    if (HWND w = find()) return w;
    if (GetTickCount64() >= end) return nullptr;
    Sleep(50);
  }
}

struct BoxSearch {
  const wchar_t* caption;
  HWND found;
};

BOOL CALLBACK FindBox(HWND w, LPARAM p) {
  BoxSearch* s = reinterpret_cast<BoxSearch*>(p);
  if (IsWindowVisible(w) && ClassOf(w) == L"#32770" && WindowText(w) == s->caption) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

HWND MessageBoxWindow(const wchar_t* caption) {
  BoxSearch s = {caption, nullptr};
  EnumWindows(FindBox, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND TopWindowOfClass(const wchar_t* cls) {
  HWND w = FindWindowW(cls, nullptr);
  return (w != nullptr && IsWindowVisible(w)) ? w : nullptr;
}

BOOL CALLBACK PrintChild(HWND w, LPARAM) {
  Out(std::to_wstring(GetDlgCtrlID(w)) + L"\t" + ClassOf(w) + L"\t" + WindowText(w));
  return TRUE;
}

DWORD Ms(const wchar_t* text) { return static_cast<DWORD>(wcstoul(text, nullptr, 10)); }

std::wstring FolderOf(const std::wstring& path) {
  const size_t p = path.find_last_of(L"\\");
  return p == std::wstring::npos ? std::wstring() : path.substr(0, p);
}

int MakeLink(const wchar_t* linkFile, const wchar_t* target) {
  CoInitialize(nullptr);
  IShellLinkW* link = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link));
  if (SUCCEEDED(hr)) {
    link->SetPath(target);
    link->SetIconLocation(target, 0);
    link->SetDescription(kProductName);
    link->SetWorkingDirectory(FolderOf(target).c_str());
    IPersistFile* file = nullptr;
    hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(hr)) {
      hr = file->Save(linkFile, TRUE);
      file->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return SUCCEEDED(hr) ? 0 : Fail(L"cannot save the shortcut", 2);
}

int SpecialFolder(const std::wstring& which) {
  int csidl = -1;
  if (which == L"programs") csidl = CSIDL_PROGRAMS;
  if (which == L"desktop") csidl = CSIDL_DESKTOPDIRECTORY;
  wchar_t path[MAX_PATH] = L"";
  if (which == L"temp") {
    GetTempPathW(MAX_PATH, path);
    std::wstring t = path;
    if (!t.empty() && t.back() == L'\\') t.pop_back();
    Out(t);
    return 0;
  }
  if (csidl < 0 || !SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) {
    return Fail(L"no such folder", 2);
  }
  Out(path);
  return 0;
}

int RegistrySet(const wchar_t* key, const wchar_t* value, const wchar_t* data) {
  HKEY k = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k,
                      nullptr) != ERROR_SUCCESS) {
    return Fail(L"cannot create the key", 2);
  }
  const LONG r = RegSetValueExW(k, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                                static_cast<DWORD>((wcslen(data) + 1) * sizeof(wchar_t)));
  RegCloseKey(k);
  return r == ERROR_SUCCESS ? 0 : Fail(L"cannot set the value", 2);
}

int RegistryGet(const wchar_t* key, const wchar_t* value) {
  wchar_t data[2048] = L"";
  DWORD size = sizeof data;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key, value, RRF_RT_REG_SZ, nullptr, data, &size) !=
      ERROR_SUCCESS) {
    return 1;
  }
  Out(data);
  return 0;
}

int RegistryDeleteTree(const wchar_t* key) {
  const LONG r = RegDeleteTreeW(HKEY_LOCAL_MACHINE, key);
  if (r == ERROR_FILE_NOT_FOUND) return 1;
  if (r != ERROR_SUCCESS) return Fail(L"cannot delete the key", 2);
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, key);
  return 0;
}

int RegistryKeyExists(const wchar_t* key) {
  HKEY k = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return 1;
  RegCloseKey(k);
  return 0;
}

// Opens the file without any sharing and keeps it open until `release`.
int Hold(const wchar_t* path) {
  HANDLE held = CreateEventW(nullptr, TRUE, FALSE, kHeldEvent);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, kReleaseEvent);
  ResetEvent(release);
  HANDLE file = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Fail(L"cannot open the file", 2);
  SetEvent(held);
  WaitForSingleObject(release, 10 * 60 * 1000);
  CloseHandle(file);
  ResetEvent(held);
  return 0;
}

int WaitEvent(const wchar_t* name, DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    HANDLE e = OpenEventW(SYNCHRONIZE, FALSE, name);
    if (e != nullptr) {
      const DWORD r = WaitForSingleObject(e, ms);
      CloseHandle(e);
      return r == WAIT_OBJECT_0 ? 0 : 1;
    }
    if (GetTickCount64() >= end) return 1;
    Sleep(50);
  }
}

int Release() {
  HANDLE e = OpenEventW(EVENT_MODIFY_STATE, FALSE, kReleaseEvent);
  if (e == nullptr) return Fail(L"nothing is held", 1);
  SetEvent(e);
  CloseHandle(e);
  return 0;
}

std::wstring Lower(std::wstring s) {
  for (wchar_t& c : s) c = static_cast<wchar_t>(towlower(c));
  return s;
}

// Names of the running processes whose file name contains `part` (any case).
std::vector<std::wstring> Processes(const std::wstring& part) {
  std::vector<std::wstring> names;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return names;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL ok = Process32FirstW(snapshot, &entry); ok; ok = Process32NextW(snapshot, &entry)) {
    if (Lower(entry.szExeFile).find(Lower(part)) != std::wstring::npos) {
      names.push_back(entry.szExeFile);
    }
  }
  CloseHandle(snapshot);
  return names;
}

int NoProcess(const wchar_t* part, DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    const std::vector<std::wstring> names = Processes(part);
    if (names.empty()) return 0;
    if (GetTickCount64() >= end) {
      for (const std::wstring& n : names) Out(L"still running: " + n);
      return 1;
    }
    Sleep(50);
  }
}

int DumpResource(const wchar_t* exe, const wchar_t* type, const wchar_t* name, const wchar_t* out) {
  HMODULE module = LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return Fail(L"cannot load the program", 2);
  HRSRC info = FindResourceW(module, name, type);
  if (info == nullptr) {
    FreeLibrary(module);
    return Fail(L"no such resource", 3);
  }
  const DWORD size = SizeofResource(module, info);
  const void* bytes = LockResource(LoadResource(module, info));
  HANDLE file = CreateFileW(out, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  const bool ok = file != INVALID_HANDLE_VALUE && bytes != nullptr &&
                  WriteFile(file, bytes, size, &written, nullptr) && written == size;
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  FreeLibrary(module);
  return ok ? 0 : Fail(L"cannot write the resource", 2);
}

int Usage() {
  return Fail(
      L"usage: msgbox CAPTION MS | press CAPTION BUTTON-ID MS | nobox CAPTION MS |"
      L" window CLASS MS | close CLASS MS | link LNK TARGET | folder programs|desktop|temp |"
      L" regset KEY VALUE DATA | regget KEY VALUE | regkey KEY | regdelete KEY | hold FILE | held MS |"
      L" release | noproc NAME-PART MS | resource EXE TYPE NAME OUT",
      2);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  const std::wstring command = argv[1];
  const int n = argc - 2;
  wchar_t** a = argv + 2;

  if (command == L"msgbox" && n == 2) {
    HWND box = WaitFor([&] { return MessageBoxWindow(a[0]); }, Ms(a[1]));
    if (box == nullptr) return Fail(L"no message box", 1);
    Out(WindowText(GetDlgItem(box, 0xFFFF)));
    return 0;
  }
  if (command == L"press" && n == 3) {
    HWND box = WaitFor([&] { return MessageBoxWindow(a[0]); }, Ms(a[2]));
    if (box == nullptr) return Fail(L"no message box", 1);
    HWND button = GetDlgItem(box, static_cast<int>(wcstol(a[1], nullptr, 10)));
    if (button == nullptr) return Fail(L"no such button", 1);
    // Posted, not sent: the box's owner is inside a modal loop.
    PostMessageW(button, BM_CLICK, 0, 0);
    return 0;
  }
  if (command == L"nobox" && n == 2) {
    const ULONGLONG end = GetTickCount64() + Ms(a[1]);
    while (MessageBoxWindow(a[0]) != nullptr) {
      if (GetTickCount64() >= end) return Fail(L"the message box is still there", 1);
      Sleep(50);
    }
    return 0;
  }
  if (command == L"window" && n == 2) {
    HWND w = WaitFor([&] { return TopWindowOfClass(a[0]); }, Ms(a[1]));
    if (w == nullptr) return Fail(L"no such window", 1);
    Out(L"title\t" + WindowText(w));
    EnumChildWindows(w, PrintChild, 0);
    return 0;
  }
  if (command == L"close" && n == 2) {
    HWND w = TopWindowOfClass(a[0]);
    if (w == nullptr) return Fail(L"no such window", 1);
    PostMessageW(w, WM_CLOSE, 0, 0);
    const ULONGLONG end = GetTickCount64() + Ms(a[1]);
    while (IsWindow(w)) {
      if (GetTickCount64() >= end) return Fail(L"the window is still there", 1);
      Sleep(50);
    }
    return 0;
  }
  if (command == L"link" && n == 2) return MakeLink(a[0], a[1]);
  if (command == L"folder" && n == 1) return SpecialFolder(a[0]);
  if (command == L"regset" && n == 3) return RegistrySet(a[0], a[1], a[2]);
  if (command == L"regget" && n == 2) return RegistryGet(a[0], a[1]);
  if (command == L"regdelete" && n == 1) return RegistryDeleteTree(a[0]);
  if (command == L"regkey" && n == 1) return RegistryKeyExists(a[0]);
  if (command == L"hold" && n == 1) return Hold(a[0]);
  if (command == L"held" && n == 1) return WaitEvent(kHeldEvent, Ms(a[0]));
  if (command == L"release" && n == 0) return Release();
  if (command == L"noproc" && n == 2) return NoProcess(a[0], Ms(a[1]));
  if (command == L"resource" && n == 4) return DumpResource(a[0], a[1], a[2], a[3]);
  return Usage();
}
