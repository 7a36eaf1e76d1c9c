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

void TLabel::AdjustSize() {
  const Text text = GetText();
  HDC dc = GetDC(Handle());
  HGDIOBJ old = SelectObject(dc, Font().Handle());
  RECT r{0, 0, Width(), 0};
  UINT format = DT_CALCRECT | DT_NOCLIP | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE);
  DrawTextA(dc, text.empty() ? " " : text.c_str(), -1, &r, format);
  SelectObject(dc, old);
  ReleaseDC(Handle(), dc);
  SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
