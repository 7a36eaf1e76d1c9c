#pragma once
// A static text. Word wrap on by default; with AutoSize it grows to fit its text.
#include "ui/Control.h"

class TLabel : public TControl {
 public:
  struct Options {
    bool wordWrap = true;
    bool transparent = false;
    bool showAccelChar = true;  // "&" marks an access key
  };
  void Create(TForm& form, const ControlLayout& layout, const Options& options);
  void Create(TForm& form, const ControlLayout& layout) { Create(form, layout, Options()); }
  void SetCaption(const Text& caption);
  Text Caption() const { return GetText(); }
  // Resizes the label to its text: the height always, the width too when the text
  // does not fit the present width.
  void SetAutoSize(bool autoSize);
  bool AutoSize() const { return autoSize_; }
  void AdjustSize();

 private:
  bool autoSize_ = false;
  bool wordWrap_ = true;
};
