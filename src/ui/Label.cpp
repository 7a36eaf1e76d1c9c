#include "ui/Label.h"

void TLabel::Create(TForm& form, const ControlLayout& layout, const Options& options) {
  wordWrap_ = options.wordWrap;
  DWORD style = WS_VISIBLE | (options.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP);
  if (!options.showAccelChar) style |= SS_NOPREFIX;
  CreateHandle(form, "STATIC", style, 0, layout);
  SetTransparent(options.transparent);
}

void TLabel::SetCaption(const Text& caption) {
  SetText(caption);
  if (autoSize_) AdjustSize();
}

void TLabel::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  if (autoSize_) AdjustSize();
}

void TLabel::SetCaptionLater(const Text& caption) {
  // The window's own text handler stores the text and nothing else.
  DefWindowProcA(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption.c_str()));
  if (autoSize_) AdjustSize(false);
}

void TLabel::PaintNow() {
  HWND form = GetParent(Handle());
  const RECT bounds = BoundsRect();
  if (Transparent()) {
    // The text lies on the form's background: a paint cycle of the form where the
    // label was and is, which paints the label over it.
    RECT area;
    UnionRect(&area, &uncovered_, &bounds);
    uncovered_ = RECT{};
    RedrawWindow(form, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return;
  }
  if (!IsRectEmpty(&uncovered_)) {
    // The form's own background where the label no longer is: the form's DC leaves its
    // controls out, the label where it is now among them.
    HDC dc = GetDC(form);
    IntersectClipRect(dc, uncovered_.left, uncovered_.top, uncovered_.right, uncovered_.bottom);
    SendMessageA(form, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(form, dc);
    uncovered_ = RECT{};
  }
  // The system's label draws its client area, background and text, into a DC given to
  // it. Its class draws with its form's DC, so the label's area bounds it.
  HDC dc = GetDC(Handle());
  IntersectClipRect(dc, 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top);
  SendMessageA(Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  ReleaseDC(Handle(), dc);
}

bool TLabel::AdjustSize(bool redraw) {
  const Text text = GetText();
  // Measured in a memory DC: its text metrics are the screen's, and it costs the window
  // system nothing.
  const UniqueMemoryDC memory(CreateCompatibleDC(nullptr));
  if (!memory) return false;
  SelectObject(memory.get(), Font().Handle());
  RECT r{0, 0, Width(), 0};
  UINT format = DT_CALCRECT | DT_NOCLIP | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE);
  DrawTextA(memory.get(), text.empty() ? " " : text.c_str(), -1, &r, format);
  const RECT old = BoundsRect();
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width == old.right - old.left && height == old.bottom - old.top) return false;
  // Without redrawing, the label's edge moves and nothing is painted or marked to be.
  SetWindowPos(Handle(), nullptr, 0, 0, width, height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (redraw ? 0 : SWP_NOREDRAW | SWP_NOCOPYBITS));
  if (!redraw) UnionRect(&uncovered_, &uncovered_, &old);
  return true;
}
