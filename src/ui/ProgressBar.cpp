#include "ui/ProgressBar.h"

#include <commctrl.h>

#include "ui/Application.h"

void TProgressBar::Create(TForm& form, const ControlLayout& layout, bool smooth, bool visible) {
  Application->LoadCommonControls();
  CreateHandle(form, PROGRESS_CLASSA, (visible ? WS_VISIBLE : 0) | (smooth ? PBS_SMOOTH : 0), 0,
               layout);
  Application->DrawClassic(Handle());
  SetRange(0, 100);
  SendMessageA(Handle(), PBM_SETSTEP, 1, 0);
}

void TProgressBar::SetRange(int minimum, int maximum) {
  SendMessageA(Handle(), PBM_SETRANGE32, minimum, maximum);
}

int TProgressBar::Min() const {
  return static_cast<int>(SendMessageA(Handle(), PBM_GETRANGE, TRUE, 0));
}

int TProgressBar::Max() const {
  return static_cast<int>(SendMessageA(Handle(), PBM_GETRANGE, FALSE, 0));
}

void TProgressBar::SetPosition(int position) { SendMessageA(Handle(), PBM_SETPOS, position, 0); }

int TProgressBar::Position() const {
  return static_cast<int>(SendMessageA(Handle(), PBM_GETPOS, 0, 0));
}
