#pragma once
// The folder list: the current folder's path, one item per level (the drive or share,
// each ancestor, the folder itself), followed by its subfolders. Double-clicking an item
// (or Enter on it) enters that folder. Entering a folder makes it the process's current
// folder; the list then reads the folder back, so its path is spelled as the platform
// reports it.
#include <functional>
#include <vector>

#include "folderdlg/FolderItems.h"
#include "ui/ControlLink.h"
#include "ui/Glyph.h"
#include "ui/Label.h"
#include "ui/ListBox.h"

class TDriveComboBox;
class TFileListBox;

class TDirectoryListBox : public TCustomListBox {
 public:
  TDirectoryListBox() = default;
  ~TDirectoryListBox() override;

  // Loads the glyphs, takes the process's current folder and lists it. With
  // wholeItemsOnly the list's height is rounded down to whole items.
  void Create(TForm& form, const ControlLayout& layout, bool wholeItemsOnly = false);

  const Text& CurrentDir() const { return currentDir_; }
  // Enters the folder (a typed path: absolute, relative, a bare drive or a network path)
  // and lists it. Throws EInOutError when it cannot be entered; the list then stays
  // where it was.
  virtual void SetCurrentDir(const Text& dir);
  // Moves to the current folder of another drive; nothing when the list is on it.
  void SwitchDrive(char letter);
  // Told by a linked drive box that its drive changed.
  void DriveChanged(char letter);
  // The folder behind an item; empty for an index past the end.
  Text ItemPath(int index) const;
  TFolderItemKind ItemKind(int index) const { return static_cast<TFolderItemKind>(ItemData(index)); }
  // Enters the selected item's folder.
  void OpenSelected();

  // A name as shown: lower-cased on a volume that neither keeps case nor tells it apart.
  Text DisplayName(const Text& name) const;
  // Names compared as the current folder's volume compares them.
  int CompareNames(const Text& a, const Text& b) const;
  bool VolumeKeepsCase() const { return volumeKeepsCase_; }
  bool VolumeCaseSensitive() const { return volumeCaseSensitive_; }

  TFileListBox* FileList() const { return fileList_; }
  void SetFileList(TFileListBox* list);
  TDriveComboBox* DriveCombo() const { return driveCombo_; }
  // A label that shows the current folder, shortened to fit.
  TLabel* DirLabel() const { return dirLabel_.Get(); }
  void SetDirLabel(TLabel* label);

  // Item height from the font, at least the folder glyphs' height + 1.
  void AdjustItemHeight();

  // After every rebuild of the items.
  std::function<void()> OnChange;

 protected:
  virtual void NotifyChange();
  virtual void LoadGlyphs();
  virtual void BuildFolderList();
  void DblClick() override;
  void KeyPress(char& key) override;
  void DrawListItem(HDC dc, int index, const RECT& rect) override;

 private:
  friend class TDriveComboBox;
  friend class TFileListBox;
  void RefreshDirLabel();
  const TGlyph& GlyphOf(TFolderItemKind kind) const;

  TFileListBox* fileList_ = nullptr;
  TDriveComboBox* driveCombo_ = nullptr;
  TControlLink<TLabel> dirLabel_;
  bool inDriveSwitch_ = false;
  bool volumeKeepsCase_ = true;
  bool volumeCaseSensitive_ = false;
  TGlyph closedGlyph_, openGlyph_, currentGlyph_;
  Text currentDir_;
};

// The visible subfolders of a folder (hidden, system, "." and ".." left out), in the
// order of the user's locale ignoring case, names that compare equal listed once.
std::vector<Text> ReadSubfolders(const Text& dir);
