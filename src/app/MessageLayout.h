#pragma once
// Where the parts of a message box go. Everything is measured in dialog units of the
// box's font (a horizontal unit is a quarter of the average character width, a
// vertical unit an eighth of the character height) and converted to pixels here; the
// caller measures the font and the wrapped text. Portable: no window is touched.
#include <algorithm>
#include <vector>

namespace msglayout {

// Dialog units of the message box's layout.
constexpr int kMargin = 8;         // on every side
constexpr int kSpacing = 10;       // icon to text, and text to buttons
constexpr int kButtonWidth = 50;   // narrowest button
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;      // between neighbouring buttons
// Pixels.
constexpr int kIconSize = 32;
constexpr int kCaptionPadding = 8;  // added to the widest caption when it needs more room

struct DialogUnits {
  int charWidth = 0;   // average character width of the font, in pixels
  int charHeight = 0;  // character height of the font, in pixels

  // Pixels of a number of units, rounded to the nearest pixel.
  int X(int units) const { return Scale(units, charWidth, 4); }
  int Y(int units) const { return Scale(units, charHeight, 8); }

 private:
  static int Scale(int units, int size, int divisor) {
    const long long product = static_cast<long long>(units) * size;
    return static_cast<int>((product + divisor / 2) / divisor);
  }
};

// The average character width from the width of the 52 letters A-Z and a-z, rounded
// to the nearest pixel.
inline int AverageCharWidth(int widthOf52Letters) { return (widthOf52Letters / 26 + 1) / 2; }

// The widest the text block may be on a screen of this width.
inline int MaxTextWidth(int screenWidth) { return screenWidth / 2; }

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
};

struct Input {
  DialogUnits units;
  bool hasIcon = false;
  int textWidth = 0;      // the text as wrapped to at most maxTextWidth
  int textHeight = 0;
  int maxTextWidth = 0;   // a text wider than this (one unbreakable word) is cut to it
  int buttonCount = 0;
  int widestCaption = 0;  // pixel width of the widest button caption as drawn
};

struct Layout {
  int clientWidth = 0, clientHeight = 0;
  Rect icon;  // all zero without an icon
  Rect text;
  std::vector<Rect> buttons;  // left to right
};

// Every button of the row has this width: the standard width, or the widest caption
// plus a little room when that needs more.
inline int ButtonWidth(const DialogUnits& units, int widestCaption) {
  return std::max(units.X(kButtonWidth), widestCaption + kCaptionPadding);
}

inline Layout Compute(const Input& in) {
  const DialogUnits& u = in.units;
  Layout out;
  const int marginX = u.X(kMargin), marginY = u.Y(kMargin);

  int textLeft = marginX;
  if (in.hasIcon) {
    out.icon = Rect{marginX, marginY, kIconSize, kIconSize};
    textLeft = out.icon.Right() + u.X(kSpacing);
  }
  const int textWidth = in.maxTextWidth > 0 ? std::min(in.textWidth, in.maxTextWidth) : in.textWidth;
  out.text = Rect{textLeft, marginY, textWidth, in.textHeight};
  const int blockWidth = out.text.Right() - marginX;
  const int blockHeight = std::max(in.hasIcon ? kIconSize : 0, in.textHeight);

  const int buttonWidth = ButtonWidth(u, in.widestCaption);
  const int buttonHeight = u.Y(kButtonHeight);
  const int gap = u.X(kButtonGap);
  const int rowWidth = in.buttonCount > 0 ? in.buttonCount * buttonWidth + (in.buttonCount - 1) * gap : 0;

  out.clientWidth = std::max(blockWidth, rowWidth) + 2 * marginX;
  int bottom = marginY + blockHeight;
  if (in.buttonCount > 0) {
    const int top = bottom + u.Y(kSpacing);
    int left = (out.clientWidth - rowWidth) / 2;
    for (int i = 0; i < in.buttonCount; ++i) {
      out.buttons.push_back(Rect{left, top, buttonWidth, buttonHeight});
      left += buttonWidth + gap;
    }
    bottom = top + buttonHeight;
  }
  out.clientHeight = bottom + marginY;
  return out;
}

}  // namespace msglayout
