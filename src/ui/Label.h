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
  // Sets the caption without drawing anything now (the system's label would draw a new
  // text at once); PaintNow draws it.
  void SetCaptionLater(const Text& caption);
  // Draws the label at once with its own drawing code, and its form's background where
  // the label was before SetCaptionLater changed its size, without a paint cycle of
  // the window system for either (a transparent label takes one of its form's).
  void PaintNow();
  Text Caption() const { return GetText(); }
  // Resizes the label to its text: the height always, the width too when the text
  // does not fit the present width.
  void SetAutoSize(bool autoSize);
  bool AutoSize() const { return autoSize_; }
  void AdjustSize() { AdjustSize(true); }

 private:
  // Gives the label the size its text needs; true when that changed the size. With
  // `redraw` false nothing is drawn: what changed is only marked to be painted.
  bool AdjustSize(bool redraw);
  bool autoSize_ = false;
  bool wordWrap_ = true;
  RECT uncovered_{};  // where the label was and no longer is, in its form's client area
};
