#pragma once
// A drop-down list without an edit field whose items the control draws itself, all of
// one height (owner-drawn, fixed item height). Each item holds its text and one integer
// of data for the control built on it.
#include <functional>

#include "ui/Control.h"

class TCustomComboBox : public TControl {
 public:
  struct Options {
    int dropDownCount = 8;  // items shown by the open list before it scrolls
    bool visible = true;
  };
  // The layout's height is the height of the closed box.
  void Create(TForm& form, const ControlLayout& layout, const Options& options);
  void Create(TForm& form, const ControlLayout& layout) { Create(form, layout, Options()); }

  int Count() const;
  void Clear();
  int Add(const Text& text, LPARAM data = 0);  // returns the new item's index
  Text Item(int index) const;
  LPARAM ItemData(int index) const;
  int ItemIndex() const;  // the selected item, or -1
  void SetItemIndex(int index);
  int ItemHeight() const;
  // Sets the height of the items and of the closed box's field alike.
  void SetItemHeight(int height);
  bool DroppedDown() const;
  // Moves the closed box and sets its width; its height follows from the item height.
  void Place(int left, int top, int width);

  std::function<void()> OnClick;   // the user picked an item
  std::function<void()> OnChange;  // the selection changed

  void Command(WORD code) override;
  void DrawItem(const DRAWITEMSTRUCT& item) override;
  bool TabStop() const override { return true; }

 protected:
  virtual void Click();
  virtual void Change();
  // Draws item `index` into `rect`, already filled with its background; the DC holds the
  // control's font and the item's text colour. The default draws the text.
  virtual void DrawComboItem(HDC dc, int index, const RECT& rect);

 private:
  void UpdateDropDownHeight(int width);
  int dropDownCount_ = 8;
};
