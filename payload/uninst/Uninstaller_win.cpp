#include "uninst/Uninstaller.h"

#include <windows.h>
#include <objbase.h>
#include <sddl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>

#include "base/Handle.h"
#include "common/ModuleFolder.h"
#include "common/PayloadPath.h"
#include "common/Product.h"

namespace uninst {

namespace {

constexpr DWORD kParentWaitMs = 60 * 1000;
// The first process's image may stay mapped a moment after it has ended.
constexpr int kOwnFileTries = 25;
constexpr DWORD kOwnFileRetryMs = 200;

// The removing copy's folder: the system and administrators only, nothing inherited from
// the folder above it.
constexpr char kCopyFolderAccess[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
constexpr char kCopyFile[] = "korvani-uninst.exe";

// Creates a new folder for the removing copy below the Windows folder's Temp, with the
// access list above. Only a name that did not exist is taken, so nothing in it (a link,
// a planted DLL) can have been prepared by another user. Returns 0 or the system's error.
DWORD MakeCopyFolder(Text* folder) {
  char windows[MAX_PATH];
  const UINT n = GetSystemWindowsDirectoryA(windows, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return ERROR_PATH_NOT_FOUND;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kCopyFolderAccess, SDDL_REVISION_1,
                                                            &descriptor, nullptr)) {
    return GetLastError();
  }
  const UniqueLocalMemory descriptorOwner(descriptor);
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
  const Text temp = payload::JoinPath(Text(windows, n), "Temp");
  LARGE_INTEGER now = {};
  QueryPerformanceCounter(&now);
  const std::string unique = std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(static_cast<unsigned long long>(now.QuadPart) & 0xFFFFFFu);
  DWORD error = ERROR_ALREADY_EXISTS;
  for (int i = 0; i < 100 && error == ERROR_ALREADY_EXISTS; ++i) {
    *folder = payload::JoinPath(temp, "korvani-uninst-" + unique + "-" + std::to_string(i));
    error = CreateDirectoryA(folder->c_str(), &attributes) ? 0 : GetLastError();
  }
  return error;
}

bool Exists(const Text& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsAbsent(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

Text FullLongPath(const Text& path) {
  char full[MAX_PATH * 2];
  DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  if (n == 0 || n >= sizeof full) return path;
  char longPath[MAX_PATH * 2];
  n = GetLongPathNameA(full, longPath, sizeof longPath);
  if (n == 0 || n >= sizeof longPath) return full;
  return longPath;
}

// Deletes one file; a file that is not there is no failure. `tries` > 1 retries while
// the file is still in use.
void RemoveFile(const Text& path, int tries, Outcome* outcome) {
  DWORD error = 0;
  for (int attempt = 0; attempt < tries; ++attempt) {
    if (DeleteFileA(path.c_str())) {
      ++outcome->removed;
      return;
    }
    error = GetLastError();
    if (IsAbsent(error)) return;
    if (error == ERROR_ACCESS_DENIED) {
      const DWORD attributes = GetFileAttributesA(path.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
        if (DeleteFileA(path.c_str())) {
          ++outcome->removed;
          return;
        }
        error = GetLastError();
      }
    }
    if (attempt + 1 < tries) Sleep(kOwnFileRetryMs);
  }
  outcome->failed.push_back({path, error});
}

// Removes a folder that should now be empty. One that still holds something is kept
// (with the reason), any other failure is reported.
void RemoveFolder(const Text& path, const char* whyKept, Outcome* outcome) {
  if (RemoveDirectoryA(path.c_str())) {
    ++outcome->removed;
    return;
  }
  const DWORD error = GetLastError();
  if (IsAbsent(error)) return;
  if (error == ERROR_DIR_NOT_EMPTY) {
    outcome->kept.push_back({path, whyKept});
  } else {
    outcome->failed.push_back({path, error});
  }
}

// The target of a shortcut file as stored in it, or false when it cannot be read.
bool ReadLinkTarget(const Text& linkFile, Text* target) {
  const HRESULT init = CoInitialize(nullptr);
  bool ok = false;
  IShellLinkA* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      wchar_t wide[MAX_PATH];
      char path[MAX_PATH];
      if (MultiByteToWideChar(CP_ACP, 0, linkFile.c_str(), -1, wide, MAX_PATH) > 0 &&
          SUCCEEDED(file->Load(wide, STGM_READ)) &&
          link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH) == S_OK) {
        *target = path;
        ok = true;
      }
      file->Release();
    }
    link->Release();
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return ok;
}

// The registry views that may hold the value: the 32-bit view, where the installer
// writes it (as 32-bit installers always did on 64-bit Windows, and where the
// application reads it), then the 64-bit view, where earlier 64-bit releases of the
// installer wrote it. An uninstallation leaves neither behind.
struct RegistryView {
  REGSAM flag;
  const char* shownAs;  // the key's place below HKEY_LOCAL_MACHINE as regedit shows it
};
constexpr RegistryView kRegistryViews[] = {{KEY_WOW64_32KEY, "Software\\WOW6432Node\\"},
                                           {KEY_WOW64_64KEY, "Software\\"}};

Text RegistryItem(const RegistryView& view, const char* key, const char* value) {
  const Text path = key;
  const Text software = "Software\\";
  Text item = Text("HKEY_LOCAL_MACHINE\\") + view.shownAs + path.substr(software.size());
  if (value != nullptr) item += Text(" の値 ") + value;
  return item;
}

void RemoveRegistryEntries(const RegistryView& view, Outcome* outcome) {
  const char* valueKey = product::kRegistryKeys[product::kRegistryKeyCount - 1];
  HKEY key = nullptr;
  LONG r = RegOpenKeyExA(HKEY_LOCAL_MACHINE, valueKey, 0, KEY_SET_VALUE | view.flag, &key);
  if (r == ERROR_FILE_NOT_FOUND) return;  // nothing of ours is left there
  if (r != ERROR_SUCCESS) {
    outcome->failed.push_back({RegistryItem(view, valueKey, product::kRegistryValue),
                               static_cast<unsigned long>(r)});
    return;
  }
  r = RegDeleteValueA(key, product::kRegistryValue);
  RegCloseKey(key);
  if (r == ERROR_SUCCESS) {
    ++outcome->removed;
  } else if (r != ERROR_FILE_NOT_FOUND) {
    outcome->failed.push_back({RegistryItem(view, valueKey, product::kRegistryValue),
                               static_cast<unsigned long>(r)});
    return;
  }
  // Then the keys that this leaves empty, innermost first; a key that holds anything
  // else belongs to something else too and stays.
  for (int i = product::kRegistryKeyCount - 1; i >= 0; --i) {
    const char* name = product::kRegistryKeys[i];
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, name, 0, KEY_QUERY_VALUE | view.flag, &key) != ERROR_SUCCESS) {
      return;
    }
    DWORD subkeys = 0;
    DWORD values = 0;
    r = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS || subkeys != 0 || values != 0) return;
    r = RegDeleteKeyExA(HKEY_LOCAL_MACHINE, name, view.flag, 0);
    if (r == ERROR_SUCCESS) {
      ++outcome->removed;
    } else if (r != ERROR_FILE_NOT_FOUND) {
      outcome->failed.push_back({RegistryItem(view, name, nullptr), static_cast<unsigned long>(r)});
      return;
    }
  }
}

}  // namespace

Text SpecialFolderPath(int csidl) {
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list))) return Text();
  char path[MAX_PATH];
  const bool ok = SHGetPathFromIDListA(list, path) != FALSE;
  CoTaskMemFree(list);
  return ok ? Text(path) : Text();
}

unsigned long StartRemovingCopy(const Text& installFolder) {
  Text folder;
  DWORD error = MakeCopyFolder(&folder);
  if (error != 0) return error;
  char system[MAX_PATH];
  const UINT n = GetSystemDirectoryA(system, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return ERROR_PATH_NOT_FOUND;
  const Text copy = payload::JoinPath(folder, kCopyFile);
  // The folder is new, so the copy is a new file, never written through a name that was there.
  if (!CopyFileA(payload::ModulePath().c_str(), copy.c_str(), TRUE)) {
    error = GetLastError();
    RemoveDirectoryA(folder.c_str());
    return error;
  }

  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  // From here until it has started, nobody may write, rename or delete the copy; it goes
  // away when the last handle to it is closed: this one, which the copy inherits and
  // holds until it ends.
  UniqueFile cleanup(CreateFileA(copy.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, &inherit,
                                 OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!cleanup) {
    error = GetLastError();
    DeleteFileA(copy.c_str());
    RemoveDirectoryA(folder.c_str());
    return error;
  }
  HANDLE selfProcess = nullptr;
  DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &selfProcess,
                  SYNCHRONIZE, TRUE, 0);

  Text commandLine = RemoverCommandLine(
      copy, installFolder, static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(selfProcess)));
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  // The copy works from the system folder, so that nothing of it holds the installation
  // folder or its own.
  const BOOL started = CreateProcessA(copy.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0,
                                      nullptr, Text(system, n).c_str(), &startup, &process);
  error = started ? 0 : GetLastError();
  if (started) {
    AllowSetForegroundWindow(process.dwProcessId);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // Nothing can remove the folder while the copy runs in it, nor the copy while the
    // system still has it mapped when its handle closes: the next restart removes what
    // is left, and nobody else can put anything at these paths meanwhile.
    MoveFileExA(copy.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExA(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  } else {
    cleanup.reset();
    RemoveDirectoryA(folder.c_str());
  }
  // selfProcess stays open: it is this process, and ends with it.
  return error;
}

void WaitForFirstProcess(unsigned long long handle) {
  if (handle == 0) return;
  HANDLE process = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle));
  WaitForSingleObject(process, kParentWaitMs);
  CloseHandle(process);
}

Outcome RemoveInstallation(const RemovalPlan& plan) {
  Outcome outcome;

  // Decide about the desktop shortcut while its target can still be resolved.
  bool desktopLinkIsOurs = false;
  if (!plan.desktopLink.empty() && Exists(plan.desktopLink)) {
    Text target;
    if (!ReadLinkTarget(plan.desktopLink, &target)) {
      outcome.kept.push_back({plan.desktopLink, "ショートカットの内容を読めませんでした"});
    } else if (DesktopLinkBelongs(target, plan.installFolder) ||
               DesktopLinkBelongs(FullLongPath(target), FullLongPath(plan.installFolder))) {
      desktopLinkIsOurs = true;
    } else {
      outcome.kept.push_back({plan.desktopLink, "ほかのフォルダーのプログラムを指しています"});
    }
  }

  for (const Text& file : plan.files) {
    const bool own =
        payload::SamePath(file, payload::JoinPath(plan.installFolder, product::kUninstallerFile));
    RemoveFile(file, own ? kOwnFileTries : 1, &outcome);
  }
  RemoveFolder(plan.installFolder, "ほかのファイルが残っています", &outcome);

  for (const Text& link : plan.startMenuLinks) RemoveFile(link, 1, &outcome);
  if (!plan.startMenuFolder.empty()) {
    RemoveFolder(plan.startMenuFolder, "ほかのショートカットが残っています", &outcome);
  }
  if (desktopLinkIsOurs) RemoveFile(plan.desktopLink, 1, &outcome);

  for (const RegistryView& view : kRegistryViews) RemoveRegistryEntries(view, &outcome);
  return outcome;
}

}  // namespace uninst
