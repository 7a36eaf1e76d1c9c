#pragma once
// A one-line edit box in the system's window colours.
#include <functional>

#include "ui/Control.h"

class TEdit : public TControl {
 public:
  void Create(TForm& form, const ControlLayout& layout, bool visible = true);
  void SelectAll();
  std::function<void()> OnChange;
  void Command(WORD code) override;
  HBRUSH CtlColor(HDC dc) override;
  bool TabStop() const override { return true; }
};
