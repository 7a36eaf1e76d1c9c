#pragma once
// A picture from a bitmap resource; the control takes the picture's size.
#include "ui/Control.h"

class TImage : public TControl {
 public:
  void Create(TForm& form, const ControlLayout& layout, const char* bitmapResource);
  SIZE PictureSize() const;

 private:
  UniqueBitmap bitmap_;
};
