#pragma once
// Fonts by description. Fonts live as long as the process: a form and all its
// controls share them, so they are kept in one cache rather than owned per control.
#include <windows.h>

#include "base/Text.h"

struct TFont {
  Text name = "ＭＳ Ｐゴシック";
  int height = 12;  // character height in pixels
  bool bold = false;
  BYTE charset = SHIFTJIS_CHARSET;
  COLORREF color = GetSysColor(COLOR_WINDOWTEXT);

  HFONT Handle() const;  // the cached GDI font for this description
  // The system's message font, as message boxes use it.
  static TFont MessageFont();
};

// Height in pixels of a line of text in the font, measured on the screen.
int FontLineHeight(const TFont& font);
