#include "archive/CompressForm.h"

#include <utility>
#include <vector>

#include "app/Folders.h"
#include "app/MessageDialog.h"
#include "app/NewFiles.h"
#include "archive/ArchiveReader.h"
#include "archive/EntryName.h"

TCompressForm* CompressForm = nullptr;

namespace {

FormParams CompressFormParams() {
  FormParams params;
  params.className = "TCompressForm";
  params.caption = "進捗状況";
  params.border = TBorderStyle::DialogNoButtons;
  params.position = TPosition::MainFormCenter;
  params.left = 307;
  params.top = 168;
  params.width = 199;
  params.height = 135;
  params.clientSize = true;
  params.stayOnTop = true;
  params.color = GetSysColor(COLOR_BTNFACE);
  params.font.name = "ＭＳ Ｐゴシック";
  params.font.height = 12;
  return params;
}

// How one entry ended.
enum class EntryOutcome { Written, Terminator, FolderFailed, Failed };

// The names of an entry's folders and, last, its file's ("" for an empty name).
std::vector<Text> Components(const Text& name) {
  std::vector<Text> names;
  std::size_t start = 0;
  for (std::size_t i = 0; i < name.size(); i += sjis::CharLength(name, i)) {
    if (name[i] == '\\') {
      names.push_back(name.substr(start, i - start));
      start = i + 1;
    }
  }
  names.push_back(name.substr(start));
  return names;
}

}  // namespace

TCompressForm::TCompressForm() : TForm(CompressFormParams()) {
  Label1.Create(*this, ControlLayout{"Label1", 10, 20, 33, 12, "Label1"});
  Label1.SetAutoSize(true);
  FileBar.Create(*this, ControlLayout{"FileBar", 10, 38, 180, 17, ""}, false, false);
  Label2.Create(*this, ControlLayout{"Label2", 10, 66, 83, 12, "セットアップ状況"});
  AllBar.Create(*this, ControlLayout{"AllBar", 10, 94, 180, 17, ""}, true);
}

archive::DecodeStatus TCompressForm::DecodeEntry(std::uint32_t size) {
  return archive::DecodeEntry(RingBuffer, size, ArchiveFile, OutFile);
}

void TCompressForm::EntryWritten() {
  // What changed is drawn at once, and nothing else: the label with its new path (and
  // the form where a longer one was), then the part of the bar that moved, which the
  // bar draws itself. What else waits to be painted follows: after the window was shown,
  // the whole window.
  Label1.PaintNow();
  AllBar.SetPosition(AllBarScale.Position(ArchiveFile.Tell()));
  Update();
}

int TCompressForm::ExtractArchive(const Text& archivePath, const Text& folder) {
  if (!ArchiveFile.Open(archivePath)) return 0;
  return ExtractOpenArchive(folder);
}

int TCompressForm::ExtractArchive(HANDLE archive, const Text& folder) {
  // A handle of the reader's own to the same open file; the reader closes it.
  HANDLE duplicate = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), archive, GetCurrentProcess(), &duplicate, 0, FALSE,
                       DUPLICATE_SAME_ACCESS)) {
    return 0;
  }
  if (!ArchiveFile.Adopt(CFileOf(UniqueFile(duplicate), false))) return 0;
  return ExtractOpenArchive(folder);
}

int TCompressForm::ExtractOpenArchive(const Text& folder) {
  ArchiveFile.SeekToEnd();
  AllBarScale = archive::ProgressScale(ArchiveFile.Tell());
  AllBar.SetRange(0, AllBarScale.Maximum());
  ArchiveFile.Rewind();
  AllBar.SetPosition(0);
  Show();

  int count = 0;
  EntryOutcome outcome = EntryOutcome::Written;
  // The install folder, opened at the first entry and held to the end: the files go
  // into its real path, wherever that is.
  THeldFolder installFolder;
  bool installFolderOpen = false;
  std::vector<THeldFolder> walked;  // the folders of the last entry, held
  std::vector<Text> walkedNames;   // their names, one a level
  while (outcome == EntryOutcome::Written) {
    archive::EntryHeader header;
    const archive::HeaderStatus status = archive::ReadEntryHeader(ArchiveFile, header);
    if (status == archive::HeaderStatus::EndOfArchive) {
      // Only the end of the file ends the archive: after a read error the entries that
      // follow are missing.
      if (ArchiveFile.ReadFailed()) outcome = EntryOutcome::Failed;
      break;
    }
    // An archive that ends inside a name or size field was cut short: what it would
    // have held is missing, so the installation is not complete.
    if (status != archive::HeaderStatus::Entry) {
      outcome = EntryOutcome::Failed;
      break;
    }
    // A name that would reach outside the install folder is never written.
    if (!header.name.empty() && !archive::IsSafeEntryName(header.name)) {
      outcome = EntryOutcome::Failed;
      break;
    }
    const Text path = folder + "\\" + header.name;
    if (!installFolderOpen) {
      if (!folder.empty()) MakeFolderPath(folder);
      installFolderOpen = installFolder.Open(folder);
    }
    // The entry's folders from the install folder down, made where missing and held.
    // Those the previous entry walked through are still held and are not opened again;
    // the rest are.
    std::vector<Text> names = Components(header.name);
    const Text fileName = names.back();
    names.pop_back();
    std::size_t kept = 0;
    while (kept < walkedNames.size() && kept < names.size() && walkedNames[kept] == names[kept]) ++kept;
    walked.resize(kept);
    walkedNames.resize(kept);
    if (!installFolderOpen) outcome = EntryOutcome::FolderFailed;
    for (std::size_t i = kept; i < names.size() && outcome == EntryOutcome::Written; ++i) {
      THeldFolder below;
      switch (below.OpenBelow(walked.empty() ? installFolder : walked.back(), names[i])) {
        case THeldFolder::Outcome::Opened:
          walked.push_back(std::move(below));
          walkedNames.push_back(names[i]);
          break;
        case THeldFolder::Outcome::Failed: outcome = EntryOutcome::FolderFailed; break;
        case THeldFolder::Outcome::Refused: outcome = EntryOutcome::Failed; break;
      }
    }
    if (outcome == EntryOutcome::FolderFailed) ShowNotice("ディレクトリを作成できませんでした");
    if (outcome != EntryOutcome::Written) break;
    // The file is made new: an existing file of its name is removed, a link refused.
    const THeldFolder& here = walked.empty() ? installFolder : walked.back();
    UniqueFile made;
    if (!fileName.empty()) {
      made = here.CreateNewFile(fileName, THeldFolder::ExistingLink::Refuse, FILE_SHARE_READ);
    }
    const bool created = made && OutFile.Adopt(CFileOf(std::move(made), true));
    // The label shows the new path with the next repaint, after the file is written.
    Label1.SetCaptionLater(path);
    if (header.IsTerminator()) {
      if (created) OutFile.Close();  // stays, empty, and is not counted
      outcome = EntryOutcome::Terminator;
      break;
    }
    // A file that cannot be created, is cut short, or cannot be written and closed
    // whole is not an installed file.
    if (!created) {
      outcome = EntryOutcome::Failed;
      break;
    }
    const archive::DecodeStatus decoded = DecodeEntry(header.size);
    const bool closed = OutFile.Close();
    if (decoded != archive::DecodeStatus::Complete || !closed) {
      outcome = EntryOutcome::Failed;
      break;
    }
    EntryWritten();
    ++count;
  }
  ArchiveFile.Close();
  if (OutFile.IsOpen()) OutFile.Close();
  Hide();
  return outcome == EntryOutcome::Written || outcome == EntryOutcome::Terminator ? count : 0;
}
