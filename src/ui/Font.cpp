#include "ui/Font.h"

#include <cstring>
#include <map>
#include <string>

#include "base/Handle.h"

LOGFONTA TFont::Description() const {
  if (system && name == system->lfFaceName && charset == system->lfCharSet &&
      bold == (system->lfWeight >= FW_BOLD) && height == systemHeight) {
    return *system;
  }
  LOGFONTA font;
  std::memset(&font, 0, sizeof font);
  font.lfHeight = -height;
  font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = charset;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  std::strncpy(font.lfFaceName, name.c_str(), LF_FACESIZE - 1);
  return font;
}

HFONT TFont::Handle() const {
  static std::map<std::string, UniqueFont> cache;
  const LOGFONTA font = Description();
  const std::string key(reinterpret_cast<const char*>(&font), sizeof font);
  auto it = cache.find(key);
  if (it == cache.end()) it = cache.emplace(key, UniqueFont(CreateFontIndirectA(&font))).first;
  return it->second.get();
}

TFont TFont::MessageFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  TFont font;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    const LOGFONTA& lf = metrics.lfMessageFont;
    font.name = lf.lfFaceName;
    font.charset = lf.lfCharSet;
    font.bold = lf.lfWeight >= FW_BOLD;
    if (lf.lfHeight < 0) {
      font.height = -lf.lfHeight;
    } else {
      // A cell height (or the default size): the character height is what the font
      // made from it measures.
      const UniqueFont measured(CreateFontIndirectA(&lf));
      HDC dc = GetDC(nullptr);
      HGDIOBJ old = SelectObject(dc, measured.get());
      TEXTMETRICA tm{};
      if (GetTextMetricsA(dc, &tm)) font.height = tm.tmHeight - tm.tmInternalLeading;
      SelectObject(dc, old);
      ReleaseDC(nullptr, dc);
    }
    font.system = lf;
    font.systemHeight = font.height;
  }
  return font;
}

int FontLineHeight(const TFont& font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.Handle());
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return metrics.tmHeight;
}
