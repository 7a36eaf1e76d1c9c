#include "ui/ComboBox.h"

#include <vector>

void TCustomComboBox::Create(TForm& form, const ControlLayout& layout, const Options& options) {
  dropDownCount_ = options.dropDownCount;
  DWORD style = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
  if (options.visible) style |= WS_VISIBLE;
  // The window's height includes the open list; the closed box takes the field's height.
  ControlLayout withList = layout;
  withList.height = layout.height * (dropDownCount_ + 1);
  CreateHandle(form, "COMBOBOX", style, 0, withList);
  SetColor(GetSysColor(COLOR_WINDOW));
}

int TCustomComboBox::Count() const {
  return static_cast<int>(SendMessageA(Handle(), CB_GETCOUNT, 0, 0));
}

void TCustomComboBox::Clear() { SendMessageA(Handle(), CB_RESETCONTENT, 0, 0); }

int TCustomComboBox::Add(const Text& text, LPARAM data) {
  const int index = static_cast<int>(
      SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
  if (index >= 0) SendMessageA(Handle(), CB_SETITEMDATA, index, data);
  return index;
}

Text TCustomComboBox::Item(int index) const {
  const LRESULT length = SendMessageA(Handle(), CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return Text();
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT got = SendMessageA(Handle(), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
  return got == CB_ERR ? Text() : Text(buffer.data(), static_cast<std::size_t>(got));
}

LPARAM TCustomComboBox::ItemData(int index) const {
  const LRESULT data = SendMessageA(Handle(), CB_GETITEMDATA, index, 0);
  return data == CB_ERR ? 0 : data;
}

int TCustomComboBox::ItemIndex() const {
  const LRESULT index = SendMessageA(Handle(), CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

void TCustomComboBox::SetItemIndex(int index) { SendMessageA(Handle(), CB_SETCURSEL, index, 0); }

int TCustomComboBox::ItemHeight() const {
  return static_cast<int>(SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0));
}

void TCustomComboBox::SetItemHeight(int height) {
  SendMessageA(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height);  // the closed field
  SendMessageA(Handle(), CB_SETITEMHEIGHT, 0, height);                        // the items
  UpdateDropDownHeight(Width());
}

void TCustomComboBox::UpdateDropDownHeight(int width) {
  const int field = static_cast<int>(SendMessageA(Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  const int item = ItemHeight();
  SetWindowPos(Handle(), nullptr, 0, 0, width, field + 8 + item * dropDownCount_ + 2,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomComboBox::Place(int left, int top, int width) {
  SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateDropDownHeight(width);
}

bool TCustomComboBox::DroppedDown() const {
  return SendMessageA(Handle(), CB_GETDROPPEDSTATE, 0, 0) != FALSE;
}

void TCustomComboBox::Command(WORD code) {
  if (code == CBN_SELCHANGE) {
    Click();
    Change();
  }
}

void TCustomComboBox::Click() {
  if (OnClick) OnClick();
}

void TCustomComboBox::Change() {
  if (OnChange) OnChange();
}

void TCustomComboBox::DrawComboItem(HDC dc, int index, const RECT& rect) {
  const Text text = Item(index);
  TextOutA(dc, rect.left + 2, rect.top, text.data(), static_cast<int>(text.size()));
}

void TCustomComboBox::DrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const COLORREF background = selected ? GetSysColor(COLOR_HIGHLIGHT) : Color();
  UniqueBrush brush(CreateSolidBrush(background));
  FillRect(dc, &rect, brush.get());
  if (static_cast<int>(item.itemID) >= 0) {
    const HGDIOBJ oldFont = SelectObject(dc, Font().Handle());
    const COLORREF oldText = SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : Font().color);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawComboItem(dc, static_cast<int>(item.itemID), rect);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldText);
    SelectObject(dc, oldFont);
  }
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) DrawFocusRect(dc, &rect);
}
