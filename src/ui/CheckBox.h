#pragma once
// A check box; its text takes the control's font colour on the form's background.
#include "ui/Control.h"

class TCheckBox : public TControl {
 public:
  void Create(TForm& form, const ControlLayout& layout);
  bool Checked() const;
  void SetChecked(bool checked);
  bool TabStop() const override { return true; }
};
