#include "ui/Form.h"

#include <set>
#include <string>

#include "base/Exceptions.h"
#include "ui/Application.h"
#include "ui/Button.h"
#include "ui/Control.h"

namespace {

DWORD StyleFor(TBorderStyle border) {
  switch (border) {
    case TBorderStyle::Sizeable: return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    case TBorderStyle::Dialog: return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    case TBorderStyle::DialogNoButtons: return WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
  }
  return WS_OVERLAPPEDWINDOW;
}

DWORD ExStyleFor(TBorderStyle border, bool stayOnTop) {
  DWORD ex = WS_EX_CONTROLPARENT;
  if (border != TBorderStyle::Sizeable) ex |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
  if (stayOnTop) ex |= WS_EX_TOPMOST;
  return ex;
}

}  // namespace

LRESULT CALLBACK FormTrampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* form = static_cast<TForm*>(create->lpCreateParams);
    form->handle_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (form == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    form->handle_ = nullptr;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  try {
    return form->WndProc(message, wParam, lParam);
  } catch (...) {
    Application->ReportException();
    return 0;
  }
}

void TForm::RegisterWindowClass(const char* className) {
  static std::set<std::string> registered;
  if (registered.count(className)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = FormTrampoline;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hIcon = Application->Icon();
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = className;
  if (!RegisterClassExA(&wc)) throw Exception(Text("ウィンドウクラスを登録できません: ") + className);
  registered.insert(className);
}

TForm::TForm(const FormParams& params)
    : font_(params.font), color_(params.color), brush_(CreateSolidBrush(params.color)),
      position_(params.position) {
  RegisterWindowClass(params.className);
  const DWORD style = StyleFor(params.border);
  const DWORD exStyle = ExStyleFor(params.border, params.stayOnTop);
  int width = params.width, height = params.height;
  if (params.clientSize) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    width = r.right - r.left;
    height = r.bottom - r.top;
  }
  CreateWindowExA(exStyle, params.className, params.caption.c_str(), style, params.left, params.top,
                  width, height, Application->Handle(), nullptr, GetModuleHandleA(nullptr), this);
  if (handle_ == nullptr) throw Exception(Text("ウィンドウを作成できません: ") + params.className);
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
  if (position_ == TPosition::ScreenCenter) CenterOnScreen();
}

TForm::~TForm() {
  // Member controls are gone by now and have left the list; any control that outlives
  // the form forgets it.
  for (TControl* control : controls_) control->form_ = nullptr;
  controls_.clear();
  activeControl_ = nullptr;
  defaultButton_ = cancelButton_ = nullptr;
  if (handle_ != nullptr) DestroyWindow(handle_);
}

void TForm::RemoveControl(TControl* control) {
  for (auto it = controls_.begin(); it != controls_.end(); ++it) {
    if (*it == control) {
      controls_.erase(it);
      break;
    }
  }
  if (activeControl_ == control) activeControl_ = nullptr;
  if (defaultButton_ == control) defaultButton_ = nullptr;
  if (cancelButton_ == control) cancelButton_ = nullptr;
}

TForm* TForm::FromHandle(HWND window) {
  if (window == nullptr) return nullptr;
  if (GetWindowLongPtrA(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&FormTrampoline)) {
    return nullptr;
  }
  return reinterpret_cast<TForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

Text TForm::Caption() const {
  char buffer[512] = {};
  GetWindowTextA(handle_, buffer, sizeof buffer);
  return buffer;
}

void TForm::SetCaption(const Text& caption) { SetWindowTextA(handle_, caption.c_str()); }

void TForm::SetClientSize(int width, int height) {
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, GetWindowLongA(handle_, GWL_STYLE), FALSE,
                     GetWindowLongA(handle_, GWL_EXSTYLE));
  SetWindowPos(handle_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetBounds(int left, int top, int width, int height) {
  SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT TForm::BoundsRect() const {
  RECT r{};
  GetWindowRect(handle_, &r);
  return r;
}

void TForm::CenterOnScreen() {
  const RECT r = BoundsRect();
  const int width = r.right - r.left, height = r.bottom - r.top;
  SetWindowPos(handle_, nullptr, GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2,
               GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::CenterOver(HWND window) {
  RECT outer{};
  GetWindowRect(window, &outer);
  const RECT r = BoundsRect();
  const int width = r.right - r.left, height = r.bottom - r.top;
  SetWindowPos(handle_, nullptr, (outer.left + outer.right) / 2 - width / 2,
               (outer.top + outer.bottom) / 2 - height / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TForm::Visible() const { return IsWindowVisible(handle_) != FALSE; }

void TForm::Show() {
  if (position_ == TPosition::MainFormCenter && Application->MainForm() != nullptr &&
      Application->MainForm() != this) {
    CenterOver(Application->MainForm()->Handle());
  }
  FormShow();
  ShowWindow(handle_, SW_SHOW);
  if (GetActiveWindow() == handle_) {
    if (activeControl_ != nullptr) {
      activeControl_->SetFocus();
    } else if (HWND first = GetNextDlgTabItem(handle_, nullptr, FALSE)) {
      ::SetFocus(first);
    }
  }
}

void TForm::Hide() { ShowWindow(handle_, SW_HIDE); }

void TForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  // Closing again while the close handler runs, or once closing the main form has ended
  // the program, would run the close handler twice.
  if (closing_ || (Application->MainForm() == this && Application->TerminateRequested())) return;
  TCloseAction action = TCloseAction::Hide;
  closing_ = true;
  try {
    FormClose(action);
  } catch (...) {
    closing_ = false;
    throw;
  }
  closing_ = false;
  if (action == TCloseAction::None) return;
  if (Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case TCloseAction::Hide: Hide(); break;
    case TCloseAction::Minimize: ShowWindow(handle_, SW_MINIMIZE); break;
    case TCloseAction::Free: Hide(); Application->ReleaseForm(this); break;
    case TCloseAction::None: break;
  }
}

int TForm::ShowModal() {
  if (Visible() || !IsWindowEnabled(handle_) || modal_) {
    throw EInvalidOperation("表示されているウィンドウをモーダルにすることはできません");
  }
  ReleaseCapture();
  HWND previouslyActive = GetActiveWindow();
  const std::vector<HWND> disabled = Application->DisableOtherWindows(handle_);
  // A modal form stands above every window of the program, the stay-on-top ones too:
  // a box must never open hidden behind the progress window.
  const bool raised = (GetWindowLongA(handle_, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0 &&
                      Application->StayOnTopWindowShown(handle_);
  const auto lower = [&] {
    if (raised) SetWindowPos(handle_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  };
  if (raised) SetWindowPos(handle_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  modal_ = true;
  modalResult_ = mrNone;
  bool freeAfter = false;
  try {
    Show();
    SetForegroundWindow(handle_);
    while (true) {
      Application->HandleMessage();
      if (Application->Terminated()) modalResult_ = mrCancel;
      if (modalResult_ != mrNone) {
        TCloseAction action = TCloseAction::Hide;
        try {
          FormClose(action);
        } catch (...) {
          modalResult_ = mrNone;
          Application->ReportException();
          continue;
        }
        if (action == TCloseAction::None) {
          modalResult_ = mrNone;
          continue;
        }
        freeAfter = action == TCloseAction::Free;
        break;
      }
    }
  } catch (...) {
    modal_ = false;
    Application->EnableWindows(disabled);
    Hide();
    lower();
    throw;
  }
  modal_ = false;
  Application->EnableWindows(disabled);
  Hide();
  lower();
  if (previouslyActive != nullptr && IsWindow(previouslyActive)) SetActiveWindow(previouslyActive);
  const int result = modalResult_;
  if (freeAfter) Application->ReleaseForm(this);
  return result;
}

void TForm::SetActiveControl(TControl* control) {
  activeControl_ = control;
  if (control != nullptr && GetActiveWindow() == handle_) control->SetFocus();
}

void TForm::SetDefaultButton(TButton* button) {
  if (defaultButton_ != nullptr) defaultButton_->SetDefault(false);
  defaultButton_ = button;
  if (button != nullptr) button->SetDefault(true);
}

void TForm::SetCancelButton(TButton* button) { cancelButton_ = button; }

void TForm::SetTabOrder(const std::vector<TControl*>& order) {
  HWND after = HWND_TOP;
  for (TControl* control : order) {
    SetWindowPos(control->Handle(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = control->Handle();
  }
}

void TForm::DoCreate() {
  try {
    FormCreate();
  } catch (...) {
    Application->ReportException();
  }
}

void TForm::ClickButton(TButton* button) {
  if (button != nullptr && button->Visible() && button->Enabled()) button->Click();
}

void TForm::Update() { RedrawWindow(handle_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_SYSCOMMAND:
      // The main form's minimise box minimises the application: the task-bar entry is
      // the application's, and restoring it brings the form back.
      if ((wParam & 0xFFF0) == SC_MINIMIZE && Application->MainForm() == this) {
        Application->Minimize();
        return 0;
      }
      break;
    case WM_ERASEBKGND: {
      RECT r{};
      GetClientRect(handle_, &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, brush_.get());
      return 1;
    }
    case WM_COMMAND: {
      if (lParam != 0) {
        if (TControl* control = TControl::FromHandle(reinterpret_cast<HWND>(lParam))) {
          control->Command(HIWORD(wParam));
          return 0;
        }
      }
      // Enter and Esc, as dialog navigation reports them.
      if (LOWORD(wParam) == IDOK) ClickButton(defaultButton_);
      if (LOWORD(wParam) == IDCANCEL) ClickButton(cancelButton_);
      return 0;
    }
    case DM_GETDEFID:
      if (defaultButton_ != nullptr && defaultButton_->Visible()) {
        return MAKELRESULT(defaultButton_->Id(), DC_HASDEFID);
      }
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      if (TControl* control = TControl::FromHandle(reinterpret_cast<HWND>(lParam))) {
        if (HBRUSH brush = control->CtlColor(reinterpret_cast<HDC>(wParam))) {
          return reinterpret_cast<LRESULT>(brush);
        }
      }
      break;
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (TControl* control = TControl::FromHandle(item->hwndItem)) {
        control->DrawItem(*item);
        return TRUE;
      }
      break;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      for (TControl* control : controls_) {
        if (control->Id() == static_cast<int>(item->CtlID)) {
          control->MeasureItem(*item);
          return TRUE;
        }
      }
      break;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(handle_, focus)) lastFocus_ = focus;
      } else {
        HWND target = lastFocus_;
        if (target == nullptr || !IsWindow(target) || !IsWindowVisible(target)) {
          target = activeControl_ ? activeControl_->Handle() : GetNextDlgTabItem(handle_, nullptr, FALSE);
        }
        if (target != nullptr) ::SetFocus(target);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(handle_, message, wParam, lParam);
}
