// The drive box on Wine's drives (C: the prefix's drive_c, Z: the Linux root): items,
// case rules, the current drive, picks, and the linked folder list.
#include <gtest/gtest.h>

#include <vector>

#include "FolderTestSupport.h"
#include "base/Exceptions.h"
#include "app/Folders.h"
#include "folderdlg/DirectoryListBox.h"
#include "folderdlg/DriveComboBox.h"

namespace {

using folder_test::CurrentFolderGuard;
using folder_test::Items;
using folder_test::THostForm;
using folder_test::UpperDrive;

const ControlLayout kDriveLayout{"DriveList", 8, 8, 185, 19, ""};
const ControlLayout kListLayout{"DirList", 8, 40, 213, 138, ""};

// The drives a drive box lists: those whose type is known and that have a root.
std::vector<char> ListedDrives() {
  std::vector<char> drives;
  const DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    const char root[4] = {static_cast<char>('a' + i), ':', '\\', '\0'};
    const UINT type = GetDriveTypeA(root);
    if ((mask & (1u << i)) && type >= DRIVE_REMOVABLE && type <= DRIVE_RAMDISK) drives.push_back(root[0]);
  }
  return drives;
}

// Drive C's label as the platform gives it, in brackets, with A to Z (not the second
// bytes of double-byte characters) in lower case.
Text LabelOfCInLowerCase() {
  char label[261] = {};
  if (!GetVolumeInformationA("c:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0)) label[0] = '\0';
  Text text = "[";
  for (std::size_t i = 0; label[i] != '\0'; ++i) {
    if (sjis::IsLeadByte(static_cast<unsigned char>(label[i])) && label[i + 1] != '\0') {
      text += label[i++];
      text += label[i];
    } else {
      text += label[i] >= 'A' && label[i] <= 'Z' ? static_cast<char>(label[i] + 32) : label[i];
    }
  }
  return text + "]";
}

class DriveComboBoxTest : public testing::Test {
 protected:
  void SetUp() override {
    ChangeFolder("C:\\windows");
    box.Create(form, kDriveLayout);
    box.OnChange = [this] { ++changes; };
  }
  int IndexOfDrive(char letter) {
    for (int i = 0; i < box.Count(); ++i) {
      if ((box.Item(i)[0] | 0x20) == (letter | 0x20)) return i;
    }
    return -1;
  }
  CurrentFolderGuard guard;
  THostForm form;
  TDriveComboBox box;
  int changes = 0;
};

TEST_F(DriveComboBoxTest, OneItemPerDriveWithItsGlyphAndLabel) {
  const std::vector<char> drives = ListedDrives();
  const std::vector<Text> items = Items(box);
  ASSERT_EQ(items.size(), drives.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i][0], drives[i]) << "in letter order, lower case";
    EXPECT_EQ(items[i][1], ':');
  }
  const int c = IndexOfDrive('c');
  ASSERT_GE(c, 0);
  ASSERT_EQ(GetDriveTypeA("c:\\"), static_cast<UINT>(DRIVE_FIXED));
  EXPECT_EQ(items[c], "c: " + LabelOfCInLowerCase());
  EXPECT_EQ(box.ItemGlyph(c), 1) << "fixed drive: HARD";
}

TEST_F(DriveComboBoxTest, TheCurrentDriveIsTheProcesssDriveInLowerCase) {
  EXPECT_EQ(box.CurrentDrive(), 'c');
  EXPECT_EQ(box.ItemIndex(), IndexOfDrive('c'));
}

TEST(DriveComboBox, VolumeLabelsTakeTheCaseOfTheLetter) {
  EXPECT_EQ(BracketedLabel("Data Vol", 'c'), "[data vol]");
  EXPECT_EQ(BracketedLabel("Data Vol", 'C'), "[DATA VOL]");
  EXPECT_EQ(BracketedLabel("", 'd'), "[]");
  // Only A to Z change: "ア" (83 41) and "ヂ" (83 61) keep their second byte.
  EXPECT_EQ(BracketedLabel("アData", 'c'), "[アdata]");
  EXPECT_EQ(BracketedLabel("ヂData", 'C'), "[ヂDATA]");
  // The label the drive box shows is the platform's, in that form.
  EXPECT_EQ(VolumeLabelText('c'), LabelOfCInLowerCase());
  EXPECT_EQ(VolumeLabelText('q'), "[]") << "a drive that does not exist";
  EXPECT_EQ(NetworkShareText('q'), "[]") << "not connected: the label instead";
}

TEST_F(DriveComboBoxTest, UpperCaseItemsAndDrive) {
  box.SetTextCase(TTextCase::tcUpperCase);
  for (const Text& item : Items(box)) EXPECT_TRUE(item[0] >= 'A' && item[0] <= 'Z') << item;
  EXPECT_EQ(box.CurrentDrive(), 'C');
  EXPECT_EQ(box.ItemIndex(), IndexOfDrive('c'));
  box.SetCurrentDrive('z');
  EXPECT_EQ(box.CurrentDrive(), 'Z');
}

TEST_F(DriveComboBoxTest, SettingTheDriveSelectsItsItem) {
  box.SetCurrentDrive('C');
  EXPECT_EQ(changes, 0) << "the same drive in other case changes nothing";
  box.SetCurrentDrive('Z');
  EXPECT_EQ(box.CurrentDrive(), 'z');
  EXPECT_EQ(box.ItemIndex(), IndexOfDrive('z'));
  EXPECT_EQ(changes, 1);
  box.SetCurrentDrive(0);
  EXPECT_EQ(box.CurrentDrive(), 0);
  EXPECT_EQ(box.ItemIndex(), -1);
  EXPECT_EQ(changes, 2);
}

TEST_F(DriveComboBoxTest, AnUnknownLetterKeepsTheSelection) {
  const int before = box.ItemIndex();
  ASSERT_EQ(IndexOfDrive('q'), -1) << "this test needs q: not to exist";
  box.SetCurrentDrive('q');
  EXPECT_EQ(box.CurrentDrive(), 'q');
  EXPECT_EQ(box.ItemIndex(), before);
  EXPECT_EQ(changes, 1);
}

TEST_F(DriveComboBoxTest, APickOfAnotherDriveReportsTwice) {
  int clicks = 0;
  box.OnClick = [&] { ++clicks; };
  box.SetItemIndex(IndexOfDrive('z'));
  box.Command(CBN_SELCHANGE);
  EXPECT_EQ(box.CurrentDrive(), 'z');
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(changes, 2) << "once from the new drive, once from the pick";
  box.Command(CBN_SELCHANGE);
  EXPECT_EQ(changes, 3) << "the same drive again: the pick only";
}

TEST_F(DriveComboBoxTest, ALinkedFolderListFollowsTheDrive) {
  folder_test::SetDriveFolder("Z:\\tmp");
  TDirectoryListBox list;
  list.Create(form, kListLayout);
  box.SetDirList(&list);
  EXPECT_EQ(list.DriveCombo(), &box);
  box.SetCurrentDrive('z');
  EXPECT_EQ(UpperDrive(list.CurrentDir()), "Z:\\tmp") << "drive Z's current folder";
  // The list moving to another drive moves the box too.
  list.SetCurrentDir("C:\\windows");
  EXPECT_EQ(box.CurrentDrive(), 'c');
  EXPECT_EQ(box.ItemIndex(), IndexOfDrive('c'));
  // A drive that cannot be entered: the box shows it, the list stays.
  EXPECT_THROW(box.SetCurrentDrive('q'), EInOutError);
  EXPECT_EQ(box.CurrentDrive(), 'q');
  EXPECT_EQ(UpperDrive(list.CurrentDir()), "C:\\windows");
}

TEST_F(DriveComboBoxTest, TheLinkIsDroppedWhenTheListGoes) {
  {
    TDirectoryListBox list;
    list.Create(form, kListLayout);
    box.SetDirList(&list);
  }
  EXPECT_EQ(box.DirList(), nullptr);
  box.SetCurrentDrive('z');  // nothing left to tell
  EXPECT_EQ(box.CurrentDrive(), 'z');
  TDirectoryListBox list;
  list.Create(form, kListLayout);
  {
    TDriveComboBox other;
    other.Create(form, kDriveLayout);
    other.SetDirList(&list);
  }
  EXPECT_EQ(list.DriveCombo(), nullptr);
}

}  // namespace
