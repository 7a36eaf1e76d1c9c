#pragma once
// A push button. A modal result, when set, closes a modal form before OnClick runs.
#include <functional>

#include "ui/Control.h"

class TButton : public TControl {
 public:
  void Create(TForm& form, const ControlLayout& layout);
  std::function<void()> OnClick;
  int ModalResult = 0;
  void Click();
  void SetDefault(bool isDefault);
  void Command(WORD code) override;
  HBRUSH CtlColor(HDC dc) override;
  bool TabStop() const override { return true; }
};
