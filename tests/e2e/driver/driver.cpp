// The end-to-end driver: finds the installer's windows in the same Wine session, reads
// them (class, caption, rectangles, control texts and states) and works them as a user
// would (clicks, keys, close box). Output is UTF-8, one fact per line.
//
//   driver list                          visible top-level windows
//   driver wait SPEC [ms]                wait until a window matching SPEC is visible
//   driver gone SPEC [ms]                wait until no window matches SPEC
//   driver dump SPEC                     the window and its controls
//   driver click SPEC CONTROL            post a click to a button (id or caption)
//   driver settext SPEC CONTROL TEXT     replace an edit box's text
//   driver close SPEC                    the title-bar close box (system close command)
//   driver key SPEC KEY                  a key to the window's focused control
//                                        (KEY: enter, esc, tab, space, or a number)
//   driver focus SPEC                    name the control that has the focus
//
// SPEC is "Class|Title" with either side empty for any, e.g. "TSetupForm|" or
// "#32770|コルヴァニ　領収書発行セットアップ". Exit code 0 on success, 1 when a
// window or control is not found in time, 2 on bad usage.
#include <windows.h>
#include <commctrl.h>

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

struct Spec {
  std::wstring cls, title;
  bool Matches(HWND window) const {
    if (!cls.empty() && ClassOf(window) != cls) return false;
    if (!title.empty() && TextOf(window) != title) return false;
    return true;
  }
};

Spec ParseSpec(const std::wstring& text) {
  const std::size_t bar = text.find(L'|');
  if (bar == std::wstring::npos) return Spec{text, L""};
  return Spec{text.substr(0, bar), text.substr(bar + 1)};
}

struct FindContext {
  const Spec* spec;
  HWND found;
};

BOOL CALLBACK FindOne(HWND window, LPARAM data) {
  auto* context = reinterpret_cast<FindContext*>(data);
  if (IsWindowVisible(window) && context->spec->Matches(window)) {
    context->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindVisible(const Spec& spec) {
  FindContext context{&spec, nullptr};
  EnumWindows(&FindOne, reinterpret_cast<LPARAM>(&context));
  return context.found;
}

HWND WaitFor(const Spec& spec, DWORD ms) {
  const DWORD start = GetTickCount();
  while (true) {
    if (HWND window = FindVisible(spec)) return window;
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
  for (HWND child : Children(top)) {
    if (numeric && GetDlgCtrlID(child) == id) return child;
    if (!numeric && TextOf(child) == which) return child;
  }
  return nullptr;
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

int Usage() {
  std::fputs("usage: driver list|wait|gone|dump|click|settext|close|key|focus ...\n", stderr);
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
  const Spec spec = ParseSpec(argv[2]);
  const DWORD timeout = argc > 3 && (command == L"wait" || command == L"gone")
                            ? static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10))
                            : 10000;
  if (command == L"gone") {
    const DWORD start = GetTickCount();
    while (FindVisible(spec) != nullptr) {
      if (GetTickCount() - start > timeout) return 1;
      Sleep(50);
    }
    return 0;
  }
  HWND top = WaitFor(spec, timeout);
  if (top == nullptr) {
    std::fprintf(stderr, "driver: no window %s\n", Utf8(argv[2]).c_str());
    return 1;
  }
  if (command == L"wait") return 0;
  if (command == L"dump") {
    Dump(top);
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
  return Usage();
}
