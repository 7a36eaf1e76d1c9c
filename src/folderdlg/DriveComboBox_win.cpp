#include "folderdlg/DriveComboBox.h"

#include <algorithm>

#include "app/Folders.h"
#include "base/SystemLibrary.h"
#include "folderdlg/DirectoryListBox.h"
#include "folderdlg/FileNames.h"
#include "ui/Font.h"

namespace {

const char* const kDriveGlyphs[5] = {"FLOPPY", "HARD", "NETWORK", "CDROM", "RAM"};

char ToUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
char ToLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool IsLower(char c) { return c >= 'a' && c <= 'z'; }

// The platform's critical-error prompts (insert a disk, drive not ready) are held back
// for as long as this lives.
class QuietDriveErrors {
 public:
  QuietDriveErrors() : old_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  ~QuietDriveErrors() { SetErrorMode(old_); }
  QuietDriveErrors(const QuietDriveErrors&) = delete;
  QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

 private:
  UINT old_;
};

Text CaseLikeLetter(const Text& text, char letter) {
  return IsLower(letter) ? FileNameLowerCase(text) : FileNameUpperCase(text);
}

using GetConnectionProc = DWORD(WINAPI*)(LPCSTR device, LPSTR remote, LPDWORD size);

GetConnectionProc GetConnection() {
  static const SystemLibrary library("mpr.dll");
  static const auto getConnection = library.Proc<GetConnectionProc>("WNetGetConnectionA");
  return getConnection;
}

}  // namespace

Text VolumeLabelText(char letter) {
  char label[261] = {};
  {
    QuietDriveErrors quiet;
    const char root[4] = {letter, ':', '\\', '\0'};
    if (!GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0)) {
      label[0] = '\0';
    }
  }
  return BracketedLabel(label, letter);
}

Text BracketedLabel(const Text& label, char letter) { return "[" + CaseLikeLetter(label, letter) + "]"; }

Text NetworkShareText(char letter) {
  const char device[3] = {ToUpper(letter), ':', '\0'};
  char remote[261] = {};
  DWORD size = sizeof remote;
  if (GetConnection()(device, remote, &size) == NO_ERROR) return CaseLikeLetter(remote, letter);
  return VolumeLabelText(letter);
}

void LoadNetworkProvider() { GetConnection(); }

TDriveComboBox::~TDriveComboBox() {
  if (dirList_ != nullptr) dirList_->driveCombo_ = nullptr;
}

void TDriveComboBox::Create(TForm& form, const ControlLayout& layout) {
  for (int i = 0; i < 5; ++i) glyphs_[i].Load(kDriveGlyphs[i]);
  const Text current = CurrentFolder(0);
  currentDrive_ = current.empty() || current[0] == '\\' ? 0 : current[0];
  TCustomComboBox::Create(form, layout);
  AdjustItemHeight();
  BuildDriveList();
  SetCurrentDrive(currentDrive_);
}

void TDriveComboBox::AdjustItemHeight() {
  SetItemHeight(std::max(FontLineHeight(Font()), glyphs_[0].Height()));
}

void TDriveComboBox::BuildDriveList() {
  Clear();
  const DWORD drives = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(drives & (1u << i))) continue;
    char letter = static_cast<char>('a' + i);
    const char root[4] = {letter, ':', '\\', '\0'};
    const UINT type = GetDriveTypeA(root);
    if (textCase_ == TTextCase::tcUpperCase) letter = ToUpper(letter);
    const Text drive = Text(1, letter) + ":";
    switch (type) {
      case DRIVE_REMOVABLE: Add(drive, 1); break;  // no volume query: never touch a floppy
      case DRIVE_FIXED: Add(drive + " " + VolumeLabelText(letter), 2); break;
      case DRIVE_REMOTE: Add(drive + " " + NetworkShareText(letter), 3); break;
      case DRIVE_CDROM: Add(drive + " " + VolumeLabelText(letter), 4); break;
      case DRIVE_RAMDISK: Add(drive + " " + VolumeLabelText(letter), 5); break;
      default: break;  // type not determined, or no root folder
    }
  }
}

void TDriveComboBox::SetCurrentDrive(char letter) {
  if (ItemIndex() >= 0 && ToUpper(letter) == ToUpper(currentDrive_)) return;
  if (letter == 0) {
    currentDrive_ = 0;
    SetItemIndex(-1);
  } else {
    currentDrive_ = textCase_ == TTextCase::tcUpperCase ? ToUpper(letter) : ToLower(letter);
    for (int i = 0; i < Count(); ++i) {
      const Text item = Item(i);
      if (item.size() >= 2 && ToUpper(item[0]) == ToUpper(currentDrive_) && item[1] == ':') {
        SetItemIndex(i);
        break;
      }
    }
  }
  if (dirList_ != nullptr) dirList_->DriveChanged(currentDrive_);
  Change();
}

void TDriveComboBox::SetTextCase(TTextCase textCase) {
  textCase_ = textCase;
  BuildDriveList();
  SetCurrentDrive(currentDrive_);  // no item is selected after the rebuild, so this selects it
}

void TDriveComboBox::SetDirList(TDirectoryListBox* list) {
  if (dirList_ != nullptr) dirList_->driveCombo_ = nullptr;
  dirList_ = list;
  if (list != nullptr) {
    if (list->driveCombo_ != nullptr && list->driveCombo_ != this) list->driveCombo_->dirList_ = nullptr;
    list->driveCombo_ = this;
  }
}

void TDriveComboBox::Click() {
  TCustomComboBox::Click();
  const int index = ItemIndex();
  if (index >= 0) {
    const Text item = Item(index);
    if (!item.empty()) SetCurrentDrive(item[0]);
  }
}

void TDriveComboBox::DrawComboItem(HDC dc, int index, const RECT& rect) {
  const int glyph = ItemGlyph(index);
  int glyphWidth = 16;
  if (glyph >= 0 && glyph < 5 && glyphs_[glyph].Loaded()) {
    glyphs_[glyph].DrawInItem(dc, rect, 2);
    glyphWidth = glyphs_[glyph].Width();
  }
  RECT text = rect;
  text.left += glyphWidth + 6;
  const Text caption = Item(index);
  DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
}
