#pragma once
// The drive box: one item per drive of the machine, with a glyph for its kind and its
// volume label or network name. Picking a drive makes it the current drive; a linked
// folder list follows.
#include "ui/ComboBox.h"
#include "ui/Glyph.h"

class TDirectoryListBox;

enum class TTextCase { tcLowerCase, tcUpperCase };

class TDriveComboBox : public TCustomComboBox {
 public:
  TDriveComboBox() = default;
  ~TDriveComboBox() override;

  // Loads the glyphs, takes the drive of the process's current folder, builds the items
  // and selects that drive.
  void Create(TForm& form, const ControlLayout& layout);

  // The current drive letter, in the case TextCase chooses; 0 for none (the process was
  // on a network path).
  char CurrentDrive() const { return currentDrive_; }
  void SetCurrentDrive(char letter);

  TTextCase TextCase() const { return textCase_; }
  void SetTextCase(TTextCase textCase);

  TDirectoryListBox* DirList() const { return dirList_; }
  void SetDirList(TDirectoryListBox* list);

  // Rebuilds the items from the drives that exist now.
  virtual void BuildDriveList();
  // Item height from the font, at least the drive glyphs' height.
  void AdjustItemHeight();

  // The glyph of a drive item: 0 removable, 1 fixed, 2 network, 3 CD-ROM, 4 RAM disk.
  int ItemGlyph(int index) const { return static_cast<int>(ItemData(index)) - 1; }

 protected:
  void Click() override;
  void DrawComboItem(HDC dc, int index, const RECT& rect) override;

 private:
  friend class TDirectoryListBox;
  TDirectoryListBox* dirList_ = nullptr;
  char currentDrive_ = 0;
  TTextCase textCase_ = TTextCase::tcLowerCase;
  TGlyph glyphs_[5];
};

// What the drive box shows after a drive letter: "[" + volume label + "]" (the label's
// case following the letter's), and for a network drive its remote name instead.
Text VolumeLabelText(char letter);
Text NetworkShareText(char letter);
// Loads, once, the system's network provider library, which gives a network drive's
// remote name; it is not imported, so that no DLL of that name beside the program is
// ever loaded. Throws Exception when the system folder has none. The installer calls
// it at start-up, so that a missing library is reported there.
void LoadNetworkProvider();
// A volume label as the drive box shows it after that letter: lower case after a lower
// case letter, upper case after an upper case one, in brackets.
Text BracketedLabel(const Text& label, char letter);
