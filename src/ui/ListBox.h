#pragma once
// A list box whose items the control draws itself, all of one height (owner-drawn,
// fixed item height). Each item holds its text and one integer of data that the control
// built on it interprets (which glyph, which kind of entry).
#include <functional>

#include "ui/Control.h"

class TCustomListBox : public TControl {
 public:
  struct Options {
    bool sorted = false;         // kept in order by the list itself (ignoring case)
    bool integralHeight = false;  // shows whole items only
    bool visible = true;
  };
  void Create(TForm& form, const ControlLayout& layout, const Options& options);
  void Create(TForm& form, const ControlLayout& layout) { Create(form, layout, Options()); }

  int Count() const;
  void Clear();
  // Adds an item (at its sorted place in a sorted list); returns its index.
  int Add(const Text& text, LPARAM data = 0);
  Text Item(int index) const;
  LPARAM ItemData(int index) const;
  // The index of the item whose whole text equals `text` ignoring case; -1 when none.
  int IndexOf(const Text& text) const;
  int ItemIndex() const;  // the selected item, or -1
  void SetItemIndex(int index);
  bool Selected(int index) const;
  int ItemHeight() const;
  void SetItemHeight(int height);
  // Moves and sizes the list; the height is the one asked for, which a list that shows
  // whole items only rounds down to whole items (again after each change of item height).
  void Place(int left, int top, int width, int height);
  // Item changes made between these two are shown once, when the last EndUpdate runs.
  void BeginUpdate();
  void EndUpdate();

  std::function<void()> OnClick;     // the user changed the selection
  std::function<void()> OnDblClick;  // the user double-clicked an item
  std::function<void(char& key)> OnKeyPress;

  void Command(WORD code) override;
  void DrawItem(const DRAWITEMSTRUCT& item) override;
  bool TabStop() const override { return true; }

 protected:
  virtual void Click();
  virtual void DblClick();
  // A character typed while the list has the focus; setting key to 0 swallows it.
  virtual void KeyPress(char& key);
  // Draws item `index` into `rect`, which is already filled with the item's background;
  // the DC holds the control's font and the item's text colour. The default draws the
  // text 2 pixels from the left.
  virtual void DrawListItem(HDC dc, int index, const RECT& rect);
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  int designHeight_ = 0;
  int updateDepth_ = 0;
};
