#include "folderdlg/SelectDirDlg.h"

#include "base/Exceptions.h"
#include "app/Folders.h"
#include "app/MessageDialog.h"
#include "app/PathText.h"
#include "folderdlg/PathRoutines.h"
#include "folderdlg/SelectDirDlgLayout.h"

namespace {

FormParams SelectDirDlgParams() {
  FormParams params;
  params.className = "TSelectDirDlg";
  params.caption = select_dir_layout::kCaption;
  params.border = TBorderStyle::Dialog;
  params.position = TPosition::ScreenCenter;
  params.width = select_dir_layout::kClientWidth;
  params.height = select_dir_layout::kClientHeight;
  params.clientSize = true;
  return params;
}

TFont GreyText(TFont font) {
  font.color = GetSysColor(COLOR_GRAYTEXT);
  return font;
}

// The 16-bit network driver interface that offers the connect dialog; absent on the
// platforms this program meets, so the Network button normally stays hidden.
using GetCapsProc = WORD(WINAPI*)(WORD index);

template <class Proc>
Proc ProcAs(FARPROC proc) {
  return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(proc));
}

}  // namespace

TSelectDirDlg::TSelectDirDlg() : TForm(SelectDirDlgParams()) {
  using namespace select_dir_layout;
  TLabel::Options caption;
  caption.wordWrap = false;
  DirEdit.Create(*this, kDirEdit, false);
  dirEditCaption_.Create(*this, kDirEditCaption, caption);
  DriveList.Create(*this, kDriveList);
  driveListCaption_.Create(*this, kDriveListCaption, caption);
  DirLabel.Create(*this, kDirLabel);
  DirList.Create(*this, kDirList, true);
  DirList.SetItemHeight(kDirListItemHeight);
  dirListCaption_.Create(*this, kDirListCaption, caption);
  FileList.Create(*this, kFileList);
  FileList.SetFont(GreyText(FileList.Font()));
  FileList.SetItemHeight(kFileListItemHeight);
  FileList.SetFileType(ftNormal);
  FileList.SetMask("*.*");
  fileListCaption_.Create(*this, kFileListCaption, caption);
  NetButton.Create(*this, kNetButton);
  NetButton.SetVisible(false);
  OKButton.Create(*this, kOKButton);
  CancelButton.Create(*this, kCancelButton);
  HelpButton.Create(*this, kHelpButton);
  for (TLabel* label : {&dirEditCaption_, &driveListCaption_, &dirListCaption_, &fileListCaption_}) {
    label->SetAutoSize(true);
  }
  layout_ = {{&DirEdit, kDirEdit},
             {&dirEditCaption_, kDirEditCaption},
             {&DriveList, kDriveList},
             {&driveListCaption_, kDriveListCaption},
             {&DirLabel, kDirEdit},
             {&DirList, kDirList},
             {&dirListCaption_, kDirListCaption},
             {&FileList, kFileList},
             {&fileListCaption_, kFileListCaption},
             {&NetButton, kNetButton},
             {&OKButton, kOKButton},
             {&CancelButton, kCancelButton},
             {&HelpButton, kHelpButton}};

  OKButton.ModalResult = mrOk;
  OKButton.OnClick = [this] { OKClick(); };
  CancelButton.ModalResult = mrCancel;
  NetButton.OnClick = [this] { NetClick(); };
  HelpButton.OnClick = [this] { HelpButtonClick(); };
  SetDefaultButton(&OKButton);
  SetCancelButton(&CancelButton);
  // Tab order DirList, DirEdit, DriveList, NetButton, OKButton, CancelButton, FileList,
  // HelpButton. Each caption label stands right before the control its access key
  // focuses, because an access key of a label goes to the next control in this order.
  SetTabOrder({&dirListCaption_, &DirList, &dirEditCaption_, &DirEdit, &driveListCaption_, &DriveList,
               &NetButton, &OKButton, &CancelButton, &fileListCaption_, &FileList, &HelpButton, &DirLabel});
  DirList.OnChange = [this] { DirListChange(); };
  DriveList.OnChange = [this] { DriveListChange(); };

  DoCreate();
  SetActiveControl(&DirList);
}

void TSelectDirDlg::FormCreate() {
  if (HMODULE user = GetModuleHandleA("user32.dll")) {
    if (FARPROC caps = GetProcAddress(user, "WNETGETCAPS")) {
      const WORD driver = ProcAs<GetCapsProc>(caps)(0xFFFF);
      if (driver != 0) {
        const auto module = reinterpret_cast<HMODULE>(static_cast<UINT_PTR>(driver));
        if (FARPROC connect = GetProcAddress(module, "WNETCONNECTDIALOG")) {
          connectDialog_ = ProcAs<ConnectDialogProc>(connect);
          NetButton.SetVisible(true);
        }
      }
    }
  }
  editName_ = false;  // as created: the edit box hidden, the path label shown
  const RECT edit = DirEdit.BoundsRect();
  DirLabel.SetBounds(edit.left, edit.top, edit.right - edit.left, edit.bottom - edit.top);
  DirListChange();
}

Text TSelectDirDlg::SelectedDir() const { return editName_ ? DirEdit.GetText() : DirLabel.Caption(); }

void TSelectDirDlg::SetSelectedDir(const Text& dir) {
  if (dir.empty()) return;
  const Text pattern = JoinPath(dir, "*.*");
  char full[MAX_PATH] = {};
  const DWORD length = GetFullPathNameA(pattern.c_str(), sizeof full, full, nullptr);
  const Text path = length > 0 && length < sizeof full ? Text(full, length) : pattern;
  if (CharCount(path) < 3 || path[1] != ':') return;  // a network path: the lists stay
  // The folder part ends in "\"; without it the folder is named, except at a drive root,
  // whose "\" is what makes it the root (C: alone would be the drive's current folder).
  Text folder = FolderPrefix(path);
  if (folder.size() > 3) folder.pop_back();
  try {
    // A drive that is missing or not ready fails here already, when the lists move to it.
    DriveList.SetCurrentDrive(path[0]);
    DirList.SetCurrentDir(folder);
  } catch (const EInOutError&) {
    const Text current = CurrentFolder(0);
    DriveList.SetCurrentDrive(current.empty() ? '\0' : current[0]);
    DirList.SetCurrentDir(current);
  }
}

void TSelectDirDlg::SetEditName(bool editName) {
  if (editName == editName_) return;
  editName_ = editName;
  DirLabel.SetVisible(!editName);
  DirEdit.SetVisible(editName);
}

void TSelectDirDlg::DriveListChange() { DirList.SwitchDrive(DriveList.CurrentDrive()); }

void TSelectDirDlg::DirListChange() {
  DirLabel.SetCaption(DirList.CurrentDir());
  FileList.ApplyPathText(DirList.CurrentDir());
  DirEdit.SetText(DirLabel.Caption());
  DirEdit.SelectAll();
}

void TSelectDirDlg::OKClick() {
  // The OK button has closed the dialog already; a folder that does not exist is asked
  // about first, and anything but Yes keeps the dialog open.
  if (editName_ && ConfirmCreate && !FolderExists(SelectedDir())) {
    if (MessageDialog("指定されたディレクトリが存在しません。作成しますか？", TMsgDlgType::Confirmation,
                      mbYes | mbNo, 0) != mrYes) {
      SetModalResult(mrNone);
    }
  }
}

void TSelectDirDlg::NetClick() {
  if (connectDialog_ != nullptr) connectDialog_(Handle(), 1);  // 1: disk drives
}

void TSelectDirDlg::HelpButtonClick() {
  // The program has no help file; the setup dialog never shows this button.
}

void TSelectDirDlg::ScaleTo(int pixelsPerInch) {
  const int design = select_dir_layout::kDesignPixelsPerInch;
  const auto scale = [&](int value) { return MulDiv(value, pixelsPerInch, design); };
  for (auto& [control, layout] : layout_) {
    TFont font = control->Font();
    font.height = scale(font.height);
    control->SetFont(font);
    const int left = scale(layout.left), top = scale(layout.top), width = scale(layout.width);
    if (auto* list = dynamic_cast<TCustomListBox*>(control)) {
      list->Place(left, top, width, scale(layout.height));
    } else if (auto* combo = dynamic_cast<TCustomComboBox*>(control)) {
      combo->Place(left, top, width);
    } else {
      control->SetBounds(left, top, width, scale(layout.height));
    }
  }
  for (TLabel* label : {&dirEditCaption_, &driveListCaption_, &dirListCaption_, &fileListCaption_}) {
    label->AdjustSize();
  }
  // The file list takes the dialog's font, in grey again; every list fits its items to
  // its new font.
  TFont font = Font();
  font.height = scale(font.height);
  FileList.SetFont(GreyText(font));
  FileList.AdjustItemHeight();
  DirList.AdjustItemHeight();
  DriveList.AdjustItemHeight();
  SetClientSize(scale(select_dir_layout::kClientWidth), scale(select_dir_layout::kClientHeight));
  CenterOnScreen();
}
