// The message box layout in dialog units, with a font 6 pixels wide on average and
// 13 high: one horizontal unit is 1.5 pixels, one vertical unit 1.625 pixels.
#include <gtest/gtest.h>

#include "app/MessageLayout.h"

namespace {

using msglayout::Compute;
using msglayout::DialogUnits;
using msglayout::Input;
using msglayout::Layout;

DialogUnits Units6x13() {
  DialogUnits units;
  units.charWidth = 6;
  units.charHeight = 13;
  return units;
}

// A text of the given size, at most 512 pixels wide, with no icon and no buttons.
Input TextInput(int width, int height) {
  Input in;
  in.units = Units6x13();
  in.textWidth = width;
  in.textHeight = height;
  in.maxTextWidth = 512;
  return in;
}

void ExpectRect(const msglayout::Rect& r, int left, int top, int width, int height) {
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.width, width);
  EXPECT_EQ(r.height, height);
}

TEST(MessageLayout, DialogUnitsAndAverageWidthRoundToTheNearestPixel) {
  const DialogUnits u = Units6x13();
  EXPECT_EQ(u.X(8), 12);
  EXPECT_EQ(u.X(10), 15);
  EXPECT_EQ(u.X(50), 75);
  EXPECT_EQ(u.X(4), 6);
  EXPECT_EQ(u.X(1), 2);   // 1.5
  EXPECT_EQ(u.Y(8), 13);
  EXPECT_EQ(u.Y(10), 16);  // 16.25
  EXPECT_EQ(u.Y(14), 23);  // 22.75
  EXPECT_EQ(u.Y(1), 2);    // 1.625
  EXPECT_EQ(msglayout::AverageCharWidth(312), 6);  // 52 letters of exactly 6
  EXPECT_EQ(msglayout::AverageCharWidth(338), 7);  // 6.5 rounds up
  EXPECT_EQ(msglayout::AverageCharWidth(320), 6);  // 6.15
  EXPECT_EQ(msglayout::MaxTextWidth(801), 400);
}

TEST(MessageLayout, OneButtonWithAnIcon) {
  Input in = TextInput(200, 13);
  in.hasIcon = true;
  in.buttonCount = 1;
  in.widestCaption = 14;
  const Layout out = Compute(in);
  ExpectRect(out.icon, 12, 13, 32, 32);
  ExpectRect(out.text, 12 + 32 + 15, 13, 200, 13);
  // Block: icon, spacing, text = 247 wide, 32 high (the icon is the taller).
  EXPECT_EQ(out.clientWidth, 247 + 2 * 12);
  ASSERT_EQ(out.buttons.size(), 1u);
  ExpectRect(out.buttons[0], (271 - 75) / 2, 13 + 32 + 16, 75, 23);
  EXPECT_EQ(out.clientHeight, 13 + 32 + 16 + 23 + 13);
}

TEST(MessageLayout, ThreeButtonsWiderThanTheTextAreCentredAndWidenedForTheirCaptions) {
  Input in = TextInput(40, 13);
  in.buttonCount = 3;
  in.widestCaption = 90;  // needs more than 75 pixels: 90 + 8
  const Layout out = Compute(in);
  ExpectRect(out.icon, 0, 0, 0, 0);
  ExpectRect(out.text, 12, 13, 40, 13);
  EXPECT_EQ(out.clientWidth, 3 * 98 + 2 * 6 + 2 * 12);
  ASSERT_EQ(out.buttons.size(), 3u);
  ExpectRect(out.buttons[0], 12, 42, 98, 23);
  ExpectRect(out.buttons[1], 116, 42, 98, 23);
  ExpectRect(out.buttons[2], 220, 42, 98, 23);
  EXPECT_EQ(out.clientHeight, 42 + 23 + 13);
}

TEST(MessageLayout, AnUnbreakableTextIsCutToHalfTheScreenAndNoButtonsReserveNoRow) {
  const Layout out = Compute(TextInput(700, 26));
  EXPECT_EQ(out.text.width, 512);
  EXPECT_EQ(out.clientWidth, 512 + 24);
  EXPECT_TRUE(out.buttons.empty());
  EXPECT_EQ(out.clientHeight, 13 + 26 + 13);
}

}  // namespace
