#include "ui/ListBox.h"

#include <vector>

void TCustomListBox::Create(TForm& form, const ControlLayout& layout, const Options& options) {
  DWORD style = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
  if (options.visible) style |= WS_VISIBLE;
  if (options.sorted) style |= LBS_SORT;
  if (!options.integralHeight) style |= LBS_NOINTEGRALHEIGHT;
  designHeight_ = layout.height;
  CreateHandle(form, "LISTBOX", style, WS_EX_CLIENTEDGE, layout);
  SetColor(GetSysColor(COLOR_WINDOW));
}

int TCustomListBox::Count() const {
  return static_cast<int>(SendMessageA(Handle(), LB_GETCOUNT, 0, 0));
}

void TCustomListBox::Clear() { SendMessageA(Handle(), LB_RESETCONTENT, 0, 0); }

int TCustomListBox::Add(const Text& text, LPARAM data) {
  const int index = static_cast<int>(
      SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
  if (index >= 0) SendMessageA(Handle(), LB_SETITEMDATA, index, data);
  return index;
}

Text TCustomListBox::Item(int index) const {
  const LRESULT length = SendMessageA(Handle(), LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return Text();
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT got = SendMessageA(Handle(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
  return got == LB_ERR ? Text() : Text(buffer.data(), static_cast<std::size_t>(got));
}

LPARAM TCustomListBox::ItemData(int index) const {
  const LRESULT data = SendMessageA(Handle(), LB_GETITEMDATA, index, 0);
  return data == LB_ERR ? 0 : data;
}

int TCustomListBox::IndexOf(const Text& text) const {
  const LRESULT index =
      SendMessageA(Handle(), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
  return index == LB_ERR ? -1 : static_cast<int>(index);
}

int TCustomListBox::ItemIndex() const {
  const LRESULT index = SendMessageA(Handle(), LB_GETCURSEL, 0, 0);
  return index == LB_ERR ? -1 : static_cast<int>(index);
}

void TCustomListBox::SetItemIndex(int index) { SendMessageA(Handle(), LB_SETCURSEL, index, 0); }

bool TCustomListBox::Selected(int index) const {
  return SendMessageA(Handle(), LB_GETSEL, index, 0) > 0;
}

int TCustomListBox::ItemHeight() const {
  return static_cast<int>(SendMessageA(Handle(), LB_GETITEMHEIGHT, 0, 0));
}

void TCustomListBox::SetItemHeight(int height) {
  SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
  // A list that shows whole items only shrank to whole items of the old height when it
  // was created; give it its designed height again so that it fits the new one.
  SetWindowPos(Handle(), nullptr, 0, 0, Width(), designHeight_, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TCustomListBox::Place(int left, int top, int width, int height) {
  designHeight_ = height;
  SetBounds(left, top, width, height);
}

void TCustomListBox::BeginUpdate() {
  if (updateDepth_++ == 0) SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TCustomListBox::EndUpdate() {
  if (updateDepth_ > 0 && --updateDepth_ == 0) {
    SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
  }
}

void TCustomListBox::Command(WORD code) {
  if (code == LBN_SELCHANGE) Click();
  if (code == LBN_DBLCLK) DblClick();
}

void TCustomListBox::Click() {
  if (OnClick) OnClick();
}

void TCustomListBox::DblClick() {
  if (OnDblClick) OnDblClick();
}

void TCustomListBox::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(key);
}

void TCustomListBox::DrawListItem(HDC dc, int index, const RECT& rect) {
  const Text text = Item(index);
  TextOutA(dc, rect.left + 2, rect.top, text.data(), static_cast<int>(text.size()));
}

void TCustomListBox::DrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  if (static_cast<int>(item.itemID) < 0) {  // an empty list with the focus
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &rect);
    return;
  }
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const COLORREF background = selected ? GetSysColor(COLOR_HIGHLIGHT) : Color();
  UniqueBrush brush(CreateSolidBrush(background));
  FillRect(dc, &rect, brush.get());
  const HGDIOBJ oldFont = SelectObject(dc, Font().Handle());
  const COLORREF oldText = SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : Font().color);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  DrawListItem(dc, static_cast<int>(item.itemID), rect);
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldText);
  SelectObject(dc, oldFont);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &rect);
}

LRESULT TCustomListBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR) {
    char key = static_cast<char>(wParam);
    KeyPress(key);
    if (key == 0) return 0;
    wParam = static_cast<unsigned char>(key);
  }
  return DefaultProc(message, wParam, lParam);
}
