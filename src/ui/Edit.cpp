#include "ui/Edit.h"

void TEdit::Create(TForm& form, const ControlLayout& layout, bool visible) {
  CreateHandle(form, "EDIT", (visible ? WS_VISIBLE : 0) | WS_TABSTOP | ES_AUTOHSCROLL,
               WS_EX_CLIENTEDGE, layout);
}

void TEdit::SelectAll() { SendMessageA(Handle(), EM_SETSEL, 0, -1); }

void TEdit::Command(WORD code) {
  if (code == EN_CHANGE && OnChange) OnChange();
}

HBRUSH TEdit::CtlColor(HDC) { return nullptr; }  // the system's window colours
