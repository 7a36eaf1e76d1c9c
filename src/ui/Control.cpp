#include "ui/Control.h"

#include "ui/Application.h"
#include "ui/Form.h"

TControl::~TControl() {
  // Out of the form's list first: a message routed by the form during teardown must
  // not reach this object any more.
  if (form_ != nullptr) form_->RemoveControl(this);
  if (handle_ != nullptr && IsWindow(handle_)) {
    HWND window = handle_;
    Unsubclass();
    DestroyWindow(window);
  }
}

void TControl::Unsubclass() {
  SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(systemProc_));
  SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
  handle_ = nullptr;
}

void TControl::CreateHandle(TForm& form, const char* windowClass, DWORD style, DWORD exStyle,
                            const ControlLayout& layout) {
  form_ = &form;
  name_ = layout.name;
  font_ = form.Font();
  const int id = form.NextControlId();
  handle_ = CreateWindowExA(exStyle, windowClass, layout.caption ? layout.caption : "",
                            style | WS_CHILD, layout.left, layout.top, layout.width, layout.height,
                            form.Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleA(nullptr), nullptr);
  if (handle_ == nullptr) throw Exception("コントロールを作成できません: " + name_);
  SetWindowLongPtrA(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  systemProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TControl::SubclassProc)));
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
  form.AddControl(this);
}

TControl* TControl::FromHandle(HWND window) {
  // Only a window running our procedure is a control of ours: the user data slot of any
  // other window belongs to someone else.
  if (window == nullptr ||
      GetWindowLongPtrA(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&TControl::SubclassProc)) {
    return nullptr;
  }
  return reinterpret_cast<TControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

int TControl::Id() const { return handle_ ? GetDlgCtrlID(handle_) : 0; }

void TControl::SetBounds(int left, int top, int width, int height) {
  SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT TControl::BoundsRect() const {
  RECT r{};
  GetWindowRect(handle_, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(handle_), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

int TControl::Width() const {
  const RECT r = BoundsRect();
  return r.right - r.left;
}

int TControl::Height() const {
  const RECT r = BoundsRect();
  return r.bottom - r.top;
}

bool TControl::Visible() const { return (GetWindowLongA(handle_, GWL_STYLE) & WS_VISIBLE) != 0; }

void TControl::SetVisible(bool visible) { ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE); }

bool TControl::Enabled() const { return IsWindowEnabled(handle_) != FALSE; }

void TControl::SetEnabled(bool enabled) { EnableWindow(handle_, enabled); }

Text TControl::GetText() const {
  const int length = GetWindowTextLengthA(handle_);
  Text text(static_cast<std::size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(handle_, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

void TControl::SetText(const Text& text) { SetWindowTextA(handle_, text.c_str()); }

void TControl::SetFont(const TFont& font) {
  font_ = font;
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
}

void TControl::SetColor(COLORREF color) {
  hasColor_ = true;
  color_ = color;
  brush_.reset(CreateSolidBrush(color));
  InvalidateRect(handle_, nullptr, TRUE);
}

COLORREF TControl::Color() const {
  if (hasColor_) return color_;
  return form_ != nullptr ? form_->Color() : GetSysColor(COLOR_BTNFACE);
}

void TControl::SetFocus() { ::SetFocus(handle_); }

bool TControl::Focused() const { return GetFocus() == handle_; }

void TControl::Repaint() {
  InvalidateRect(handle_, nullptr, TRUE);
  UpdateWindow(handle_);
}

HBRUSH TControl::CtlColor(HDC dc) {
  SetTextColor(dc, font_.color);
  SetBkColor(dc, Color());
  if (transparent_) SetBkMode(dc, TRANSPARENT);
  if (hasColor_) return brush_.get();
  return form_ != nullptr ? form_->BackgroundBrush() : GetSysColorBrush(COLOR_BTNFACE);
}

LRESULT TControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefaultProc(message, wParam, lParam);
}

LRESULT TControl::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(systemProc_, handle_, message, wParam, lParam);
}

LRESULT CALLBACK TControl::SubclassProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) noexcept {
  auto* control = reinterpret_cast<TControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (control == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    const WNDPROC systemProc = control->systemProc_;
    control->Unsubclass();
    return CallWindowProcA(systemProc, window, message, wParam, lParam);
  }
  try {
    return control->WndProc(message, wParam, lParam);
  } catch (...) {
    Application->ReportException();
    return 0;
  }
}
