// Entry point of Setup.exe: the application title, the setup dialog as the main form,
// the progress window hidden, then the message loop until the dialog closes.
#include <windows.h>

#include "archive/CompressForm.h"
#include "base/SystemLibrary.h"
#include "folderdlg/DriveComboBox.h"
#include "setup/SetupForm.h"
#include "ui/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictDllSearchToSystemFolder();
  try {
    Application->SetTitle("コルヴァニ　領収書発行セットアップ");
    // The DLLs the installer does not import, from the system folder; a system without
    // them is told so before the dialog shows.
    Application->LoadCommonControls();
    LoadNetworkProvider();
    Application->CreateForm(SetupForm);
    Application->CreateForm(CompressForm);
    Application->Run();
  } catch (...) {
    Application->ReportException();
  }
  Application->FreeForms();
  return 0;
}
