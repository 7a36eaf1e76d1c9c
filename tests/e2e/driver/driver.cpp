// The end-to-end driver: finds the installer's windows in the same Wine session, reads
// them (class, caption, rectangles, control texts and states) and works them as a user
// would (clicks, keys, close box). Output is UTF-8, one fact per line.
//
//   driver list                          visible top-level windows
//   driver wait WINDOW [ms]                wait until a window matching WINDOW is visible
//   driver gone WINDOW [ms]                wait until no window matches WINDOW
//   driver dump WINDOW                     the window and its controls
//   driver peek WINDOW                     the same without sending messages, for a
//                                        window whose thread is busy
//   driver click WINDOW CONTROL            post a click to a button (id or caption)
//   driver settext WINDOW CONTROL TEXT     replace an edit box's text
//   driver close WINDOW                    the title-bar close box (system close command)
//   driver key WINDOW KEY                  a key to the window's focused control
//                                        (KEY: enter, esc, tab, space, or a number)
//   driver focus WINDOW                    name the control that has the focus
//   driver items WINDOW CONTROL            the items of a list box or combo box: count,
//                                        selected index, then "item N TEXT" per item
//   driver select WINDOW CONTROL INDEX     select an item as a user's click does (the
//                                        list's selection-change notice follows)
//   driver dblclick WINDOW CONTROL INDEX   select an item and double-click it
//   driver shortcut LINK                 target, working folder, description, icon of a .lnk
//   driver regvalue KEY NAME             type, stored size and text of a registry value
//   driver reglock KEY                   create the key and let nobody write it (this
//                                        Wine session only)
//   driver regdelete KEY                 remove the key with everything below it
//   driver folder CSIDL                  the path of a special folder
//   driver setresource EXE TYPE NAME FILE  replace a resource of a program with a file
//
// KEY is written with its root, e.g. "HKLM\Software\Tolvar Co.,Ltd.\korv".
//
// CONTROL is a control id, a caption, or "class=NAME" for the first control of a class.
// WINDOW is "Class|Title" with either side empty for any, e.g. "TSetupForm|" or
// "#32770|コルヴァニ　領収書発行セットアップ". Exit code 0 on success, 1 when a
// window or control is not found in time, 2 on bad usage.
#include <windows.h>
#include <commctrl.h>
#include <sddl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

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

std::wstring ClassOf(HWND window) {
  wchar_t buffer[256] = {};
  GetClassNameW(window, buffer, 256);
  return buffer;
}

std::wstring TextOf(HWND window) {
  wchar_t buffer[4096] = {};
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                      2000, &result);
  return buffer;
}

struct WindowPattern {
  std::wstring cls, title;
  bool Matches(HWND window) const {
    if (!cls.empty() && ClassOf(window) != cls) return false;
    if (!title.empty() && TextOf(window) != title) return false;
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

HWND WaitFor(const WindowPattern& pattern, DWORD ms) {
  const DWORD start = GetTickCount();
  while (true) {
    if (HWND window = FindVisible(pattern)) return window;
    if (GetTickCount() - start > ms) return nullptr;
    Sleep(50);
  }
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

HWND FindControl(HWND top, const std::wstring& which) {
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
    if (!numeric && TextOf(child) == which) return child;
  }
  return nullptr;
}

// The text the system keeps for a window, read without a message to its thread.
std::wstring StoredTextOf(HWND window) {
  wchar_t buffer[4096] = {};
  InternalGetWindowText(window, buffer, 4096);
  return buffer;
}

void Peek(HWND top) {
  RECT window{}, client{};
  GetWindowRect(top, &window);
  GetClientRect(top, &client);
  wchar_t head[256];
  swprintf(head, 256, L"window class=%ls visible=%d style=%08lx exstyle=%08lx", ClassOf(top).c_str(),
           IsWindowVisible(top) ? 1 : 0, static_cast<unsigned long>(GetWindowLongW(top, GWL_STYLE)),
           static_cast<unsigned long>(GetWindowLongW(top, GWL_EXSTYLE)));
  Print(head);
  Print(L"caption=" + StoredTextOf(top));
  Print(L"rect=" + RectText(window));
  Print(L"client=" + RectText(client));
  for (HWND child : Children(top)) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, top, reinterpret_cast<POINT*>(&r), 2);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    wchar_t line[512];
    swprintf(line, 512, L"control id=%d class=%ls rect=%ls visible=%d style=%08lx", GetDlgCtrlID(child),
             ClassOf(child).c_str(), RectText(r).c_str(), (style & WS_VISIBLE) ? 1 : 0,
             static_cast<unsigned long>(style));
    Print(std::wstring(line) + L" text=" + StoredTextOf(child));
  }
}

void Dump(HWND top) {
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
  Print(L"caption=" + TextOf(top));
  Print(L"rect=" + RectText(window));
  Print(L"client=" + RectText(client));
  Print(L"owner=" + (owner ? ClassOf(owner) + L"|" + TextOf(owner) : std::wstring()));
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
    std::wstring text = line;
    if (_wcsicmp(cls.c_str(), L"Button") == 0) {
      DWORD_PTR state = 0;
      SendMessageTimeoutW(child, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
      text += L" checked=" + std::to_wstring(state);
    }
    if (_wcsicmp(cls.c_str(), L"msctls_progress32") == 0) {
      DWORD_PTR pos = 0, high = 0;
      SendMessageTimeoutW(child, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000, &pos);
      SendMessageTimeoutW(child, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, 2000, &high);
      text += L" pos=" + std::to_wstring(pos) + L" max=" + std::to_wstring(high);
    }
    text += L" text=" + TextOf(child);
    Print(text);
  }
}

BOOL CALLBACK ListOne(HWND window, LPARAM) {
  if (!IsWindowVisible(window)) return TRUE;
  RECT r{};
  GetWindowRect(window, &r);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  Print(L"top class=" + ClassOf(window) + L" pid=" + std::to_wstring(pid) + L" rect=" + RectText(r) +
        L" caption=" + TextOf(window));
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

HKEY ParseKey(const std::wstring& text, std::wstring& subkey) {
  const std::size_t slash = text.find(L'\\');
  const std::wstring root = text.substr(0, slash);
  subkey = slash == std::wstring::npos ? std::wstring() : text.substr(slash + 1);
  if (root == L"HKLM") return HKEY_LOCAL_MACHINE;
  if (root == L"HKCU") return HKEY_CURRENT_USER;
  return nullptr;
}

int ShortcutCommand(const wchar_t* link) {
  CoInitialize(nullptr);
  IShellLinkW* shell = nullptr;
  IPersistFile* file = nullptr;
  int rc = 1;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&shell))) &&
      SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(link, STGM_READ))) {
    wchar_t buffer[MAX_PATH * 2] = {};
    WIN32_FIND_DATAW data;
    shell->GetPath(buffer, MAX_PATH * 2, &data, SLGP_RAWPATH);
    Print(std::wstring(L"target=") + buffer);
    buffer[0] = 0;
    shell->GetWorkingDirectory(buffer, MAX_PATH * 2);
    Print(std::wstring(L"workdir=") + buffer);
    buffer[0] = 0;
    shell->GetDescription(buffer, MAX_PATH * 2);
    Print(std::wstring(L"description=") + buffer);
    buffer[0] = 0;
    int index = -1;
    shell->GetIconLocation(buffer, MAX_PATH * 2, &index);
    Print(std::wstring(L"icon=") + buffer + L"," + std::to_wstring(index));
    rc = 0;
  } else {
    std::fprintf(stderr, "driver: cannot read the shortcut\n");
  }
  if (file) file->Release();
  if (shell) shell->Release();
  CoUninitialize();
  return rc;
}

int RegistryCommand(const std::wstring& command, const std::wstring& keyText, const wchar_t* name) {
  std::wstring subkey;
  HKEY root = ParseKey(keyText, subkey);
  if (root == nullptr) return 2;
  if (command == L"regdelete") {
    const LONG status = RegDeleteTreeW(root, subkey.c_str());
    RegDeleteKeyW(root, subkey.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? 0 : 1;
  }
  if (command == L"reglock") {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
      return 1;
    }
    PSECURITY_DESCRIPTOR sd = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;OICI;KR;;;WD)", SDDL_REVISION_1, &sd,
                                                         nullptr);
    const LONG status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
    LocalFree(sd);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? 0 : 1;
  }
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    Print(L"missing key");
    return 1;
  }
  DWORD type = 0, bytes = 0;
  LONG status = RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr, nullptr);
  (void)status;
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

int FolderCommand(const wchar_t* id) {
  wchar_t path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, static_cast<int>(std::wcstol(id, nullptr, 10)), FALSE)) {
    return 1;
  }
  Print(path);
  return 0;
}

int SetResourceCommand(const wchar_t* exe, const wchar_t* type, const wchar_t* name, const wchar_t* file) {
  HANDLE in = CreateFileW(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (in == INVALID_HANDLE_VALUE) return 1;
  std::vector<char> bytes(GetFileSize(in, nullptr));
  DWORD got = 0;
  ReadFile(in, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(in);
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
  if (languages.empty()) return 1;
  HANDLE update = BeginUpdateResourceW(exe, FALSE);
  if (update == nullptr) return 1;
  BOOL ok = TRUE;
  for (WORD language : languages) {
    ok = ok && UpdateResourceW(update, type, name, language, bytes.data(), got);
  }
  return EndUpdateResourceW(update, FALSE) && ok ? 0 : 1;
}

// A list box or a combo box, for the item commands.
struct ItemList {
  HWND window;
  bool combo;
  UINT Message(UINT listMessage, UINT comboMessage) const { return combo ? comboMessage : listMessage; }
  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result)) return -1;
    return static_cast<LRESULT>(result);
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
  if (list.Send(list.Message(LB_SETCURSEL, CB_SETCURSEL), index, 0) != index) return 1;
  const int id = GetDlgCtrlID(list.window);
  HWND parent = GetParent(list.window);
  const WORD changed = list.combo ? CBN_SELCHANGE : LBN_SELCHANGE;
  PostMessageW(parent, WM_COMMAND, MAKEWPARAM(id, changed), reinterpret_cast<LPARAM>(list.window));
  if (doubleClick && !list.combo) {
    PostMessageW(parent, WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK), reinterpret_cast<LPARAM>(list.window));
  }
  return 0;
}

int Usage() {
  std::fputs("usage: driver list|wait|gone|dump|click|settext|close|key|focus|items|select|dblclick ...\n",
             stderr);
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // plain "\n" line ends for the scripts
  if (argc < 2) return Usage();
  const std::wstring command = argv[1];
  if (command == L"list") {
    EnumWindows(&ListOne, 0);
    return 0;
  }
  if (argc < 3) return Usage();
  if (command == L"shortcut") return ShortcutCommand(argv[2]);
  if (command == L"setresource" && argc >= 6) return SetResourceCommand(argv[2], argv[3], argv[4], argv[5]);
  if (command == L"folder") return FolderCommand(argv[2]);
  if (command == L"regdelete" || command == L"reglock") return RegistryCommand(command, argv[2], nullptr);
  if (command == L"regvalue" && argc >= 4) return RegistryCommand(command, argv[2], argv[3]);
  const WindowPattern pattern = ParsePattern(argv[2]);
  const DWORD timeout = argc > 3 && (command == L"wait" || command == L"gone")
                            ? static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10))
                            : 10000;
  if (command == L"gone") {
    const DWORD start = GetTickCount();
    while (FindVisible(pattern) != nullptr) {
      if (GetTickCount() - start > timeout) return 1;
      Sleep(50);
    }
    return 0;
  }
  HWND top = WaitFor(pattern, timeout);
  if (top == nullptr) {
    std::fprintf(stderr, "driver: no window %s\n", Utf8(argv[2]).c_str());
    return 1;
  }
  if (command == L"wait") return 0;
  if (command == L"dump") {
    Dump(top);
    return 0;
  }
  if (command == L"peek") {
    Peek(top);
    return 0;
  }
  if (command == L"close") {
    PostMessageW(top, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
  }
  if (command == L"focus") {
    HWND focus = FocusOf(top);
    Print(focus ? L"focus id=" + std::to_wstring(GetDlgCtrlID(focus)) + L" class=" + ClassOf(focus) +
                      L" text=" + TextOf(focus)
                : L"focus none");
    return 0;
  }
  if (command == L"key" && argc >= 4) {
    HWND target = FocusOf(top);
    if (target == nullptr) target = top;
    const WORD vk = KeyCode(argv[3]);
    const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, vk, 1 | (scan << 16));
    if (vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_TAB || vk == VK_SPACE) {
      const wchar_t ch = vk == VK_RETURN ? L'\r' : vk == VK_ESCAPE ? 27 : vk == VK_TAB ? L'\t' : L' ';
      PostMessageW(target, WM_CHAR, ch, 1 | (scan << 16));
    }
    PostMessageW(target, WM_KEYUP, vk, 1 | (scan << 16) | (1u << 30) | (1u << 31));
    return 0;
  }
  if (argc < 4) return Usage();
  HWND control = FindControl(top, argv[3]);
  if (control == nullptr) {
    std::fprintf(stderr, "driver: no control %s\n", Utf8(argv[3]).c_str());
    return 1;
  }
  if (command == L"click") {
    PostMessageW(control, BM_CLICK, 0, 0);
    return 0;
  }
  if (command == L"settext" && argc >= 5) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]), SMTO_ABORTIFHUNG,
                        2000, &result);
    return 0;
  }
  if (command == L"items" || command == L"select" || command == L"dblclick") {
    const std::wstring cls = ClassOf(control);
    const ItemList list{control, _wcsicmp(cls.c_str(), L"ComboBox") == 0};
    if (!list.combo && _wcsicmp(cls.c_str(), L"ListBox") != 0) {
      std::fprintf(stderr, "driver: %s is no list\n", Utf8(argv[3]).c_str());
      return 1;
    }
    if (command == L"items") {
      PrintItems(list);
      return 0;
    }
    if (argc < 5) return Usage();
    return SelectItem(list, static_cast<int>(std::wcstol(argv[4], nullptr, 10)), command == L"dblclick");
  }
  return Usage();
}
