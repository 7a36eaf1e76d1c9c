#include "ui/Font.h"

#include <map>
#include <tuple>

#include "base/Handle.h"

HFONT TFont::Handle() const {
  using Key = std::tuple<Text, int, bool, int>;
  static std::map<Key, UniqueFont> cache;
  Key key{name, height, bold, charset};
  auto it = cache.find(key);
  if (it == cache.end()) {
    HFONT font = CreateFontA(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                             charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, name.c_str());
    it = cache.emplace(key, UniqueFont(font)).first;
  }
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
    } else if (lf.lfHeight > 0) {
      font.height = lf.lfHeight;  // cell height; close enough for layout
    }
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
