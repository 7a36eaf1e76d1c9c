#include "folderdlg/PathLabel.h"

#include "folderdlg/PathRoutines.h"

Text ShortenPath(const Text& path, HDC dc, int maxWidth) {
  return ShortenPath(
      path,
      [dc](const Text& text) {
        SIZE size{};
        GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
      },
      maxWidth);
}

Text ShortenPath(const Text& path, const TFont& font, int maxWidth) {
  HDC dc = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, font.Handle());
  Text result = ShortenPath(path, dc, maxWidth);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return result;
}

void TPathLabel::Create(TForm& form, const ControlLayout& layout) {
  TLabel::Options options;
  options.wordWrap = false;
  options.showAccelChar = false;
  TLabel::Create(form, layout, options);
}

void TPathLabel::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TPathLabel::SetTransparent(bool transparent) {
  transparent_ = transparent;
  TLabel::SetTransparent(transparent);
  InvalidateRect(Handle(), nullptr, TRUE);
}

Text TPathLabel::ShownText() const {
  RECT client{};
  GetClientRect(Handle(), &client);
  return ShortenPath(GetText(), Font(), client.right - client.left);
}

void TPathLabel::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Handle(), &paint);
  RECT client{};
  GetClientRect(Handle(), &client);
  if (!transparent_) {
    UniqueBrush brush(CreateSolidBrush(Color()));
    FillRect(dc, &client, brush.get());
  }
  const HGDIOBJ oldFont = SelectObject(dc, Font().Handle());
  SetTextColor(dc, Font().color);
  SetBkMode(dc, TRANSPARENT);
  const Text shown = ShortenPath(GetText(), dc, client.right - client.left);
  UINT format = DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS;
  switch (alignment_) {
    case TAlignment::taLeftJustify: format |= DT_LEFT; break;
    case TAlignment::taRightJustify: format |= DT_RIGHT; break;
    case TAlignment::taCenter: format |= DT_CENTER; break;
  }
  DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &client, format);
  SelectObject(dc, oldFont);
  EndPaint(Handle(), &paint);
}

LRESULT TPathLabel::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the whole client area is painted in WM_PAINT
    case WM_SETTEXT: {
      // Store the text without the static control's own immediate painting, which would
      // show the whole path for a moment; then paint it shortened.
      const LRESULT result = DefWindowProcA(Handle(), message, wParam, lParam);
      InvalidateRect(Handle(), nullptr, TRUE);
      return result;
    }
    case WM_ENABLE:
      InvalidateRect(Handle(), nullptr, TRUE);
      return 0;
    default:
      return TLabel::WndProc(message, wParam, lParam);
  }
}
