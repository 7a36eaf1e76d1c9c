#include "folderdlg/DirectoryListBox.h"

#include <algorithm>

#include "app/Folders.h"
#include "app/PathText.h"
#include "folderdlg/DriveComboBox.h"
#include "folderdlg/FileListBox.h"
#include "folderdlg/FileNames.h"
#include "folderdlg/PathLabel.h"
#include "folderdlg/PathRoutines.h"
#include "folderdlg/SplitEditPath.h"
#include "ui/Font.h"

namespace {

char ToUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

char FirstChar(const Text& text) { return text.empty() ? '\0' : text[0]; }

}  // namespace

std::vector<Text> ReadSubfolders(const Text& dir) {
  std::vector<Text> names;
  WIN32_FIND_DATAA data;
  UniqueFind search(FindFirstFileA(JoinPath(dir, "*.*").c_str(), &data));
  if (!search) return names;
  const DWORD skipped = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 0x8;  // 8: volume label
  do {
    const Text name = data.cFileName;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || (data.dwFileAttributes & skipped)) continue;
    if (name == "." || name == "..") continue;
    const auto place = std::lower_bound(names.begin(), names.end(), name, [](const Text& a, const Text& b) {
      return CompareTextNoCase(a, b) < 0;
    });
    if (place != names.end() && CompareTextNoCase(*place, name) == 0) continue;
    names.insert(place, name);
  } while (FindNextFileA(search.get(), &data));
  return names;
}

TDirectoryListBox::~TDirectoryListBox() {
  if (fileList_ != nullptr) fileList_->dirList_ = nullptr;
  if (driveCombo_ != nullptr) driveCombo_->dirList_ = nullptr;
}

void TDirectoryListBox::Create(TForm& form, const ControlLayout& layout, bool wholeItemsOnly) {
  LoadGlyphs();
  currentDir_ = CurrentFolder(0);
  Options options;
  options.integralHeight = wholeItemsOnly;
  TCustomListBox::Create(form, layout, options);
  AdjustItemHeight();
  BuildFolderList();
}

void TDirectoryListBox::LoadGlyphs() {
  openGlyph_.Load("OPENFOLDER");
  closedGlyph_.Load("CLOSEDFOLDER");
  currentGlyph_.Load("CURRENTFOLDER");
}

void TDirectoryListBox::AdjustItemHeight() {
  SetItemHeight(std::max(FontLineHeight(Font()), openGlyph_.Height() + 1));
}

const TGlyph& TDirectoryListBox::GlyphOf(TFolderItemKind kind) const {
  switch (kind) {
    case TFolderItemKind::Ancestor: return openGlyph_;
    case TFolderItemKind::Current: return currentGlyph_;
    case TFolderItemKind::Subfolder: break;
  }
  return closedGlyph_;
}

void TDirectoryListBox::BuildFolderList() {
  BeginUpdate();
  try {
    Clear();
    const Text root = DrivePart(currentDir_) + "\\";
    DWORD flags = 0;
    if (GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) {
      volumeCaseSensitive_ = (flags & FILE_CASE_SENSITIVE_SEARCH) != 0;
      volumeKeepsCase_ = (flags & FILE_CASE_PRESERVED_NAMES) != 0 || volumeCaseSensitive_;
    } else {
      // Unknown volume: show names as stored and compare them ignoring case.
      volumeKeepsCase_ = true;
      volumeCaseSensitive_ = false;
    }
    for (const FolderItem& item : FolderPathItems(currentDir_)) Add(item.text, static_cast<LPARAM>(item.kind));
    const int currentIndex = Count() - 1;
    for (const Text& name : ReadSubfolders(currentDir_)) {
      Add(name, static_cast<LPARAM>(TFolderItemKind::Subfolder));
    }
    if (Handle() != nullptr) SetItemIndex(currentIndex);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TDirectoryListBox::DrawListItem(HDC dc, int index, const RECT& rect) {
  const TFolderItemKind kind = ItemKind(index);
  const TGlyph& glyph = GlyphOf(kind);
  int offset = PathItemOffset(index);
  int glyphWidth = 16;
  if (glyph.Loaded()) {
    if (kind == TFolderItemKind::Subfolder) offset = SubfolderOffset(currentDir_);
    glyphWidth = glyph.Width();
    glyph.DrawInItem(dc, rect, offset);
  }
  const Text name = DisplayName(Item(index));
  TextOutA(dc, rect.left + glyphWidth + offset + 4, rect.top, name.data(), static_cast<int>(name.size()));
}

Text TDirectoryListBox::ItemPath(int index) const {
  if (index < 0 || index >= Count()) return Text();
  if (index == 0) return DrivePart(currentDir_) + "\\";
  switch (ItemKind(index)) {
    case TFolderItemKind::Subfolder: return JoinPath(currentDir_, Item(index));
    case TFolderItemKind::Current: return currentDir_;
    case TFolderItemKind::Ancestor: break;
  }
  return PathItemPath(currentDir_, index);
}

void TDirectoryListBox::OpenSelected() { SetCurrentDir(ItemPath(ItemIndex())); }

void TDirectoryListBox::SetCurrentDir(const Text& dir) {
  if (dir.empty() || CompareNames(dir, currentDir_) == 0) return;
  const EditPathParts parts = SplitEditPath(dir);
  // Should the folder fail to open, the list stays on the folder it shows.
  const Text shown = currentDir_;
  try {
    if (parts.drive != FirstChar(currentDir_)) {
      inDriveSwitch_ = true;
      try {
        if (driveCombo_ != nullptr) {
          driveCombo_->SetCurrentDrive(parts.drive);
        } else {
          DriveChanged(parts.drive);
        }
      } catch (...) {
        inDriveSwitch_ = false;
        throw;
      }
      inDriveSwitch_ = false;
    }
    // A relative folder part is taken from the folder the list is on.
    if (FolderExists(currentDir_)) ChangeFolder(currentDir_);
    ChangeFolder(parts.dirPart);
  } catch (...) {
    currentDir_ = shown;
    throw;
  }
  currentDir_ = CurrentFolder(0);
  BuildFolderList();
  NotifyChange();
}

void TDirectoryListBox::SwitchDrive(char letter) {
  if (ToUpper(letter) != ToUpper(FirstChar(currentDir_))) SetCurrentDir(Text(1, letter) + ":");
}

void TDirectoryListBox::DriveChanged(char letter) {
  if (ToUpper(letter) == ToUpper(FirstChar(currentDir_))) return;
  if (letter != 0) {
    ChangeFolder(Text(1, letter) + ":");
    currentDir_ = CurrentFolder(0);
  }
  if (!inDriveSwitch_) {
    BuildFolderList();
    NotifyChange();
  }
}

void TDirectoryListBox::NotifyChange() {
  if (fileList_ != nullptr) fileList_->SetCurrentDir(currentDir_);
  RefreshDirLabel();
  if (OnChange) OnChange();
}

void TDirectoryListBox::RefreshDirLabel() {
  TLabel* label = dirLabel_.Get();
  if (label == nullptr) return;
  const int width = label->AutoSize() ? Width() : label->Width();
  label->SetCaption(ShortenPath(currentDir_, label->Font(), width));
}

Text TDirectoryListBox::DisplayName(const Text& name) const {
  return volumeKeepsCase_ || volumeCaseSensitive_ ? name : FileNameLowerCase(name);
}

int TDirectoryListBox::CompareNames(const Text& a, const Text& b) const {
  if (volumeCaseSensitive_) {
    return CompareStringA(LOCALE_USER_DEFAULT, 0, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) -
           CSTR_EQUAL;
  }
  return CompareFileNames(a, b);
}

void TDirectoryListBox::SetFileList(TFileListBox* list) {
  if (fileList_ != nullptr) fileList_->dirList_ = nullptr;
  fileList_ = list;
  if (list != nullptr) {
    if (list->dirList_ != nullptr && list->dirList_ != this) list->dirList_->fileList_ = nullptr;
    list->dirList_ = this;
  }
}

void TDirectoryListBox::SetDirLabel(TLabel* label) {
  dirLabel_.Set(label);
  RefreshDirLabel();
}

void TDirectoryListBox::DblClick() {
  TCustomListBox::DblClick();
  OpenSelected();
}

void TDirectoryListBox::KeyPress(char& key) {
  TCustomListBox::KeyPress(key);
  if (key == '\r') OpenSelected();
}
