#include "setup/SetupForm.h"

#include "app/Folders.h"
#include "app/PathText.h"
#include "folderdlg/ChooseDirectory.h"
#include "setup/SetupFormLayout.h"

TSetupForm* SetupForm = nullptr;

namespace {

FormParams SetupFormParams() {
  FormParams params;
  params.className = "TSetupForm";
  params.caption = setup_layout::kCaption;
  params.border = TBorderStyle::Sizeable;
  params.position = TPosition::ScreenCenter;
  params.width = setup_layout::kOuterWidth;
  params.height = setup_layout::kOuterHeight;
  params.color = RGB(0, 0, 0);
  params.font.name = "ＭＳ Ｐゴシック";
  params.font.height = 12;
  return params;
}

TFont WhiteText(const char* face, int height, bool bold) {
  TFont font;
  font.name = face;
  font.height = height;
  font.bold = bold;
  font.color = RGB(255, 255, 255);
  return font;
}

}  // namespace

TSetupForm::TSetupForm() : TForm(SetupFormParams()) {
  using namespace setup_layout;
  Label2.Create(*this, kLabel2);
  Label2.SetFont(WhiteText("ＭＳ Ｐゴシック", 12, false));
  Image1.Create(*this, kImage1, "LOGO");
  TLabel::Options title;
  title.transparent = true;
  Label1.Create(*this, kLabel1, title);
  Label1.SetFont(WhiteText("MS UI Gothic", 19, true));
  SetupButton.Create(*this, kSetupButton);
  SetupButton.OnClick = [this] { SetupButtonClick(); };
  Button1.Create(*this, kButton1);
  Button1.OnClick = [this] { Button1Click(); };
  Button2.Create(*this, kButton2);
  Button2.OnClick = [this] { Button2Click(); };
  Edit1.Create(*this, kEdit1);
  CheckBox1.Create(*this, kCheckBox1);
  CheckBox1.SetFont(WhiteText("ＭＳ Ｐゴシック", 12, false));
  CheckBox1.SetChecked(true);
  SetActiveControl(&SetupButton);
  // The start button opens with the focus and, as a focused push button has after a
  // Tab, the default look, so that Enter presses it. It is not the form's default
  // button: Tab moves the look on with the focus.
  SetupButton.SetDefault(true);
}

void TSetupForm::FormCreate() {
  library_ = std::make_unique<TLibrary>();
  shell_ = std::make_unique<TShellLink>();
  InstallerFolder = FolderPrefix(ExecutablePath());
  Edit1.SetText("");
  Text caption = Label1.Caption();
  library_->ReplaceFirst(caption, "TITLE", "コルヴァニ　領収書発行");
  Label1.SetCaption(caption);
}

void TSetupForm::FormShow() {
  if (Edit1.GetText().empty()) Edit1.SetText(Text("c:\\Program Files\\") + "Tolvar\\korvani");
}

void TSetupForm::FormClose(TCloseAction&) {
  OutputDebugStringA("TSetupForm.FormClose");
  library_.reset();
  shell_.reset();
}

void TSetupForm::Button1Click() { Close(); }

void TSetupForm::Button2Click() {
  // The dialog starts on the folder in the field, or on the program folder when the
  // field names no folder (yet).
  const Text programFiles = "c:\\Program Files";
  Text folder = Edit1.GetText();
  if (!FolderExists(folder)) folder = programFiles + "\\";
  if (!ChooseDirectory(folder, cdEditable | cdCreate | cdConfirm, 0)) return;
  // The program folder itself is taken as the place for our own folder in it.
  if (CompareTextNoCase(folder, programFiles) == 0) {
    Edit1.SetText(folder + "\\" + "Tolvar\\korvani");
  } else {
    Edit1.SetText(folder);
  }
}
