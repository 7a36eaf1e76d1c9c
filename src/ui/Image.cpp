#include "ui/Image.h"

void TImage::Create(TForm& form, const ControlLayout& layout, const char* bitmapResource) {
  CreateHandle(form, "STATIC", WS_VISIBLE | SS_BITMAP, 0, layout);
  bitmap_.reset(static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), bitmapResource, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (bitmap_) {
    SendMessageA(Handle(), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap_.get()));
    const SIZE size = PictureSize();
    SetBounds(layout.left, layout.top, size.cx, size.cy);
  }
}

SIZE TImage::PictureSize() const {
  BITMAP info{};
  if (!bitmap_ || !GetObjectA(bitmap_.get(), sizeof info, &info)) return SIZE{0, 0};
  return SIZE{info.bmWidth, info.bmHeight};
}
