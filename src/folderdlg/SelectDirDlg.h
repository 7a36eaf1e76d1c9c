#pragma once
// The folder selection dialog: a drive box, a folder list and a file list to move
// through the machine's folders, and a folder name that the user can type (an edit box)
// or only see (a path label). Built in code, shown modally by ChooseDirectory.
#include <utility>
#include <vector>

#include "folderdlg/DirectoryListBox.h"
#include "folderdlg/DriveComboBox.h"
#include "folderdlg/FileListBox.h"
#include "folderdlg/PathLabel.h"
#include "ui/Button.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Label.h"

class TSelectDirDlg final : public TForm {
 public:
  // Creates the dialog hidden with all its controls on the process's current folder,
  // runs FormCreate and makes the folder list the active control.
  TSelectDirDlg();

  TDirectoryListBox DirList;
  TEdit DirEdit;
  TDriveComboBox DriveList;
  TPathLabel DirLabel;
  TButton OKButton;
  TButton CancelButton;
  TButton HelpButton;
  TButton NetButton;
  TFileListBox FileList;

  // Ask before accepting a folder that does not exist (with EditName only).
  bool ConfirmCreate = false;
  // The help topic of the Help button.
  int HelpContext = 0;

  // The folder the user chose: the edit box's text, or the folder list's folder.
  Text SelectedDir() const;
  // Puts the drive box and the folder list on a folder; one that cannot be entered
  // leaves them on the process's current folder.
  void SetSelectedDir(const Text& dir);
  // An edit box for the folder name instead of the path label.
  bool EditName() const { return editName_; }
  void SetEditName(bool editName);
  // Whether the platform offers a dialog to connect network drives (NetButton shown).
  bool HasConnectDialog() const { return connectDialog_ != nullptr; }
  // Scales the dialog, its controls and fonts from 96 pixels per inch to this
  // resolution, and centres it on the screen again.
  void ScaleTo(int pixelsPerInch);

  void DirListChange();
  void DriveListChange();
  void NetClick();
  void OKClick();
  void HelpButtonClick();

 protected:
  void FormCreate() override;

 private:
  using ConnectDialogProc = WORD(WINAPI*)(HWND owner, WORD resourceType);

  TLabel dirEditCaption_;
  TLabel driveListCaption_;
  TLabel dirListCaption_;
  TLabel fileListCaption_;
  bool editName_ = false;
  ConnectDialogProc connectDialog_ = nullptr;
  std::vector<std::pair<TControl*, ControlLayout>> layout_;
};
