// The glyph bitmaps as the program carries them, and their transparent drawing.
#include <gtest/gtest.h>

#include "ui/Glyph.h"

namespace {

struct GlyphSize {
  const char* name;
  int width, height;
};

const GlyphSize kGlyphs[] = {
    {"FLOPPY", 16, 11},     {"HARD", 16, 11},         {"NETWORK", 16, 11},       {"CDROM", 16, 11},
    {"RAM", 16, 11},        {"OPENFOLDER", 16, 15},   {"CLOSEDFOLDER", 16, 15},  {"CURRENTFOLDER", 16, 15},
    {"EXECUTABLE", 16, 15}, {"UNKNOWNFILE", 16, 15},
};

TEST(FolderGlyphs, SizesDepthAndBackground) {
  for (const GlyphSize& g : kGlyphs) {
    HRSRC found = FindResourceA(nullptr, g.name, MAKEINTRESOURCEA(2));  // RT_BITMAP
    ASSERT_NE(found, nullptr) << g.name;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, found)));
    ASSERT_NE(header, nullptr) << g.name;
    EXPECT_EQ(header->biBitCount, 4) << g.name;
    EXPECT_EQ(header->biWidth, g.width) << g.name;
    EXPECT_EQ(header->biHeight, g.height) << g.name;

    TGlyph glyph;
    ASSERT_TRUE(glyph.Load(g.name)) << g.name;
    EXPECT_EQ(glyph.Width(), g.width);
    EXPECT_EQ(glyph.Height(), g.height);
    EXPECT_EQ(glyph.TransparentColor(), RGB(0, 0, 255)) << g.name << ": pure blue in the bottom-left pixel";
  }
  TGlyph missing;
  EXPECT_FALSE(missing.Load("NOSUCHGLYPH"));
}

TEST(FolderGlyphs, TheBackgroundShowsThroughTheTransparentColour) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 20, 20);
  HGDIOBJ old = SelectObject(dc, bitmap);
  for (const GlyphSize& g : kGlyphs) {
    TGlyph glyph;
    ASSERT_TRUE(glyph.Load(g.name));
    RECT all{0, 0, 20, 20};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &all, red);
    DeleteObject(red);
    glyph.DrawInItem(dc, RECT{0, 0, 20, 17}, 2);
    const int top = (17 - g.height) / 2;
    EXPECT_EQ(GetPixel(dc, 2, top + g.height - 1), RGB(255, 0, 0)) << g.name << ": bottom-left shows the item";
    EXPECT_EQ(GetPixel(dc, 1, top), RGB(255, 0, 0)) << g.name << ": left of the glyph untouched";
    int blue = 0, drawn = 0;
    for (int y = top; y < top + g.height; ++y) {
      for (int x = 2; x < 2 + g.width; ++x) {
        const COLORREF c = GetPixel(dc, x, y);
        if (c == RGB(0, 0, 255)) ++blue;
        if (c != RGB(255, 0, 0)) ++drawn;
      }
    }
    EXPECT_EQ(blue, 0) << g.name << ": no background blue drawn";
    EXPECT_GT(drawn, 20) << g.name << ": the picture itself is drawn";
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

}  // namespace
