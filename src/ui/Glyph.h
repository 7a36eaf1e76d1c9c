#pragma once
// A small picture from the program's bitmap resources, drawn with one colour left out:
// the colour of its bottom-left pixel is transparent, so the glyph sits on whatever
// background its item was filled with (normal or selected alike).
#include <windows.h>

#include "base/Handle.h"

class TGlyph {
 public:
  TGlyph() = default;
  // Loads the bitmap resource of that name; false when there is none.
  bool Load(const char* resourceName);
  bool Loaded() const { return static_cast<bool>(image_); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  COLORREF TransparentColor() const { return transparent_; }

  // Draws the glyph with its top-left corner at x, y; the transparent pixels leave what
  // the DC shows there.
  void Draw(HDC dc, int x, int y) const;
  // Draws the glyph in an item rectangle: `offset` pixels from its left edge, centred
  // vertically (top = (top + bottom - height) div 2).
  void DrawInItem(HDC dc, const RECT& item, int offset) const;

 private:
  UniqueBitmap image_;  // the picture with its transparent pixels made black
  UniqueBitmap mask_;   // monochrome: white where the picture is transparent
  int width_ = 0;
  int height_ = 0;
  COLORREF transparent_ = CLR_INVALID;
};
