#pragma once
// Fonts by description. Fonts live as long as the process: a form and all its
// controls share them, so they are kept in one cache rather than owned per control.
#include <windows.h>

#include <optional>

#include "base/Text.h"

struct TFont {
  Text name = "ＭＳ Ｐゴシック";
  int height = 12;  // character height in pixels
  bool bold = false;
  BYTE charset = SHIFTJIS_CHARSET;
  COLORREF color = GetSysColor(COLOR_WINDOWTEXT);

  // A font taken from the system keeps the system's whole description (cell or
  // character height, weight, italics, quality, pitch), used as long as name, height,
  // weight and character set above stay as they were read from it.
  std::optional<LOGFONTA> system;
  int systemHeight = 0;  // the character height read from the system's font

  HFONT Handle() const;  // the cached GDI font for this description
  LOGFONTA Description() const;
  // The system's message font, as message boxes use it, as the system gives it.
  static TFont MessageFont();
};

// Height in pixels of a line of text in the font, measured on the screen.
int FontLineHeight(const TFont& font);
