#include "folderdlg/FileListBox.h"

#include <algorithm>

#include "base/Exceptions.h"
#include "app/Folders.h"
#include "folderdlg/DirectoryListBox.h"
#include "folderdlg/FileNames.h"
#include "folderdlg/FolderItems.h"
#include "folderdlg/PathRoutines.h"
#include "folderdlg/SplitEditPath.h"
#include "ui/Font.h"

namespace {

bool HasWildcard(const Text& name) {
  return name.find('*') != Text::npos || name.find('?') != Text::npos;
}

// The screen cursor as it was, put back at the end of the scope.
class KeepCursor {
 public:
  KeepCursor() : cursor_(GetCursor()) {}
  ~KeepCursor() { SetCursor(cursor_); }
  KeepCursor(const KeepCursor&) = delete;
  KeepCursor& operator=(const KeepCursor&) = delete;

 private:
  HCURSOR cursor_;
};

// The list is placing its 101st entry: from here on a scan may take a while.
const int kBusyIndex = 100;

}  // namespace

TFileListBox::~TFileListBox() {
  if (dirList_ != nullptr) dirList_->fileList_ = nullptr;
}

void TFileListBox::Create(TForm& form, const ControlLayout& layout) {
  currentDir_ = CurrentFolder(0);
  LoadGlyphs();
  Options options;
  options.sorted = true;
  TCustomListBox::Create(form, layout, options);
  AdjustItemHeight();
  ScanFiles();
}

void TFileListBox::LoadGlyphs() {
  executableGlyph_.Load("EXECUTABLE");
  folderGlyph_.Load("CLOSEDFOLDER");
  otherGlyph_.Load("UNKNOWNFILE");
}

void TFileListBox::AdjustItemHeight() {
  int height = FontLineHeight(Font());
  if (showGlyphs_) height = std::max(height, executableGlyph_.Height() + 1);
  SetItemHeight(height);
}

const TGlyph* TFileListBox::GlyphOf(TFileGlyph glyph) const {
  switch (glyph) {
    case TFileGlyph::Executable: return &executableGlyph_;
    case TFileGlyph::Folder: return &folderGlyph_;
    case TFileGlyph::Other: return &otherGlyph_;
    case TFileGlyph::None: break;
  }
  return nullptr;
}

void TFileListBox::ScanFiles() {
  if (Handle() == nullptr) return;
  const DWORD attributes = fileType_ & 0x3F;
  ChangeFolder(currentDir_);
  Clear();
  // Entries with these attributes are left out unless the attribute was asked for.
  const DWORD excluded = (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | ftVolumeID | FILE_ATTRIBUTE_DIRECTORY) &
                         ~attributes;
  {
    KeepCursor keep;
    const std::vector<Text> masks = SplitMasks(mask_);
    for (std::size_t m = 0; m < masks.size(); ++m) {
      WIN32_FIND_DATAA data;
      UniqueFind search(FindFirstFileA(masks[m].c_str(), &data));
      if (!search) continue;
      do {
        const DWORD entry = data.dwFileAttributes;
        if (entry & excluded) continue;
        if (!(fileType_ & ftNormal) && !(entry & attributes)) continue;
        const Text name = data.cFileName;
        Text text;
        TFileGlyph glyph;
        if (entry & FILE_ATTRIBUTE_DIRECTORY) {
          text = "[" + name + "]";
          glyph = showGlyphs_ ? TFileGlyph::Folder : TFileGlyph::None;
        } else {
          text = name;
          glyph = IsProgramName(name) ? TFileGlyph::Executable : TFileGlyph::Other;
        }
        // An entry that an earlier mask matched already is listed once.
        if (m > 0 && IndexOf(text) >= 0) continue;
        if (Add(text, static_cast<LPARAM>(glyph)) == kBusyIndex) SetCursor(LoadCursor(nullptr, IDC_WAIT));
      } while (FindNextFileA(search.get(), &data));
    }
  }
  NotifyChange();
}

void TFileListBox::SetCurrentDir(const Text& dir) {
  if (CompareFileNames(dir, currentDir_) == 0) return;
  if (FolderExists(currentDir_)) ChangeFolder(currentDir_);
  ChangeFolder(dir);
  currentDir_ = CurrentFolder(0);
  ScanFiles();
}

void TFileListBox::SetMask(const Text& mask) {
  if (mask == mask_) return;
  mask_ = mask;
  ScanFiles();
}

void TFileListBox::SetFileType(TFileType fileType) {
  if (fileType == fileType_) return;
  fileType_ = fileType;
  ScanFiles();
}

void TFileListBox::SetShowGlyphs(bool show) {
  if (show == showGlyphs_) return;
  showGlyphs_ = show;
  if (show && ItemHeight() < executableGlyph_.Height() + 1) AdjustItemHeight();
  InvalidateRect(Handle(), nullptr, TRUE);
}

Text TFileListBox::SelectedName() const {
  const int index = ItemIndex();
  if (index >= 0 && Count() > 0 && Selected(index)) return Item(index);
  return Text();
}

void TFileListBox::SelectName(const Text& name) {
  if (CompareFileNames(name, SelectedName()) == 0) return;
  SetItemIndex(IndexOf(name));
  NotifyChange();
}

Text TFileListBox::SelectedPath() const {
  const Text name = SelectedName();
  return name.empty() ? Text() : JoinPath(currentDir_, name);
}

void TFileListBox::ApplyPathText(const Text& text) {
  if (text.empty() || CompareFileNames(text, SelectedPath()) == 0) return;
  const EditPathParts parts = SplitEditPath(text);
  if (dirList_ != nullptr) {
    dirList_->SetCurrentDir(text);
  } else {
    SetCurrentDir(parts.drive == 0 ? parts.dirPart : Text(1, parts.drive) + ":" + parts.dirPart);
  }
  if (HasWildcard(parts.filePart)) {
    SetMask(parts.filePart);
  } else if (!parts.filePart.empty()) {
    SelectName(parts.filePart);
    // Looked up in the listed folder, wherever the process's current folder is now.
    const bool isFile = IsExistingFile(JoinPath(currentDir_, parts.filePart));
    if (isFile && SelectedName().empty()) {
      // A file that the mask hides: list it by its own name and select it.
      SetMask(parts.filePart);
      SelectName(parts.filePart);
    }
    if (!isFile) throw EInvalidOperation("不正なファイル名 - " + text);
  }
}

void TFileListBox::SetFileEdit(TEdit* edit) {
  fileEdit_.Set(edit);
  if (TEdit* linked = fileEdit_.Get()) {
    const Text name = SelectedName();
    linked->SetText(name.empty() ? mask_ : name);
  }
}

void TFileListBox::NotifyChange() {
  lastSelIndex_ = ItemIndex();
  if (TEdit* edit = fileEdit_.Get()) {
    const Text name = SelectedName();
    edit->SetText(name.empty() ? mask_ : name);
    edit->SelectAll();
  }
  if (OnChange) OnChange();
}

void TFileListBox::Click() {
  TCustomListBox::Click();
  if (ItemIndex() != lastSelIndex_) NotifyChange();
}

void TFileListBox::DrawListItem(HDC dc, int index, const RECT& rect) {
  int textOffset = 2;
  if (showGlyphs_) {
    if (const TGlyph* glyph = GlyphOf(ItemGlyph(index))) {
      glyph->DrawInItem(dc, rect, 2);
      textOffset = glyph->Width() + 6;
    }
  }
  const Text text = Item(index);
  TextOutA(dc, rect.left + textOffset, rect.top, text.data(), static_cast<int>(text.size()));
}
