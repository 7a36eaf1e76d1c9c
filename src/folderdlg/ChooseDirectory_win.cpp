#include "folderdlg/ChooseDirectory.h"

#include "app/Folders.h"
#include "folderdlg/SelectDirDlg.h"
#include "folderdlg/SelectDirDlgLayout.h"

namespace {

int ScreenPixelsPerInch() {
  HDC screen = GetDC(nullptr);
  const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return pixelsPerInch;
}

void MoveLeftEdge(TControl& control, int left) {
  const RECT r = control.BoundsRect();
  control.SetBounds(left, r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace

bool ChooseDirectory(Text& directory, TChooseDirOptions options, int helpContext) {
  TSelectDirDlg dialog;  // destroyed on every way out, also when an error passes
  dialog.SetSelectedDir(directory);
  dialog.SetEditName((options & cdEditable) != 0);
  dialog.ConfirmCreate = (options & cdConfirm) != 0;
  const int pixelsPerInch = ScreenPixelsPerInch();
  if (pixelsPerInch != select_dir_layout::kDesignPixelsPerInch) dialog.ScaleTo(pixelsPerInch);
  if (helpContext == 0) {
    // No Help button: OK and Cancel move right into its place.
    const int okLeft = dialog.CancelButton.Left();
    const int cancelLeft = dialog.HelpButton.Left();
    dialog.HelpButton.SetVisible(false);
    MoveLeftEdge(dialog.OKButton, okLeft);
    MoveLeftEdge(dialog.CancelButton, cancelLeft);
  } else {
    dialog.HelpContext = helpContext;
  }
  if (dialog.ShowModal() != mrOk) return false;
  directory = dialog.SelectedDir();
  // Whether the folder could be made is for the caller to find out.
  if (options & cdCreate) MakeFolderPath(directory);
  return true;
}
