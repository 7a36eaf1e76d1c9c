#include "ui/Application.h"

#include <commctrl.h>

#include <cstdio>
#include <exception>
#include <new>

namespace {
TApplication theApplication;
const char kApplicationClass[] = "TApplication";
}  // namespace

TApplication* Application = &theApplication;

TApplication::TApplication() = default;

TApplication::~TApplication() = default;

void TApplication::SetTitle(const Text& title) {
  title_ = title;
  if (handle_ != nullptr) SetWindowTextA(handle_, title_.c_str());
}

HICON TApplication::Icon() {
  if (icon_ == nullptr) icon_ = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
  if (icon_ == nullptr) icon_ = LoadIcon(nullptr, IDI_APPLICATION);
  return icon_;
}

void TApplication::LoadCommonControls() {
  if (commonControls_) return;
  SystemLibrary library("comctl32.dll");
  using InitProc = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  library.Proc<InitProc>("InitCommonControlsEx")(&controls);
  commonControls_.emplace(std::move(library));
}

void TApplication::DrawClassic(HWND control) {
  if (!themes_) themes_.emplace("uxtheme.dll");
  using SetThemeProc = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  // A theme of no name: the control finds no theme data and draws itself classically,
  // with the classic frame, which takes effect when the frame is computed again.
  themes_->Proc<SetThemeProc>("SetWindowTheme")(control, L" ", L" ");
  SetWindowPos(control, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND TApplication::Handle() {
  if (handle_ == nullptr) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &TApplication::WndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = Icon();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kApplicationClass;
    RegisterClassExA(&wc);
    // Zero size, centred: it only carries the title and the task-bar entry.
    handle_ = CreateWindowExA(0, kApplicationClass, title_.c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                              GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2,
                              0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  return handle_;
}

LRESULT CALLBACK TApplication::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  try {
    switch (message) {
      case WM_CLOSE:
        // Disabled, a box is up and a handler is still running: closing then would pull
        // the program away under that handler.
        if (!IsWindowEnabled(window)) return 0;
        if (Application->mainForm_ != nullptr) Application->mainForm_->Close();
        return 0;
      case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
          case SC_MINIMIZE:
            Application->Minimize();
            return 0;
          case SC_RESTORE:
            if (IsIconic(window)) {
              DefWindowProcA(window, message, wParam, lParam);
              Application->Restore();
              return 0;
            }
            break;
          default:
            break;
        }
        break;
      case WM_SIZE:
        // Restored by other means than the system command (the shell, the window manager).
        if (wParam != SIZE_MINIMIZED && Application->minimized_ && !IsIconic(window)) Application->Restore();
        break;
      case WM_SETFOCUS:
        // The zero-size window never keeps the focus: hand it to the main form.
        if (Application->mainForm_ != nullptr &&
            Application->mainForm_->Visible() && IsWindowEnabled(Application->mainForm_->Handle())) {
          SetFocus(Application->mainForm_->Handle());
          return 0;
        }
        break;
      default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  } catch (...) {
    Application->ReportException();
    return 0;
  }
}

void TApplication::Run() {
  if (mainForm_ != nullptr && ShowMainForm) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    ShowMainFormFor((startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL);
  }
  while (!terminated_) HandleMessage();
}

void TApplication::ShowMainFormFor(int showCommand) {
  if (mainForm_ == nullptr) return;
  if (showCommand == SW_SHOWMINNOACTIVE) {
    // The task-bar entry comes up minimised; the main form waits for the restore.
    mainFormPending_ = true;
    minimized_ = true;
    ShowWindow(Handle(), SW_SHOWMINNOACTIVE);
    return;
  }
  ShowWindow(Handle(), SW_SHOWNA);
  if (showCommand == SW_SHOWMAXIMIZED) ShowWindow(mainForm_->Handle(), SW_MAXIMIZE);
  mainForm_->Show();
  SetForegroundWindow(mainForm_->Handle());
}

namespace {
BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

// The top-level windows of the program's (one) GUI thread.
std::vector<HWND> ThreadWindows() {
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), &CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}
}  // namespace

void TApplication::Minimize() {
  if (minimized_) return;
  activeBeforeMinimize_ = GetActiveWindow();
  hiddenByMinimize_.clear();
  for (HWND window : ThreadWindows()) {
    if (GetWindow(window, GW_OWNER) == Handle() && IsWindowVisible(window)) hiddenByMinimize_.push_back(window);
  }
  for (HWND window : hiddenByMinimize_) ShowWindow(window, SW_HIDE);
  minimized_ = true;
  ShowWindow(handle_, SW_MINIMIZE);
}

void TApplication::Restore() {
  if (!minimized_) return;
  minimized_ = false;
  if (IsIconic(Handle())) ShowWindow(handle_, SW_RESTORE);
  const std::vector<HWND> windows = std::move(hiddenByMinimize_);
  hiddenByMinimize_.clear();
  for (HWND window : windows) {
    if (IsWindow(window)) ShowWindow(window, SW_SHOWNA);
  }
  HWND activate = activeBeforeMinimize_;
  activeBeforeMinimize_ = nullptr;
  if (mainFormPending_ && mainForm_ != nullptr) {
    // A minimised start: the main form comes up now, as at a normal start.
    mainFormPending_ = false;
    mainForm_->Show();
    activate = mainForm_->Handle();
  }
  if (activate == nullptr || !IsWindow(activate) || !IsWindowVisible(activate)) {
    activate = mainForm_ != nullptr && mainForm_->Visible() ? mainForm_->Handle() : nullptr;
  }
  // While a box is up, the box takes the activation rather than the disabled form.
  if (activate != nullptr && !IsWindowEnabled(activate)) {
    for (HWND window : windows) {
      if (IsWindow(window) && IsWindowEnabled(window) && IsWindowVisible(window)) activate = window;
    }
  }
  if (activate != nullptr) SetForegroundWindow(activate);
}

void TApplication::Terminate() {
  terminateRequested_ = true;
  PostQuitMessage(0);
}

bool TApplication::ProcessMessage(MSG& message) {
  if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
  if (message.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root != nullptr && TForm::FromHandle(root) != nullptr && IsDialogMessageA(root, &message)) {
    return true;
  }
  TranslateMessage(&message);
  DispatchMessageA(&message);
  return true;
}

void TApplication::HandleMessage() {
  MSG message;
  ++dispatchDepth_;
  const bool handled = ProcessMessage(message);
  --dispatchDepth_;
  if (!handled && !terminated_) WaitMessage();
  // Forms closed with the free action go only when no handler of theirs can still be
  // running: after the outermost dispatch, not in a modal loop nested inside one.
  if (dispatchDepth_ == 0 && !pendingFree_.empty()) {
    std::vector<std::unique_ptr<TForm>> doomed = std::move(pendingFree_);
    pendingFree_.clear();
  }
}

void TApplication::HandleException() {
  if (GetCapture() != nullptr) ReleaseCapture();
  try {
    throw;
  } catch (const EAbort&) {
    // never shown
  } catch (const Exception& e) {
    ShowException(e.Message());
  } catch (const std::bad_alloc&) {
    ShowException("メモリが不足しています");
  } catch (const std::exception& e) {
    ShowException(e.what());
  } catch (...) {
    ShowException("予期しない例外が発生しました");
  }
}

void TApplication::ReportException() noexcept {
  try {
    HandleException();
  } catch (...) {
    // Showing it failed as well (out of memory, most likely): a fixed text that needs
    // nothing more.
    MessageBoxA(nullptr, "予期しない例外が発生しました.", title_.c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
  }
}

void TApplication::ShowException(const Text& message) {
  const Text text = ExceptionBoxText(message);
  HWND active = GetActiveWindow();
  HWND owner = (active != nullptr && TForm::FromHandle(active) != nullptr) ? active : Handle();
  const std::vector<HWND> disabled = DisableOtherWindows(nullptr);
  const UINT onTop = StayOnTopWindowShown(nullptr) ? MB_TOPMOST : 0;
  MessageBoxA(owner, text.c_str(), title_.c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL | onTop);
  EnableWindows(disabled);
  if (active != nullptr && IsWindow(active)) SetActiveWindow(active);
}

std::vector<HWND> TApplication::DisableOtherWindows(HWND keep) {
  std::vector<HWND> windows;
  for (HWND window : ThreadWindows()) {
    if (window != keep && IsWindowVisible(window) && IsWindowEnabled(window)) {
      EnableWindow(window, FALSE);
      windows.push_back(window);
    }
  }
  return windows;
}

bool TApplication::StayOnTopWindowShown(HWND except) const {
  for (HWND window : ThreadWindows()) {
    if (window != except && IsWindowVisible(window) && (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) {
      return true;
    }
  }
  return false;
}

void TApplication::EnableWindows(const std::vector<HWND>& windows) {
  for (HWND window : windows) {
    if (IsWindow(window)) EnableWindow(window, TRUE);
  }
}

void TApplication::FreeForms() {
  for (auto& form : forms_) {
    if (form && form->Handle()) ShowWindow(form->Handle(), SW_HIDE);
  }
  pendingFree_.clear();
  while (!forms_.empty()) forms_.pop_back();
  mainForm_ = nullptr;
  if (handle_ != nullptr) {
    DestroyWindow(handle_);
    handle_ = nullptr;
  }
}

void TApplication::ReleaseForm(TForm* form) {
  // An owned form is freed after the message being handled, never inside its own
  // handler; a form that the application does not own belongs to its creator.
  for (auto it = forms_.begin(); it != forms_.end(); ++it) {
    if (it->get() == form) {
      pendingFree_.push_back(std::move(*it));
      forms_.erase(it);
      return;
    }
  }
}

void ExitProgram(UINT code) {
  Application->FreeForms();
  std::fflush(nullptr);
  ExitProcess(code);
}
