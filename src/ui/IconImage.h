#pragma once
// An icon, drawn at the system's icon size (32 x 32), e.g. the kind of a message box.
#include "ui/Control.h"

class TIconImage : public TControl {
 public:
  // The icon is not owned: a shared system icon or one loaded from the program's
  // resources, which live as long as the process.
  void Create(TForm& form, const ControlLayout& layout, HICON icon);
  HICON Icon() const;
};
