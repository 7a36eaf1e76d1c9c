#pragma once
// A label for a path that does not fit: it paints its caption shortened to its width
// with "...\" (C:\...\Tolvar\korvani), while the caption itself keeps the whole path.
#include "ui/Font.h"
#include "ui/Label.h"

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

class TPathLabel : public TLabel {
 public:
  // No word wrap, no automatic size, "&" shown as typed.
  void Create(TForm& form, const ControlLayout& layout);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);

  // The text as painted: the caption shortened to the client width.
  Text ShownText() const;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint();
  TAlignment alignment_ = TAlignment::taLeftJustify;
  bool transparent_ = false;
};

// ShortenPath measured in a font on the screen.
Text ShortenPath(const Text& path, const TFont& font, int maxWidth);
// ShortenPath measured in the font selected into a DC.
Text ShortenPath(const Text& path, HDC dc, int maxWidth);
