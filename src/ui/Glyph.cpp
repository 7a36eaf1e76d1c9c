#include "ui/Glyph.h"

namespace {

// A memory DC with a bitmap selected, put back and deleted at the end of the scope.
class MemoryDC {
 public:
  MemoryDC(HDC like, HBITMAP bitmap) : dc_(CreateCompatibleDC(like)), old_(SelectObject(dc_, bitmap)) {}
  ~MemoryDC() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  operator HDC() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace

bool TGlyph::Load(const char* resourceName) {
  image_.reset(static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), resourceName, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  mask_.reset();
  width_ = height_ = 0;
  transparent_ = CLR_INVALID;
  if (!image_) return false;
  BITMAP info{};
  GetObjectA(image_.get(), sizeof info, &info);
  width_ = info.bmWidth;
  height_ = info.bmHeight;
  mask_.reset(CreateBitmap(width_, height_, 1, 1, nullptr));

  HDC screen = GetDC(nullptr);
  {
    MemoryDC image(screen, image_.get());
    MemoryDC mask(screen, mask_.get());
    transparent_ = GetPixel(image, 0, height_ - 1);
    // Colour to monochrome: pixels of the background colour become white, others black.
    SetBkColor(image, transparent_);
    BitBlt(mask, 0, 0, width_, height_, image, 0, 0, SRCCOPY);
    // Monochrome to colour: white takes the background colour (black), black the text
    // colour (white); ANDed in, the transparent pixels turn black and the rest stay.
    SetBkColor(image, RGB(0, 0, 0));
    SetTextColor(image, RGB(255, 255, 255));
    BitBlt(image, 0, 0, width_, height_, mask, 0, 0, SRCAND);
  }
  ReleaseDC(nullptr, screen);
  return true;
}

void TGlyph::Draw(HDC dc, int x, int y) const {
  if (!image_) return;
  const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
  const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  {
    // Black out the glyph's own pixels, keep the rest; then OR the picture in, whose
    // transparent pixels are black and change nothing.
    MemoryDC mask(dc, mask_.get());
    BitBlt(dc, x, y, width_, height_, mask, 0, 0, SRCAND);
    MemoryDC image(dc, image_.get());
    BitBlt(dc, x, y, width_, height_, image, 0, 0, SRCPAINT);
  }
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
}

void TGlyph::DrawInItem(HDC dc, const RECT& item, int offset) const {
  Draw(dc, item.left + offset, (item.top + item.bottom - height_) / 2);
}
