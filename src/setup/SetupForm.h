#pragma once
// The setup dialog: the program's main form. It proposes the install folder, lets the
// user browse for another, offers the desktop shortcut, and starts the installation.
#include <memory>

#include "setup/Library.h"
#include "shell/Shelllink.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"

class TSetupForm : public TForm {
 public:
  TSetupForm();

  TLabel Label2;
  TImage Image1;
  TLabel Label1;
  TButton SetupButton;
  TButton Button1;
  TButton Button2;
  TEdit Edit1;
  TCheckBox CheckBox1;

  Text InstallerFolder;

  void SetupButtonClick();
  void Button1Click();
  void Button2Click();

 protected:
  void FormCreate() override;
  void FormShow() override;
  void FormClose(TCloseAction& action) override;

 private:
  bool CreateShortcuts(const Text& folder);
  std::unique_ptr<TLibrary> library_;
  std::unique_ptr<TShellLink> shell_;
};

extern TSetupForm* SetupForm;
