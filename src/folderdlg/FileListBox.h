#pragma once
// The file list: the entries of a folder that match a mask and the chosen attributes,
// sorted ignoring case. Folders show as [name]. A long scan shows the busy cursor.
#include <functional>

#include "ui/ControlLink.h"
#include "ui/Edit.h"
#include "ui/Glyph.h"
#include "ui/ListBox.h"

class TDirectoryListBox;

// The attributes of the entries to list; ftReadOnly to ftArchive are the platform's
// attribute bits, ftNormal lists every entry that no excluded attribute rules out.
enum TFileAttr : unsigned {
  ftReadOnly = 0x01,
  ftHidden = 0x02,
  ftSystem = 0x04,
  ftVolumeID = 0x08,
  ftDirectory = 0x10,
  ftArchive = 0x20,
  ftNormal = 0x100,
};
using TFileType = unsigned;  // a set of TFileAttr

// The glyph an entry carries.
enum class TFileGlyph { None, Executable, Folder, Other };

class TFileListBox : public TCustomListBox {
 public:
  TFileListBox() = default;
  ~TFileListBox() override;

  // Loads the glyphs, takes the process's current folder and lists it with "*.*".
  void Create(TForm& form, const ControlLayout& layout);

  const Text& CurrentDir() const { return currentDir_; }
  // Enters the folder and lists it; throws EInOutError when it cannot be entered.
  virtual void SetCurrentDir(const Text& dir);
  // One or more masks separated by ";".
  const Text& Mask() const { return mask_; }
  void SetMask(const Text& mask);
  TFileType FileType() const { return fileType_; }
  void SetFileType(TFileType fileType);
  bool ShowGlyphs() const { return showGlyphs_; }
  void SetShowGlyphs(bool show);

  // Lists the folder again.
  virtual void ScanFiles();
  // The selected entry, or empty.
  Text SelectedName() const;
  // Selects the entry of that name (ignoring case), or none.
  void SelectName(const Text& name);
  // The selected entry's full path, or empty.
  virtual Text SelectedPath() const;
  // Takes a path as typed: enters its folder, and takes its file part as the mask (with
  // wildcards) or as the entry to select. Throws EInvalidOperation for a file part that
  // names no file.
  virtual void ApplyPathText(const Text& text);

  TFileGlyph ItemGlyph(int index) const { return static_cast<TFileGlyph>(ItemData(index)); }
  int LastSelIndex() const { return lastSelIndex_; }
  TDirectoryListBox* DirList() const { return dirList_; }
  // An edit box that shows the selected entry (or the mask when none is selected).
  TEdit* FileEdit() const { return fileEdit_.Get(); }
  void SetFileEdit(TEdit* edit);

  // Item height from the font; with glyphs shown at least their height + 1.
  void AdjustItemHeight();

  // After every scan and every changed selection.
  std::function<void()> OnChange;

 protected:
  virtual void LoadGlyphs();
  virtual void NotifyChange();
  void Click() override;
  void DrawListItem(HDC dc, int index, const RECT& rect) override;

 private:
  friend class TDirectoryListBox;
  const TGlyph* GlyphOf(TFileGlyph glyph) const;

  Text currentDir_;
  Text mask_ = "*.*";
  TFileType fileType_ = ftNormal;
  TControlLink<TEdit> fileEdit_;
  TDirectoryListBox* dirList_ = nullptr;
  TGlyph executableGlyph_, folderGlyph_, otherGlyph_;
  int lastSelIndex_ = -1;
  bool showGlyphs_ = false;
};
