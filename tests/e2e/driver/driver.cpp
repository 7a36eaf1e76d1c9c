// The end-to-end driver: runs in the same Wine session as the programs under test and
// does what a user (or the installer) would. It finds windows, reads them (class,
// caption, rectangles, control texts and states) and works them (clicks, keys, the
// close box); it also makes and reads shortcuts and registry values, holds a file
// open, and reads and replaces resources. Arguments and output are UTF-8, one fact
// per line.
//
// Windows:
//   driver list                            visible top-level windows
//   driver wait WINDOW [ms]                wait until a window matching WINDOW is visible
//   driver gone WINDOW [ms]                wait until no visible window matches WINDOW
//   driver dump WINDOW                     the window and its controls (rectangles
//                                          of controls in client coordinates; origin=
//                                          is the client area's place on the screen)
//   driver peek WINDOW                     the same without sending messages, for a
//                                          window whose thread is busy
//   driver freeze WINDOW CONTROL PATTERN [ms]
//                                          wait for the window until that control's text
//                                          matches PATTERN, then suspend the window's
//                                          thread at once and peek; "thaw" resumes it
//   driver thaw WINDOW                     resume the thread that "freeze" suspended
//   driver text WINDOW [CONTROL]           the text of the window or a control, as it is
//   driver waittext WINDOW CONTROL PATTERN [ms]
//                                          wait until the control's text matches PATTERN
//   driver click WINDOW CONTROL            post a click to a button
//   driver settext WINDOW CONTROL TEXT     replace an edit box's text
//   driver close WINDOW                    the title-bar close box (system close command)
//   driver endtask WINDOW                  the close request Task Manager's "End task"
//                                          sends (WM_CLOSE, also to a disabled window)
//   driver minimize WINDOW                 the minimise box (system minimise command)
//   driver restore WINDOW                  restore it, as its task-bar entry does
//   driver key WINDOW KEY                  a key to the window's focused control
//                                          (KEY: enter, esc, tab, space, or a number)
//   driver settle WINDOW                   return once the window's thread has handled
//                                          everything posted to it before (the thread
//                                          needs an edit box in one of its windows)
//   driver focus WINDOW                    name the control that has the focus
//   driver items WINDOW CONTROL            the items of a list box or combo box: count,
//                                          selected index, then "item N TEXT" per item
//   driver select WINDOW CONTROL INDEX     select an item as a user's click does (the
//                                          list's selection-change notice follows)
//   driver dblclick WINDOW CONTROL INDEX   select an item and double-click it
// The system:
//   driver shortcut LINK                   target, working folder, description, icon of a .lnk
//   driver link LINK TARGET                write a shortcut as the installer does
//   driver regvalue KEY NAME               type, stored size and text of a registry value
//   driver regset KEY NAME TEXT            write a text value (the key is created)
//   driver reglock KEY                     create the key and let nobody write it (this
//                                          Wine session only)
//   driver regdelete KEY                   remove the key with everything below it
//   driver folder CSIDL|temp               the path of a special folder
//   driver resource EXE TYPE NAME FILE     write a resource of a program to a file
//   driver setresource EXE TYPE NAME FILE  replace a resource of a program with a file
//   driver version EXE                     the version resource as Windows reads it: the
//                                          language and code page, the fixed file and
//                                          product versions, then NAME=TEXT per string
//   driver overwrite FILE OFFSET SOURCE    write the bytes of SOURCE into FILE from
//                                          OFFSET on, as any program of the user may
//                                          (the file opened for writing, sharing all)
//   driver hold FILE                       open a file without sharing, until "release"
//   driver held [ms]                       wait until "hold" has the file open
//   driver release                         let "hold" close its file and end
//   driver noproc NAME [ms]                wait until no process name contains NAME
//   driver run EXE SHOW                    start a program with that window show command
//                                          (as a shortcut set to "minimised" gives 7) and
//                                          wait for it; exit code: the program's
//
// WINDOW is "Class|Title" with either side empty for any, e.g. "TSetupForm|" or
// "#32770|コルヴァニ　領収書発行セットアップ". CONTROL is a control id, a caption, or
// "class=NAME" for the first control of a class. PATTERN is a text in which "*" stands
// for any run of characters and "?" for any one. KEY is written with its root, e.g.
// "HKLM\Software\Tolvar Co.,Ltd.\korv". Commands that need a window wait for it up to
// 30 s. Exit code 0 on success; 1 when a window, control, key or value is not found in
// time, or a window's thread does not answer a message in time (said on stderr, never
// taken as an empty text); 2 on bad usage or a system error.
#include <windows.h>
#include <commctrl.h>
#include <sddl.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>
#include <winver.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const DWORD kWindowWait = 30000;
// How long a window may take to answer a sent message: a busy machine, not a hung
// program, is what makes a window slow to answer, so the limit is generous.
const DWORD kAnswerWait = 30000;
const wchar_t kHeldEvent[] = L"KorvaniDriverHeld";
const wchar_t kReleaseEvent[] = L"KorvaniDriverRelease";
// The product name, the description of the installer's shortcuts.
const wchar_t kProductName[] = L"\x30b3\x30eb\x30f4\x30a1\x30cb\x3000\x9818\x53ce\x66f8\x767a\x884c";

// Ends the command with exit code 1 and a message: a window did not answer in time.
struct Unanswered {
  UINT message;
};

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

void Print(const std::wstring& line) {
  const std::string out = Utf8(line) + "\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
}

int Fail(const std::wstring& text, int code = 1) {
  std::fprintf(stderr, "driver: %s\n", Utf8(text).c_str());
  return code;
}

DWORD Ms(const wchar_t* text) { return static_cast<DWORD>(std::wcstoul(text, nullptr, 10)); }

std::wstring ClassOf(HWND window) {
  wchar_t buffer[256] = {};
  GetClassNameW(window, buffer, 256);
  return buffer;
}

// A message to a window of another thread, answered within kAnswerWait or the command
// fails: a busy thread never passes for an empty answer.
DWORD_PTR Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kAnswerWait, &result)) {
    if (!IsWindow(window)) return 0;  // gone meanwhile: nothing to read
    throw Unanswered{message};
  }
  return result;
}

std::wstring TextOf(HWND window) {
  const DWORD_PTR length = Ask(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring buffer(length + 1, L'\0');
  const DWORD_PTR got = Ask(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&buffer[0]));
  buffer.resize(got < length ? got : length);
  return buffer;
}

// The text the system keeps for a window, read without a message to its thread.
std::wstring StoredTextOf(HWND window) {
  wchar_t buffer[4096] = {};
  InternalGetWindowText(window, buffer, 4096);
  return buffer;
}

// "*" matches any run of characters, "?" any one character, everything else itself.
bool Matches(const wchar_t* pattern, const wchar_t* text) {
  if (*pattern == L'\0') return *text == L'\0';
  if (*pattern == L'*') return Matches(pattern + 1, text) || (*text != L'\0' && Matches(pattern, text + 1));
  return *text != L'\0' && (*pattern == L'?' || *pattern == *text) && Matches(pattern + 1, text + 1);
}

struct WindowPattern {
  std::wstring cls, title;
  // Titles of top-level windows are compared as the system stores them, so a busy
  // window is found all the same.
  bool Matches(HWND window) const {
    if (!cls.empty() && ClassOf(window) != cls) return false;
    if (!title.empty() && StoredTextOf(window) != title) return false;
    return true;
  }
};

WindowPattern ParsePattern(const std::wstring& text) {
  const std::size_t bar = text.find(L'|');
  if (bar == std::wstring::npos) return WindowPattern{text, L""};
  return WindowPattern{text.substr(0, bar), text.substr(bar + 1)};
}

struct FindContext {
  const WindowPattern* pattern;
  HWND found;
};

BOOL CALLBACK FindOne(HWND window, LPARAM data) {
  auto* context = reinterpret_cast<FindContext*>(data);
  if (IsWindowVisible(window) && context->pattern->Matches(window)) {
    context->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindVisible(const WindowPattern& pattern) {
  FindContext context{&pattern, nullptr};
  EnumWindows(&FindOne, reinterpret_cast<LPARAM>(&context));
  return context.found;
}

// Polls `ready` every `interval` ms until it holds or `ms` have passed.
template <typename Ready>
bool WaitUntil(Ready ready, DWORD ms, DWORD interval = 50) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    if (ready()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(interval);
  }
}

HWND WaitFor(const WindowPattern& pattern, DWORD ms) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindVisible(pattern)) != nullptr; }, ms);
  return found;
}

std::wstring RectText(const RECT& r) {
  wchar_t buffer[128];
  swprintf(buffer, 128, L"%ld,%ld %ldx%ld", r.left, r.top, r.right - r.left, r.bottom - r.top);
  return buffer;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

std::vector<HWND> Children(HWND top) {
  std::vector<HWND> children;
  EnumChildWindows(top, &CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

// A control by id, by class ("class=NAME") or by caption; captions are read as
// stored when `stored`, for a busy window.
HWND FindControl(HWND top, const std::wstring& which, bool stored = false) {
  wchar_t* end = nullptr;
  const long id = std::wcstol(which.c_str(), &end, 10);
  const bool numeric = end != nullptr && *end == L'\0' && !which.empty();
  const bool byClass = which.rfind(L"class=", 0) == 0;
  for (HWND child : Children(top)) {
    if (byClass) {
      if (_wcsicmp(ClassOf(child).c_str(), which.c_str() + 6) == 0) return child;
      continue;
    }
    if (numeric && GetDlgCtrlID(child) == id) return child;
    if (!numeric && (stored ? StoredTextOf(child) : TextOf(child)) == which) return child;
  }
  return nullptr;
}

// The window and its controls. Texts are asked for (WM_GETTEXT, button and bar states)
// when `ask`, or read as the system stores them, for a window whose thread is busy.
void Describe(HWND top, bool ask) {
  auto text = [ask](HWND window) { return ask ? TextOf(window) : StoredTextOf(window); };
  RECT window{}, client{};
  GetWindowRect(top, &window);
  GetClientRect(top, &client);
  HWND owner = GetWindow(top, GW_OWNER);
  wchar_t head[256];
  swprintf(head, 256, L"window class=%ls visible=%d enabled=%d style=%08lx exstyle=%08lx",
           ClassOf(top).c_str(), IsWindowVisible(top) ? 1 : 0, IsWindowEnabled(top) ? 1 : 0,
           static_cast<unsigned long>(GetWindowLongW(top, GWL_STYLE)),
           static_cast<unsigned long>(GetWindowLongW(top, GWL_EXSTYLE)));
  Print(head);
  Print(L"caption=" + text(top));
  Print(L"rect=" + RectText(window));
  Print(L"client=" + RectText(client));
  POINT origin{0, 0};
  ClientToScreen(top, &origin);
  Print(L"origin=" + std::to_wstring(origin.x) + L"," + std::to_wstring(origin.y));
  Print(L"owner=" + (owner ? ClassOf(owner) + L"|" + text(owner) : std::wstring()));
  for (HWND child : Children(top)) {
    if (GetParent(child) != top) continue;
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, top, reinterpret_cast<POINT*>(&r), 2);
    const std::wstring cls = ClassOf(child);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    wchar_t line[512];
    swprintf(line, 512, L"control id=%d class=%ls rect=%ls visible=%d enabled=%d style=%08lx",
             GetDlgCtrlID(child), cls.c_str(), RectText(r).c_str(), (style & WS_VISIBLE) ? 1 : 0,
             IsWindowEnabled(child) ? 1 : 0, static_cast<unsigned long>(style));
    std::wstring out = line;
    if (ask && _wcsicmp(cls.c_str(), L"Button") == 0) {
      out += L" checked=" + std::to_wstring(Ask(child, BM_GETCHECK, 0, 0));
    }
    if (ask && _wcsicmp(cls.c_str(), L"msctls_progress32") == 0) {
      out += L" pos=" + std::to_wstring(Ask(child, PBM_GETPOS, 0, 0)) +
             L" max=" + std::to_wstring(Ask(child, PBM_GETRANGE, FALSE, 0));
    }
    Print(out + L" text=" + text(child));
  }
}

BOOL CALLBACK ListOne(HWND window, LPARAM) {
  if (!IsWindowVisible(window)) return TRUE;
  RECT r{};
  GetWindowRect(window, &r);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  Print(L"top class=" + ClassOf(window) + L" pid=" + std::to_wstring(pid) + L" rect=" + RectText(r) +
        L" caption=" + StoredTextOf(window));
  return TRUE;
}

WORD KeyCode(const std::wstring& key) {
  if (key == L"enter") return VK_RETURN;
  if (key == L"esc") return VK_ESCAPE;
  if (key == L"tab") return VK_TAB;
  if (key == L"space") return VK_SPACE;
  return static_cast<WORD>(std::wcstol(key.c_str(), nullptr, 0));
}

HWND FocusOf(HWND top) {
  const DWORD thread = GetWindowThreadProcessId(top, nullptr);
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (GetGUIThreadInfo(thread, &info)) return info.hwndFocus;
  return nullptr;
}

BOOL CALLBACK CollectTop(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

// An edit box of the window, or else of another window of its thread (a window without
// one, such as a program's task-bar window, shares its thread's queue with its forms).
HWND EditOfThread(HWND top) {
  if (HWND edit = FindControl(top, L"class=Edit")) return edit;
  std::vector<HWND> windows;
  EnumThreadWindows(GetWindowThreadProcessId(top, nullptr), &CollectTop, reinterpret_cast<LPARAM>(&windows));
  for (HWND window : windows) {
    if (HWND edit = FindControl(window, L"class=Edit")) return edit;
  }
  return nullptr;
}

// Posted messages of one thread are handled in the order they were posted, whichever
// of its windows they are for. An edit box of the thread gets a new text limit by a
// posted message; once the box reports it, everything posted to the window before has
// been handled too. The old limit is put back.
int Settle(HWND top) {
  HWND edit = EditOfThread(top);
  if (edit == nullptr) return Fail(L"settle: the window's thread has no edit box to mark its queue with", 2);
  const DWORD_PTR limit = Ask(edit, EM_GETLIMITTEXT, 0, 0);
  const DWORD_PTR mark = limit > 1 ? limit - 1 : limit + 1;
  if (!PostMessageW(edit, EM_SETLIMITTEXT, mark, 0)) return Fail(L"settle: cannot post to the window", 2);
  const bool handled =
      WaitUntil([&] { return !IsWindow(edit) || Ask(edit, EM_GETLIMITTEXT, 0, 0) == mark; }, kWindowWait);
  if (!handled) return Fail(L"settle: the window did not handle its posted messages in time");
  if (IsWindow(edit)) Ask(edit, EM_SETLIMITTEXT, limit, 0);
  return 0;
}

// Waits (polling every few ms, as the window may not last long) until the window is
// there and the control's stored text matches, then suspends the window's thread. The
// thread's context is read before the window is, which waits until the thread has
// really stopped.
int Freeze(const WindowPattern& pattern, const std::wstring& which, const wchar_t* wanted, DWORD ms) {
  HWND top = nullptr;
  std::wstring last = L"(no window)";
  const bool matched = WaitUntil(
      [&] {
        top = FindVisible(pattern);
        if (top == nullptr) return false;
        HWND control = FindControl(top, which, true);
        last = control ? StoredTextOf(control) : L"(no control)";
        return control != nullptr && Matches(wanted, last.c_str());
      },
      ms, 2);
  if (!matched) return Fail(L"the text of " + which + L" did not become " + wanted + L"; last seen: " + last);
  HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION, FALSE,
                             GetWindowThreadProcessId(top, nullptr));
  if (thread == nullptr) return Fail(L"cannot open the window's thread", 2);
  const bool suspended = SuspendThread(thread) != static_cast<DWORD>(-1);
  CONTEXT context{};
  context.ContextFlags = CONTEXT_CONTROL;
  const bool stopped = suspended && GetThreadContext(thread, &context);
  CloseHandle(thread);
  if (!stopped) return Fail(L"cannot suspend the window's thread", 2);
  if (!IsWindow(top)) return Fail(L"the window was gone before its thread stopped");
  Describe(top, false);
  return 0;
}

int Thaw(HWND top) {
  HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(top, nullptr));
  if (thread == nullptr) return Fail(L"cannot open the window's thread", 2);
  const DWORD previous = ResumeThread(thread);
  CloseHandle(thread);
  if (previous == static_cast<DWORD>(-1)) return Fail(L"cannot resume the window's thread", 2);
  return previous > 0 ? 0 : Fail(L"the window's thread was not suspended");
}

HKEY ParseKey(const std::wstring& text, std::wstring& subkey) {
  const std::size_t slash = text.find(L'\\');
  const std::wstring root = text.substr(0, slash);
  subkey = slash == std::wstring::npos ? std::wstring() : text.substr(slash + 1);
  if (root == L"HKLM") return HKEY_LOCAL_MACHINE;
  if (root == L"HKCU") return HKEY_CURRENT_USER;
  return nullptr;
}

// A COM scope and a shell link object with its file interface.
class ShellLink {
 public:
  ShellLink() {
    CoInitialize(nullptr);
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link_)))) {
      link_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file_));
    }
  }
  ~ShellLink() {
    if (file_) file_->Release();
    if (link_) link_->Release();
    CoUninitialize();
  }
  ShellLink(const ShellLink&) = delete;
  ShellLink& operator=(const ShellLink&) = delete;
  IShellLinkW* link() const { return link_; }
  IPersistFile* file() const { return file_; }

 private:
  IShellLinkW* link_ = nullptr;
  IPersistFile* file_ = nullptr;
};

int ShortcutCommand(const wchar_t* path) {
  ShellLink shell;
  if (!shell.file() || FAILED(shell.file()->Load(path, STGM_READ))) return Fail(L"cannot read the shortcut");
  IShellLinkW* link = shell.link();
  wchar_t buffer[MAX_PATH * 2] = {};
  WIN32_FIND_DATAW data;
  link->GetPath(buffer, MAX_PATH * 2, &data, SLGP_RAWPATH);
  Print(std::wstring(L"target=") + buffer);
  buffer[0] = 0;
  link->GetWorkingDirectory(buffer, MAX_PATH * 2);
  Print(std::wstring(L"workdir=") + buffer);
  buffer[0] = 0;
  link->GetDescription(buffer, MAX_PATH * 2);
  Print(std::wstring(L"description=") + buffer);
  buffer[0] = 0;
  int index = -1;
  link->GetIconLocation(buffer, MAX_PATH * 2, &index);
  Print(std::wstring(L"icon=") + buffer + L"," + std::to_wstring(index));
  return 0;
}

// A shortcut as the installer writes it: the target, its folder as working folder,
// its icon, the product name as description.
int LinkCommand(const wchar_t* path, const std::wstring& target) {
  ShellLink shell;
  if (!shell.file()) return Fail(L"no shell link object", 2);
  const std::size_t slash = target.find_last_of(L'\\');
  IShellLinkW* link = shell.link();
  link->SetPath(target.c_str());
  link->SetIconLocation(target.c_str(), 0);
  link->SetDescription(kProductName);
  link->SetWorkingDirectory(slash == std::wstring::npos ? L"" : target.substr(0, slash).c_str());
  return SUCCEEDED(shell.file()->Save(path, TRUE)) ? 0 : Fail(L"cannot save the shortcut", 2);
}

int RegistryCommand(const std::wstring& command, const std::wstring& keyText, const wchar_t* name,
                    const wchar_t* text) {
  std::wstring subkey;
  HKEY root = ParseKey(keyText, subkey);
  if (root == nullptr) return Fail(L"a key begins with HKLM or HKCU", 2);
  if (command == L"regdelete") {
    const LONG status = RegDeleteTreeW(root, subkey.c_str());
    RegDeleteKeyW(root, subkey.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? 0 : Fail(L"cannot delete the key", 2);
  }
  if (command == L"reglock" || command == L"regset") {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
      return Fail(L"cannot create the key", 2);
    }
    LONG status;
    if (command == L"regset") {
      status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                              static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t)));
    } else {
      PSECURITY_DESCRIPTOR sd = nullptr;
      ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;OICI;KR;;;WD)", SDDL_REVISION_1, &sd,
                                                           nullptr);
      status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
      LocalFree(sd);
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? 0 : Fail(L"cannot write the key", 2);
  }
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    Print(L"missing key");
    return 1;
  }
  // The stored size is the one of the ANSI value, as the installer wrote it.
  DWORD type = 0, bytes = 0;
  char nameA[512] = {};
  WideCharToMultiByte(CP_ACP, 0, name, -1, nameA, sizeof nameA, nullptr, nullptr);
  if (RegQueryValueExA(key, nameA, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) {
    RegCloseKey(key);
    Print(L"missing value");
    return 1;
  }
  std::wstring data(4096, L'\0');
  DWORD wbytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
  RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &wbytes);
  data.resize(wcsnlen(data.c_str(), data.size()));
  RegCloseKey(key);
  Print(L"type=" + std::to_wstring(type) + L" size=" + std::to_wstring(bytes) + L" text=" + data);
  return 0;
}

int FolderCommand(const std::wstring& id) {
  wchar_t path[MAX_PATH] = {};
  if (id == L"temp") {
    GetTempPathW(MAX_PATH, path);
    std::wstring folder = path;
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    Print(folder);
    return 0;
  }
  if (!SHGetSpecialFolderPathW(nullptr, path, static_cast<int>(std::wcstol(id.c_str(), nullptr, 10)), FALSE)) {
    return Fail(L"no such folder");
  }
  Print(path);
  return 0;
}

int ResourceCommand(const wchar_t* exe, const wchar_t* type, const wchar_t* name, const wchar_t* out) {
  HMODULE module = LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return Fail(L"cannot load the program", 2);
  HRSRC info = FindResourceW(module, name, type);
  if (info == nullptr) {
    FreeLibrary(module);
    return Fail(L"no such resource");
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

// The bytes of a whole file; false when it cannot be opened.
bool ReadWholeFile(const wchar_t* path, std::vector<char>& bytes) {
  HANDLE in = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (in == INVALID_HANDLE_VALUE) return false;
  bytes.resize(GetFileSize(in, nullptr));
  DWORD got = 0;
  ReadFile(in, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  bytes.resize(got);
  CloseHandle(in);
  return true;
}

int SetResourceCommand(const wchar_t* exe, const wchar_t* type, const wchar_t* name, const wchar_t* file) {
  std::vector<char> bytes;
  if (!ReadWholeFile(file, bytes)) return Fail(L"cannot open the file", 2);
  const DWORD got = static_cast<DWORD>(bytes.size());
  // Replace the resource in every language it is stored in.
  std::vector<WORD> languages;
  if (HMODULE module = LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
    EnumResourceLanguagesW(
        module, type, name,
        [](HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR data) -> BOOL {
          reinterpret_cast<std::vector<WORD>*>(data)->push_back(language);
          return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&languages));
    FreeLibrary(module);
  }
  if (languages.empty()) return Fail(L"no such resource");
  HANDLE update = BeginUpdateResourceW(exe, FALSE);
  if (update == nullptr) return Fail(L"cannot update the program", 2);
  BOOL ok = TRUE;
  for (WORD language : languages) {
    ok = ok && UpdateResourceW(update, type, name, language, bytes.data(), got);
  }
  return EndUpdateResourceW(update, FALSE) && ok ? 0 : Fail(L"cannot update the program", 2);
}

int VersionCommand(const wchar_t* exe) {
  DWORD ignored = 0;
  std::vector<char> data(GetFileVersionInfoSizeW(exe, &ignored));
  if (data.empty() || !GetFileVersionInfoW(exe, 0, static_cast<DWORD>(data.size()), data.data())) {
    return Fail(L"no version resource");
  }
  void* value = nullptr;
  UINT size = 0;
  if (!VerQueryValueW(data.data(), L"\\", &value, &size) || size < sizeof(VS_FIXEDFILEINFO)) {
    return Fail(L"no fixed version information");
  }
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  auto numbers = [](DWORD high, DWORD low) {
    return std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." +
           std::to_wstring(HIWORD(low)) + L"." + std::to_wstring(LOWORD(low));
  };
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &size) || size < 4) {
    return Fail(L"no translation");
  }
  const WORD* translation = static_cast<const WORD*>(value);
  wchar_t language[16];
  std::swprintf(language, 16, L"%04x%04x", translation[0], translation[1]);
  Print(std::wstring(L"translation ") + language);
  const std::wstring block = std::wstring(L"\\StringFileInfo\\") + language + L"\\";
  Print(L"fixed file " + numbers(fixed->dwFileVersionMS, fixed->dwFileVersionLS) + L" product " +
        numbers(fixed->dwProductVersionMS, fixed->dwProductVersionLS));
  for (const wchar_t* name : {L"CompanyName", L"FileDescription", L"FileVersion", L"LegalCopyright",
                              L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
    const wchar_t* text = L"";
    if (VerQueryValueW(data.data(), (block + name).c_str(), &value, &size) && size > 0) {
      text = static_cast<const wchar_t*>(value);
    }
    Print(std::wstring(name) + L"=" + text);
  }
  return 0;
}

int OverwriteCommand(const wchar_t* path, const wchar_t* offset, const wchar_t* source) {
  std::vector<char> bytes;
  if (!ReadWholeFile(source, bytes)) return Fail(L"cannot open the source", 2);
  const DWORD got = static_cast<DWORD>(bytes.size());
  HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return Fail(L"cannot open the file for writing (error " + std::to_wstring(GetLastError()) + L")");
  }
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(_wcstoui64(offset, nullptr, 10));
  DWORD written = 0;
  const bool ok = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
                  WriteFile(file, bytes.data(), got, &written, nullptr) && written == got;
  CloseHandle(file);
  return ok ? 0 : Fail(L"cannot write the file", 2);
}

// Opens the file without any sharing and keeps it open until "release".
int HoldCommand(const wchar_t* path) {
  HANDLE held = CreateEventW(nullptr, TRUE, FALSE, kHeldEvent);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, kReleaseEvent);
  ResetEvent(release);
  HANDLE file = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Fail(L"cannot open the file", 2);
  SetEvent(held);
  WaitForSingleObject(release, 10 * 60 * 1000);
  CloseHandle(file);
  ResetEvent(held);
  CloseHandle(release);
  CloseHandle(held);
  return 0;
}

int HeldCommand(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  HANDLE event = nullptr;
  WaitUntil([&] { return (event = OpenEventW(SYNCHRONIZE, FALSE, kHeldEvent)) != nullptr; }, ms);
  if (event == nullptr) return Fail(L"nothing is held");
  const ULONGLONG now = GetTickCount64();
  const DWORD rest = now < end ? static_cast<DWORD>(end - now) : 0;
  const DWORD r = WaitForSingleObject(event, rest);
  CloseHandle(event);
  return r == WAIT_OBJECT_0 ? 0 : Fail(L"the file is not held");
}

int ReleaseCommand() {
  HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, kReleaseEvent);
  if (event == nullptr) return Fail(L"nothing is held");
  SetEvent(event);
  CloseHandle(event);
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
    if (Lower(entry.szExeFile).find(Lower(part)) != std::wstring::npos) names.push_back(entry.szExeFile);
  }
  CloseHandle(snapshot);
  return names;
}

int NoProcessCommand(const wchar_t* part, DWORD ms) {
  if (WaitUntil([&] { return Processes(part).empty(); }, ms)) return 0;
  for (const std::wstring& name : Processes(part)) Print(L"still running: " + name);
  return 1;
}

// A list box or a combo box, for the item commands.
struct ItemList {
  HWND window;
  bool combo;
  UINT Message(UINT listMessage, UINT comboMessage) const { return combo ? comboMessage : listMessage; }
  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return static_cast<LRESULT>(Ask(window, message, wParam, lParam));
  }
};

void PrintItems(const ItemList& list) {
  const LRESULT count = list.Send(list.Message(LB_GETCOUNT, CB_GETCOUNT), 0, 0);
  Print(L"count=" + std::to_wstring(count));
  Print(L"selected=" + std::to_wstring(list.Send(list.Message(LB_GETCURSEL, CB_GETCURSEL), 0, 0)));
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = list.Send(list.Message(LB_GETTEXTLEN, CB_GETLBTEXTLEN), i, 0);
    std::wstring text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, L'\0');
    if (length > 0) list.Send(list.Message(LB_GETTEXT, CB_GETLBTEXT), i, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(std::wcslen(text.c_str()));
    Print(L"item " + std::to_wstring(i) + L" " + text);
  }
}

// Selects an item and tells the parent as the control itself would after a click:
// posted, because the parent's handler may open a modal box.
int SelectItem(const ItemList& list, int index, bool doubleClick) {
  if (list.Send(list.Message(LB_SETCURSEL, CB_SETCURSEL), index, 0) != index) return Fail(L"no such item");
  const int id = GetDlgCtrlID(list.window);
  HWND parent = GetParent(list.window);
  const WORD changed = list.combo ? CBN_SELCHANGE : LBN_SELCHANGE;
  PostMessageW(parent, WM_COMMAND, MAKEWPARAM(id, changed), reinterpret_cast<LPARAM>(list.window));
  if (doubleClick && !list.combo) {
    PostMessageW(parent, WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK), reinterpret_cast<LPARAM>(list.window));
  }
  return 0;
}

int RunCommand(const wchar_t* exe, const wchar_t* show) {
  std::wstring line = L"\"" + std::wstring(exe) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(std::wcstoul(show, nullptr, 10));
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return Fail(L"cannot start " + std::wstring(exe), 2);
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 2;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

int Usage() {
  return Fail(L"usage: driver list|wait|gone|dump|peek|freeze|thaw|text|waittext|click|settext|close|endtask|"
              L"key|settle|focus|items|select|dblclick|shortcut|link|regvalue|regset|reglock|regdelete|folder|resource|"
              L"setresource|version|overwrite|hold|held|release|noproc|run|minimize|restore ... (see driver.cpp)",
              2);
}

int SystemCommand(const std::wstring& command, int n, wchar_t** a) {
  if (command == L"shortcut" && n == 1) return ShortcutCommand(a[0]);
  if (command == L"link" && n == 2) return LinkCommand(a[0], a[1]);
  if ((command == L"regdelete" || command == L"reglock") && n == 1) return RegistryCommand(command, a[0], nullptr, nullptr);
  if (command == L"regvalue" && n == 2) return RegistryCommand(command, a[0], a[1], nullptr);
  if (command == L"regset" && n == 3) return RegistryCommand(command, a[0], a[1], a[2]);
  if (command == L"folder" && n == 1) return FolderCommand(a[0]);
  if (command == L"resource" && n == 4) return ResourceCommand(a[0], a[1], a[2], a[3]);
  if (command == L"setresource" && n == 4) return SetResourceCommand(a[0], a[1], a[2], a[3]);
  if (command == L"version" && n == 1) return VersionCommand(a[0]);
  if (command == L"overwrite" && n == 3) return OverwriteCommand(a[0], a[1], a[2]);
  if (command == L"hold" && n == 1) return HoldCommand(a[0]);
  if (command == L"held" && n <= 1) return HeldCommand(n == 1 ? Ms(a[0]) : kWindowWait);
  if (command == L"release" && n == 0) return ReleaseCommand();
  if (command == L"noproc" && (n == 1 || n == 2)) return NoProcessCommand(a[0], n == 2 ? Ms(a[1]) : kWindowWait);
  if (command == L"run" && n == 2) return RunCommand(a[0], a[1]);
  return -1;
}

int WindowCommand(const std::wstring& command, int n, wchar_t** a) {
  if (n < 1) return Usage();
  const WindowPattern pattern = ParsePattern(a[0]);
  if (command == L"freeze" && (n == 3 || n == 4)) return Freeze(pattern, a[1], a[2], n == 4 ? Ms(a[3]) : kWindowWait);
  if (command == L"gone") {
    if (WaitUntil([&] { return FindVisible(pattern) == nullptr; }, n > 1 ? Ms(a[1]) : kWindowWait)) return 0;
    return Fail(L"the window " + std::wstring(a[0]) + L" is still there");
  }
  const DWORD windowWait = command == L"wait" && n > 1 ? Ms(a[1]) : kWindowWait;
  HWND top = WaitFor(pattern, windowWait);
  if (top == nullptr) return Fail(L"no window " + std::wstring(a[0]));
  if (command == L"wait") return 0;
  if (command == L"dump") return Describe(top, true), 0;
  if (command == L"close") return PostMessageW(top, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : Fail(L"cannot post", 2);
  if (command == L"endtask") return PostMessageW(top, WM_CLOSE, 0, 0) ? 0 : Fail(L"cannot post", 2);
  if (command == L"minimize") return PostMessageW(top, WM_SYSCOMMAND, SC_MINIMIZE, 0) ? 0 : Fail(L"cannot post", 2);
  if (command == L"restore") return PostMessageW(top, WM_SYSCOMMAND, SC_RESTORE, 0) ? 0 : Fail(L"cannot post", 2);
  if (command == L"settle") return Settle(top);
  if (command == L"thaw") return Thaw(top);
  if (command == L"focus") {
    HWND focus = FocusOf(top);
    Print(focus ? L"focus id=" + std::to_wstring(GetDlgCtrlID(focus)) + L" class=" + ClassOf(focus) +
                      L" text=" + TextOf(focus)
                : L"focus none");
    return 0;
  }
  if (command == L"key" && n == 2) {
    HWND target = FocusOf(top);
    if (target == nullptr) target = top;
    const WORD vk = KeyCode(a[1]);
    const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, vk, 1 | (scan << 16));
    if (vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_TAB || vk == VK_SPACE) {
      const wchar_t ch = vk == VK_RETURN ? L'\r' : vk == VK_ESCAPE ? 27 : vk == VK_TAB ? L'\t' : L' ';
      PostMessageW(target, WM_CHAR, ch, 1 | (scan << 16));
    }
    PostMessageW(target, WM_KEYUP, vk, 1 | (scan << 16) | (1u << 30) | (1u << 31));
    return 0;
  }
  if (command == L"text" && n == 1) {
    Print(TextOf(top));
    return 0;
  }
  if (command == L"peek" && n == 1) return Describe(top, false), 0;
  if (n < 2) return Usage();
  HWND control = FindControl(top, a[1]);
  if (control == nullptr) return Fail(L"no control " + std::wstring(a[1]));
  if (command == L"text" && n == 2) {
    Print(TextOf(control));
    return 0;
  }
  if (command == L"waittext" && (n == 3 || n == 4)) {
    std::wstring last;
    if (WaitUntil([&] { return Matches(a[2], (last = TextOf(control)).c_str()); }, n == 4 ? Ms(a[3]) : kWindowWait)) {
      return 0;
    }
    return Fail(L"the text of " + std::wstring(a[1]) + L" did not become " + a[2] + L"; it is " + last);
  }
  if (command == L"click" && n == 2) return PostMessageW(control, BM_CLICK, 0, 0) ? 0 : Fail(L"cannot post", 2);
  if (command == L"settext" && n == 3) {
    Ask(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[2]));
    return 0;
  }
  if (command == L"items" || command == L"select" || command == L"dblclick") {
    const std::wstring cls = ClassOf(control);
    const ItemList list{control, _wcsicmp(cls.c_str(), L"ComboBox") == 0};
    if (!list.combo && _wcsicmp(cls.c_str(), L"ListBox") != 0) return Fail(std::wstring(a[1]) + L" is no list");
    if (command == L"items" && n == 2) return PrintItems(list), 0;
    if (n == 3) return SelectItem(list, static_cast<int>(std::wcstol(a[2], nullptr, 10)), command == L"dblclick");
  }
  return Usage();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // plain "\n" line ends for the scripts
  if (argc < 2) return Usage();
  const std::wstring command = argv[1];
  try {
    if (command == L"list" && argc == 2) {
      EnumWindows(&ListOne, 0);
      return 0;
    }
    const int rc = SystemCommand(command, argc - 2, argv + 2);
    if (rc >= 0) return rc;
    return WindowCommand(command, argc - 2, argv + 2);
  } catch (const Unanswered& e) {
    wchar_t text[160];
    swprintf(text, 160, L"a window did not answer message 0x%04x within %lu ms", e.message,
             static_cast<unsigned long>(kAnswerWait));
    return Fail(text);
  }
}
