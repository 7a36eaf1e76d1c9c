// korvani.exe: the application's stand-in. One window that says what it is (a sample
// that the installer carries, so that an installation has something to start) and
// shows the folder it was installed in. It has no other function.
#include <windows.h>

#include "base/SystemLibrary.h"
#include "common/ModuleFolder.h"
#include "common/Product.h"

namespace {

enum ControlId { kNotice = 101, kFolderLabel = 102, kFolder = 103 };

constexpr int kClientWidth = 440;
constexpr int kClientHeight = 176;

const char kNoticeText[] =
    "このプログラムは「コルヴァニ　領収書発行」のサンプルです。"
    "セットアップでインストールされたことを確かめるためのもので、"
    "領収書を発行する機能はありません。";

HFONT g_font = nullptr;

HWND AddControl(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w,
                int h, int id) {
  HWND control = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
  if (control != nullptr && g_font != nullptr) {
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), FALSE);
  }
  return control;
}

void CreateControls(HWND window) {
  const Text folder = payload::ModuleFolder();
  AddControl(window, "STATIC", kNoticeText, SS_LEFT, 16, 16, 408, 56, kNotice);
  AddControl(window, "STATIC", "このプログラムのフォルダー:", SS_LEFT, 16, 84, 408, 18,
             kFolderLabel);
  HWND edit = AddControl(window, "EDIT", folder.c_str(),
                         WS_BORDER | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL, 16, 104, 408, 22,
                         kFolder);
  AddControl(window, "BUTTON", "閉じる", WS_TABSTOP | BS_DEFPUSHBUTTON, 334, 138, 90, 26,
             IDCANCEL);
  SetFocus(edit);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateControls(window);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) DestroyWindow(window);
      return 0;
    case WM_CTLCOLORSTATIC:
      // Read-only edit and labels on the window's own background.
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  RestrictDllSearchToSystemFolder();
  g_font = CreateFontA(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, "ＭＳ Ｐゴシック");

  WNDCLASSEXA cls = {};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = WindowProc;
  cls.hInstance = instance;
  cls.hIcon = LoadIconA(instance, "MAINICON");
  cls.hIconSm = cls.hIcon;
  cls.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  cls.lpszClassName = product::kApplicationWindowClass;
  if (!RegisterClassExA(&cls)) return 1;

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame = {0, 0, kClientWidth, kClientHeight};
  AdjustWindowRect(&frame, style, FALSE);
  HWND window = CreateWindowExA(0, product::kApplicationWindowClass, product::kName, style,
                                CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  if (g_font != nullptr) DeleteObject(g_font);
  return static_cast<int>(msg.wParam);
}
