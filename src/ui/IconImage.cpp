#include "ui/IconImage.h"

void TIconImage::Create(TForm& form, const ControlLayout& layout, HICON icon) {
  CreateHandle(form, "STATIC", WS_VISIBLE | SS_ICON, 0, layout);
  SendMessageA(Handle(), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  // Setting the icon sizes the control to it; keep the layout's bounds.
  SetBounds(layout.left, layout.top, layout.width, layout.height);
}

HICON TIconImage::Icon() const {
  return reinterpret_cast<HICON>(SendMessageA(Handle(), STM_GETICON, 0, 0));
}
