// The start button: the whole installation, synchronously on the GUI thread. Folder,
// registry value, the payload written to "work.tmp", extraction, Start-menu folder and
// shortcuts, desktop shortcut, the outcome in a message box, and the dialog closed.
// Whatever a failed run did before it failed stays done.
#include <shlobj.h>

#include <memory>

#include "app/Folders.h"
#include "app/MessageDialog.h"
#include "app/PathText.h"
#include "app/Registry.h"
#include "app/ResourceStream.h"
#include "archive/CompressForm.h"
#include "setup/SetupForm.h"
#include "ui/Application.h"

namespace {

const char kRegistryKey[] = "\\Software\\Tolvar Co.,Ltd.\\korv";
const char kRegistryValue[] = "Path";
const char kPayloadName[] = "korvanislip";
const char kPayloadType[] = "tlz";
const char kArchiveFile[] = "work.tmp";
const char kMenuFolder[] = "コルヴァニ";
const char kDescription[] = "コルヴァニ　領収書発行";

}  // namespace

// The Start-menu folder with its three shortcuts and, when the box is ticked and the
// first shortcut was made, the desktop shortcut to the launcher. True only when every
// shortcut that was to be made was made: a missing one is never reported as success.
bool TSetupForm::CreateShortcuts(const Text& folder) {
  Text programs;
  if (!shell_->GetSpecialFolderPath(Application->Handle(), CSIDL_PROGRAMS, programs)) return false;
  const Text menu = programs + "\\" + kMenuFolder;
  if (!FolderExists(menu)) MakeFolder(menu);
  const Text description = kDescription;
  const Text application = folder + "\\korvani.exe";
  const Text launcher = folder + "\\update.exe";
  const Text uninstaller = folder + "\\uninst.exe";
  const HRESULT hr1 =
      shell_->CreateShortcut(application, menu + "\\" + description + ".lnk", application, 0, description);
  const HRESULT hr2 =
      shell_->CreateShortcut(launcher, menu + "\\" + description + "起動.lnk", launcher, 0, description);
  const HRESULT hr3 = shell_->CreateShortcut(
      uninstaller, menu + "\\" + description + "アンインストール.lnk", uninstaller, 0, description);
  bool complete = !FAILED(hr1) && !FAILED(hr2) && !FAILED(hr3);
  if (!FAILED(hr1) && CheckBox1.Checked()) {
    Text desktop;
    const bool made =
        shell_->GetSpecialFolderPath(Application->Handle(), CSIDL_DESKTOPDIRECTORY, desktop) &&
        !FAILED(shell_->CreateShortcut(launcher, desktop + "\\" + description + ".lnk", launcher, 0,
                                       description));
    complete = complete && made;
  }
  return complete;
}

void TSetupForm::SetupButtonClick() {
  // Released at the end of every path but the immediate exit after a registry failure,
  // also when a service error ends the run.
  auto registry = std::make_unique<TRegistry>();
  const Text folder = Edit1.GetText();  // used exactly as typed

  // A relative folder (..\x, c:x, \x) would be found from the process's current folder
  // and drive, which the user never sees and the browse dialog changes; recorded as
  // typed it would tell the application nothing. It is refused like a folder that cannot
  // be made, before anything is written. The empty or blank field goes on to the folder
  // service's own error, as before.
  const bool blank = folder.find_first_not_of(' ') == Text::npos;
  if ((!blank && !IsFullPath(folder)) || (!FolderExists(folder) && !MakeFolderPath(folder))) {
    ShowNotice("ディレクトリ作成に失敗しました");
    registry.reset();
    Close();
    return;
  }

  registry->SelectRoot(HKEY_LOCAL_MACHINE);
  // The 32-bit view, where a 32-bit Windows program's writes below Software land on
  // 64-bit Windows: the application and the installers before this one read and wrote
  // the value there.
  registry->SetAccess(KEY_ALL_ACCESS | KEY_WOW64_32KEY);
  if (!registry->OpenPath(kRegistryKey, true)) {
    ShowNotice("予期せぬエラーが発生しました　起動できません");
    Close();
    ExitProgram(0);
  }
  registry->WriteText(kRegistryValue, folder);

  const Text archivePath = InstallerFolder + kArchiveFile;
  int count = 0;
  {
    TResourceStream payload(GetModuleHandleA(nullptr), kPayloadName, kPayloadType);
    // work.tmp stays open, shared with nobody, until it has been extracted: no other
    // program can change what is installed, nor put another file in its place.
    const UniqueFile archive = payload.WriteToFile(archivePath);
    count = CompressForm->ExtractArchive(archive.get(), folder);
  }
  if (count < 1) {
    ShowNotice("セットアップが正常に終了できませんでした");
  } else {
    ShowNotice(CreateShortcuts(folder) ? "セットアップが正常に終了しました"
                                       : "ショートカットの作成に失敗しました");
  }
  registry.reset();
  Close();
}
