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

HWND TApplication::Handle() {
  if (handle_ == nullptr) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
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

LRESULT CALLBACK TApplication::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    switch (message) {
      case WM_CLOSE:
        if (Application->mainForm_ != nullptr) Application->mainForm_->Close();
        return 0;
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
  } catch (...) {
    Application->HandleException();
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void TApplication::Run() {
  if (mainForm_ != nullptr && ShowMainForm) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL;
    ShowWindow(Handle(), SW_SHOWNA);
    if (show == SW_SHOWMINNOACTIVE) {
      ShowWindow(Handle(), SW_MINIMIZE);
    } else {
      if (show == SW_SHOWMAXIMIZED) ShowWindow(mainForm_->Handle(), SW_MAXIMIZE);
      mainForm_->Show();
      SetForegroundWindow(mainForm_->Handle());
    }
  }
  while (!terminated_) HandleMessage();
}

void TApplication::Terminate() { PostQuitMessage(0); }

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
  if (!ProcessMessage(message) && !terminated_) WaitMessage();
  pendingFree_.clear();
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

void TApplication::ShowException(const Text& message) {
  const Text text = ExceptionBoxText(message);
  HWND active = GetActiveWindow();
  HWND owner = (active != nullptr && TForm::FromHandle(active) != nullptr) ? active : Handle();
  const std::vector<HWND> disabled = DisableOtherWindows(nullptr);
  MessageBoxA(owner, text.c_str(), title_.c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
  EnableWindows(disabled);
  if (active != nullptr && IsWindow(active)) SetActiveWindow(active);
}

namespace {
struct DisableContext {
  HWND keep;
  HWND application;
  std::vector<HWND>* windows;
};

BOOL CALLBACK DisableOne(HWND window, LPARAM data) {
  auto* context = reinterpret_cast<DisableContext*>(data);
  if (window != context->keep && window != context->application && IsWindowVisible(window) &&
      IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    context->windows->push_back(window);
  }
  return TRUE;
}
}  // namespace

std::vector<HWND> TApplication::DisableOtherWindows(HWND keep) {
  std::vector<HWND> windows;
  DisableContext context{keep, handle_, &windows};
  EnumThreadWindows(GetCurrentThreadId(), &DisableOne, reinterpret_cast<LPARAM>(&context));
  return windows;
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
