// The folder selection dialog: its layout, where it opens, the edit box and the path
// label, and scaling. ChooseDirectory as a user works it is tested end to end
// (tests/e2e/browse_*.sh).
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "FolderTestSupport.h"
#include "TempFolder.h"
#include "app/Folders.h"
#include "folderdlg/ChooseDirectory.h"
#include "folderdlg/SelectDirDlg.h"

namespace {

using folder_test::CurrentFolderGuard;
using folder_test::Items;
using folder_test::UpperDrive;

class FolderDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    deep = temp / "a\\b\\c";
    ASSERT_TRUE(MakeFolderPath(deep + "\\x"));
    ASSERT_TRUE(WriteTestFile(deep + "\\file.txt", "x"));
    ChangeFolder(temp.Path());
  }
  TempFolder temp;
  CurrentFolderGuard guard;  // after the folder: it is left before the folder goes
  Text deep;
};

// Left, top, width and height (unless it is -1) in client pixels.
void ExpectBounds(const TControl& control, int left, int top, int width, int height) {
  const RECT r = control.BoundsRect();
  EXPECT_EQ(r.left, left) << control.Name();
  EXPECT_EQ(r.top, top) << control.Name();
  EXPECT_EQ(r.right - r.left, width) << control.Name();
  if (height >= 0) {
    EXPECT_EQ(r.bottom - r.top, height) << control.Name();
  }
}

TEST_F(FolderDialogTest, BuiltAsDesigned) {
  TSelectDirDlg dialog;
  EXPECT_EQ(dialog.Caption(), "ディレクトリの選択");
  RECT client{};
  GetClientRect(dialog.Handle(), &client);
  EXPECT_EQ(client.right, 424);
  EXPECT_EQ(client.bottom, 255);
  EXPECT_FALSE(dialog.Visible());
  const LONG style = GetWindowLongA(dialog.Handle(), GWL_STYLE);
  EXPECT_FALSE(style & WS_THICKFRAME) << "not resizable";
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) << "close box only";

  ExpectBounds(dialog.DirEdit, 8, 24, 313, 20);
  ExpectBounds(dialog.DirLabel, 8, 24, 313, 20);
  ExpectBounds(dialog.FileList, 232, 72, 185, 93);
  ExpectBounds(dialog.OKButton, 172, 224, 77, 27);
  ExpectBounds(dialog.CancelButton, 256, 224, 77, 27);
  ExpectBounds(dialog.HelpButton, 340, 224, 77, 27);
  ExpectBounds(dialog.NetButton, 8, 224, 77, 27);
  // The folder list shows whole items of 17 pixels only: its height of 138 is rounded
  // down to them.
  ExpectBounds(dialog.DirList, 8, 72, 213, -1);
  const RECT list = dialog.DirList.BoundsRect();
  EXPECT_LE(list.bottom - list.top, 138);
  EXPECT_GT(list.bottom - list.top, 138 - 17);
  ExpectBounds(dialog.DriveList, 232, 192, 185, -1);

  EXPECT_EQ(dialog.DirList.ItemHeight(), 17);
  EXPECT_EQ(dialog.FileList.ItemHeight(), 13);
  EXPECT_EQ(dialog.FileList.Font().color, GetSysColor(COLOR_GRAYTEXT));
  EXPECT_EQ(dialog.FileList.Mask(), "*.*");
  EXPECT_EQ(dialog.FileList.FileType(), static_cast<TFileType>(ftNormal));

  EXPECT_FALSE(dialog.EditName());
  EXPECT_FALSE(dialog.DirEdit.Visible());
  EXPECT_TRUE(dialog.DirLabel.Visible());
  EXPECT_EQ(dialog.NetButton.Visible(), dialog.HasConnectDialog());
  EXPECT_EQ(dialog.DefaultButton(), &dialog.OKButton);
  EXPECT_EQ(static_cast<TForm&>(dialog).CancelButton(), &dialog.CancelButton);
  EXPECT_EQ(dialog.ActiveControl(), &dialog.DirList);
  EXPECT_EQ(dialog.OKButton.ModalResult, mrOk);
  EXPECT_EQ(dialog.CancelButton.ModalResult, mrCancel);

  // On the process's current folder, shown in the label and the edit box.
  EXPECT_EQ(dialog.DirList.CurrentDir(), temp.Path());
  EXPECT_EQ(dialog.DirLabel.Caption(), temp.Path());
  EXPECT_EQ(dialog.DirEdit.GetText(), temp.Path());
  EXPECT_EQ(dialog.SelectedDir(), temp.Path());
  EXPECT_EQ(dialog.FileList.CurrentDir(), temp.Path());
  EXPECT_EQ(dialog.DriveList.CurrentDrive(), 'c');

  // Tab order with the edit box shown: DirList, DirEdit, DriveList, (NetButton,) OK,
  // Cancel, FileList, Help.
  dialog.SetEditName(true);
  std::vector<HWND> order{dialog.DirList.Handle()};
  for (int i = 0; i < 7; ++i) order.push_back(GetNextDlgTabItem(dialog.Handle(), order.back(), FALSE));
  std::vector<HWND> expected{dialog.DirList.Handle(),  dialog.DirEdit.Handle(),      dialog.DriveList.Handle(),
                             dialog.OKButton.Handle(), dialog.CancelButton.Handle(), dialog.FileList.Handle(),
                             dialog.HelpButton.Handle()};
  if (dialog.HasConnectDialog()) expected.insert(expected.begin() + 3, dialog.NetButton.Handle());
  expected.resize(8, dialog.DirList.Handle());
  EXPECT_EQ(order, expected);
}

TEST_F(FolderDialogTest, TheSelectedFolderPositionsTheLists) {
  TSelectDirDlg dialog;
  dialog.SetSelectedDir(deep);
  EXPECT_EQ(dialog.DirList.CurrentDir(), deep);
  EXPECT_EQ(dialog.DirEdit.GetText(), deep);
  EXPECT_EQ(dialog.DirLabel.Caption(), deep);
  EXPECT_EQ(dialog.FileList.CurrentDir(), deep);
  EXPECT_EQ(Items(dialog.FileList), std::vector<Text>{"file.txt"});
  dialog.SetSelectedDir(deep + "\\");
  EXPECT_EQ(dialog.DirList.CurrentDir(), deep) << "a trailing backslash names the same folder";

  // A folder that does not exist: the process's current folder.
  const Text current = CurrentFolder(0);
  dialog.SetSelectedDir(temp / "missing\\x");
  EXPECT_EQ(dialog.DirList.CurrentDir(), current);
  EXPECT_EQ(dialog.DirEdit.GetText(), current);
  // Nor does a drive that is missing: the lists stay on the current folder's drive.
  char missingDrive = 0;
  for (char letter = 'y'; letter > 'c' && missingDrive == 0; --letter) {
    if ((GetLogicalDrives() & (1u << (letter - 'a'))) == 0) missingDrive = letter;
  }
  ASSERT_NE(missingDrive, 0) << "every drive letter is taken";
  EXPECT_NO_THROW(dialog.SetSelectedDir(Text(1, missingDrive) + ":\\korvani"));
  EXPECT_EQ(dialog.DirList.CurrentDir(), current);
  EXPECT_EQ(dialog.DriveList.CurrentDrive(), 'c');
  EXPECT_EQ(dialog.DirEdit.GetText(), current);

  // Another drive: the drive box and the list both move.
  dialog.SetSelectedDir("Z:\\tmp");
  EXPECT_EQ(dialog.DriveList.CurrentDrive(), 'z');
  EXPECT_EQ(UpperDrive(dialog.DirList.CurrentDir()), "Z:\\tmp");
  dialog.SetSelectedDir(deep);
  EXPECT_EQ(dialog.DriveList.CurrentDrive(), 'c');
  EXPECT_EQ(UpperDrive(dialog.DirList.CurrentDir()), deep);

  // A network path or an empty text leaves the lists where they are.
  dialog.SetSelectedDir("\\\\server\\share\\x");
  EXPECT_EQ(UpperDrive(dialog.DirList.CurrentDir()), deep);
  dialog.SetSelectedDir("");
  EXPECT_EQ(UpperDrive(dialog.DirList.CurrentDir()), deep);
}

TEST_F(FolderDialogTest, ADriveRootOpensOnTheRoot) {
  // Its folder part without the final "\" would be the bare drive, which enters the
  // drive's current folder; the root is what the user named.
  folder_test::SetDriveFolder(deep);
  TSelectDirDlg dialog;
  dialog.SetSelectedDir("C:\\");
  EXPECT_EQ(dialog.DirList.CurrentDir(), "C:\\");
  EXPECT_EQ(dialog.DirEdit.GetText(), "C:\\");
}

TEST_F(FolderDialogTest, EditNameSwitchesBetweenEditBoxAndLabel) {
  TSelectDirDlg dialog;
  dialog.SetEditName(true);
  EXPECT_TRUE(dialog.DirEdit.Visible());
  EXPECT_FALSE(dialog.DirLabel.Visible());
  dialog.DirEdit.SetText("typed");
  EXPECT_EQ(dialog.SelectedDir(), "typed") << "the edit box, not the lists";
  EXPECT_EQ(dialog.DirList.CurrentDir(), temp.Path()) << "the lists do not follow the edit box";
  dialog.SetEditName(false);
  EXPECT_FALSE(dialog.DirEdit.Visible());
  EXPECT_TRUE(dialog.DirLabel.Visible());
  EXPECT_EQ(dialog.SelectedDir(), temp.Path());
}

TEST_F(FolderDialogTest, ThePathLabelShowsTheFolderShortened) {
  TSelectDirDlg dialog;
  const Text longer = deep + "\\x\\a-rather-long-folder-name\\and-another-one-below-it\\c\\x";
  ASSERT_TRUE(MakeFolderPath(longer));
  dialog.SetSelectedDir(longer);
  // Long enough not to fit the label's 313 pixels.
  ASSERT_GT(static_cast<int>(longer.size()) * 4, 313);
  EXPECT_EQ(dialog.DirLabel.Caption(), longer) << "the caption keeps the whole path";
  const Text shown = dialog.DirLabel.ShownText();
  EXPECT_NE(shown, longer);
  EXPECT_NE(shown.find("...\\"), Text::npos) << shown;
  EXPECT_EQ(shown.substr(shown.size() - 4), "\\c\\x") << shown;
  EXPECT_EQ(shown.substr(0, 2), longer.substr(0, 2)) << "the drive stays while it can";
}

TEST_F(FolderDialogTest, ScalesToOtherResolutions) {
  TSelectDirDlg dialog;
  dialog.ScaleTo(120);
  RECT client{};
  GetClientRect(dialog.Handle(), &client);
  EXPECT_EQ(client.right, 530);   // 424 * 1.25
  EXPECT_EQ(client.bottom, 319);  // 255 * 1.25, rounded
  ExpectBounds(dialog.OKButton, 215, 280, 96, 34);
  ExpectBounds(dialog.DirList, 10, 90, 266, -1);
  EXPECT_EQ(dialog.FileList.Font().height, 15);
  EXPECT_EQ(dialog.FileList.Font().color, GetSysColor(COLOR_GRAYTEXT));
  EXPECT_EQ(dialog.DirEdit.Font().height, 15);
  const RECT outer = dialog.BoundsRect();
  EXPECT_EQ(outer.left, GetSystemMetrics(SM_CXSCREEN) / 2 - (outer.right - outer.left) / 2);
  EXPECT_EQ(outer.top, GetSystemMetrics(SM_CYSCREEN) / 2 - (outer.bottom - outer.top) / 2);
}

// Not run with the others: ChooseDirectory without the edit box (but with cdConfirm and
// cdCreate, and a help context) on a deep folder, for the end-to-end scripts to look at
// the path label and work the dialog. Prints what it returns.
TEST_F(FolderDialogTest, DISABLED_ShowThePathLabel) {
  const Text dir = temp / "Program Files\\Tolvar\\korvani\\データ\\領収書\\2026";
  ASSERT_TRUE(MakeFolderPath(dir));
  ASSERT_TRUE(MakeFolder(dir + "\\ソフト"));
  ASSERT_TRUE(WriteTestFile(dir + "\\receipt.txt", "x"));
  ASSERT_TRUE(WriteTestFile(dir + "\\korvani.exe", "x"));
  Text chosen = dir;
  const bool ok = ChooseDirectory(chosen, cdConfirm | cdCreate, 5);
  std::printf("result %d %s\n", ok ? 1 : 0, chosen.c_str());
  std::fflush(stdout);
}

}  // namespace
