#include "setup/CompressForm.h"

TCompressForm* CompressForm = nullptr;

namespace {
FormParams CompressFormParams() {
  FormParams params;
  params.className = "TCompressForm";
  params.caption = "進捗状況";
  params.border = TBorderStyle::DialogNoButtons;
  params.position = TPosition::MainFormCenter;
  params.width = 199;
  params.height = 135;
  params.clientSize = true;
  params.stayOnTop = true;
  return params;
}
}  // namespace

TCompressForm::TCompressForm() : TForm(CompressFormParams()) {}
