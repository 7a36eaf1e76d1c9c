// UnInst.exe: removes the installed application. Asked from its Start-menu shortcut,
// it asks the user first; on "yes" it hands over to a copy of itself in a new folder
// that only administrators can write to (a running program cannot delete its own file),
// and that copy removes the installation, reports what it could not remove, and is
// deleted when it ends.
#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "base/SystemLibrary.h"
#include "common/ModuleFolder.h"
#include "uninst/UninstallPlan.h"
#include "uninst/Uninstaller.h"

namespace {

int Box(const Text& text, UINT type) {
  return MessageBoxA(nullptr, text.c_str(), uninst::kCaption, type | MB_SETFOREGROUND);
}

// Exit codes: 0 done (or handed over), 1 the user said no, 2 something could not be
// removed, 3 the uninstallation could not start.
int Ask() {
  const Text folder = payload::ModuleFolder();
  if (Box(uninst::QuestionText(folder), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
    return 1;
  }
  const unsigned long error = uninst::StartRemovingCopy(folder);
  if (error != 0) {
    Box("アンインストールを始められませんでした。何も削除していません。\r\n(" +
            uninst::ReasonText(error) + ")",
        MB_OK | MB_ICONERROR);
    return 3;
  }
  return 0;
}

int Remove(const uninst::Request& request) {
  uninst::WaitForFirstProcess(request.parent);
  const uninst::RemovalPlan plan = uninst::MakeRemovalPlan(
      request.folder, uninst::SpecialFolderPath(CSIDL_PROGRAMS),
      uninst::SpecialFolderPath(CSIDL_DESKTOPDIRECTORY));
  const uninst::Outcome outcome = uninst::RemoveInstallation(plan);
  Box(uninst::ReportText(outcome),
      MB_OK | (outcome.Complete() ? MB_ICONINFORMATION : MB_ICONWARNING));
  return uninst::ExitCodeFor(outcome);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictDllSearchToSystemFolder();
  std::vector<Text> arguments = uninst::SplitArguments(GetCommandLineA());
  if (!arguments.empty()) arguments.erase(arguments.begin());
  const uninst::Request request = uninst::ParseArguments(arguments);
  switch (request.mode) {
    case uninst::Request::Mode::Ask:
      return Ask();
    case uninst::Request::Mode::Remove:
      return Remove(request);
    case uninst::Request::Mode::Invalid:
      break;
  }
  Box("コマンドラインの指定が正しくありません。引数を付けずに起動してください。", MB_OK | MB_ICONERROR);
  return 3;
}
