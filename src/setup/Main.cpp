// Entry point of Setup.exe: the application title, the setup dialog as the main form,
// the progress window hidden, then the message loop until the dialog closes.
#include <windows.h>

#include "archive/CompressForm.h"
#include "setup/SetupForm.h"
#include "ui/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    Application->SetTitle("コルヴァニ　領収書発行セットアップ");
    Application->CreateForm(SetupForm);
    Application->CreateForm(CompressForm);
    Application->Run();
  } catch (...) {
    Application->ReportException();
  }
  Application->FreeForms();
  return 0;
}
