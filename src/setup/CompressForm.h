#pragma once
// The progress window of the extraction. Created hidden at start-up.
#include "ui/Form.h"

class TCompressForm : public TForm {
 public:
  TCompressForm();
};

extern TCompressForm* CompressForm;
