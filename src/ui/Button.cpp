#include "ui/Button.h"

#include "ui/Form.h"

void TButton::Create(TForm& form, const ControlLayout& layout) {
  CreateHandle(form, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, layout);
}

void TButton::Click() {
  if (ModalResult != 0) Form()->SetModalResult(ModalResult);
  if (OnClick) OnClick();
}

void TButton::SetDefault(bool isDefault) {
  SendMessageA(Handle(), BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Command(WORD code) {
  if (code == BN_CLICKED) Click();
}

HBRUSH TButton::CtlColor(HDC) { return nullptr; }  // the system's button colours
