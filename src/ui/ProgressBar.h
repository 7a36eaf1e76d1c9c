#pragma once
// A progress bar with a 32-bit range.
#include "ui/Control.h"

class TProgressBar : public TControl {
 public:
  void Create(TForm& form, const ControlLayout& layout, bool smooth, bool visible = true);
  void SetRange(int minimum, int maximum);
  int Min() const;
  int Max() const;
  void SetPosition(int position);
  int Position() const;
};
