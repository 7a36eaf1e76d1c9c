// SplitEditPath on the Wine file system: C: is the prefix's drive_c, Z: the Linux root.
#include <gtest/gtest.h>

#include "FolderTestSupport.h"
#include "TempFolder.h"
#include "base/Exceptions.h"
#include "app/Folders.h"
#include "folderdlg/SplitEditPath.h"

namespace {

using folder_test::CurrentFolderGuard;
using folder_test::WithoutDrive;

class SplitEditPathTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(MakeFolderPath(temp.Path() + "\\Program Files\\Tolvar"));
    ASSERT_TRUE(MakeFolderPath(temp.Path() + "\\docs"));
    ASSERT_TRUE(MakeFolderPath(temp.Path() + "\\work\\sub"));
    ASSERT_TRUE(WriteTestFile(temp / "docs\\note.txt", "x"));
    // The process stands in temp\work, as it would on C:\work.
    ChangeFolder(temp / "work");
    work = CurrentFolder(0);
  }
  TempFolder temp;
  CurrentFolderGuard guard;  // after the folder: it is left before the folder goes
  Text work;
};

TEST_F(SplitEditPathTest, AFolderPathGivesItsDriveAndFolder) {
  const Text typed = temp / "Program Files\\Tolvar";
  const EditPathParts parts = SplitEditPath(typed);
  EXPECT_EQ(parts.drive, typed[0]);
  EXPECT_EQ(parts.dirPart, WithoutDrive(typed));
  EXPECT_EQ(parts.filePart, "");
  const EditPathParts one = SplitEditPath(temp / "Program Files");
  EXPECT_EQ(one.dirPart, WithoutDrive(temp / "Program Files"));
  EXPECT_EQ(one.filePart, "");
  EXPECT_EQ(CurrentFolder(0), work) << "the current folder is put back";
}

TEST_F(SplitEditPathTest, AMaskOrAFileStaysTheFilePart) {
  EditPathParts parts = SplitEditPath(temp / "docs\\*.txt");
  EXPECT_EQ(parts.dirPart, WithoutDrive(temp / "docs"));
  EXPECT_EQ(parts.filePart, "*.txt");
  parts = SplitEditPath(temp / "docs\\note.txt");
  EXPECT_EQ(parts.dirPart, WithoutDrive(temp / "docs"));
  EXPECT_EQ(parts.filePart, "note.txt");
  // A wildcard name is not looked up: no such files are needed.
  parts = SplitEditPath(temp / "docs\\?.none");
  EXPECT_EQ(parts.filePart, "?.none");
  EXPECT_EQ(CurrentFolder(0), work);
}

TEST_F(SplitEditPathTest, AFileListFolderEntryIsTakenFromTheCurrentFolder) {
  const EditPathParts parts = SplitEditPath("[sub]");
  EXPECT_EQ(parts.drive, work[0]);
  EXPECT_EQ(parts.dirPart, WithoutDrive(work) + "\\sub");
  EXPECT_EQ(parts.filePart, "");
  // A relative name without brackets the same.
  EXPECT_EQ(SplitEditPath("sub").dirPart, WithoutDrive(work) + "\\sub");
  EXPECT_EQ(CurrentFolder(0), work);
}

TEST_F(SplitEditPathTest, OtherDrivesAndBareDrives) {
  // Z: is the Linux root; its tmp folder serves as "D:\docs".
  const Text zFolder = "Z:\\tmp\\korvani-split-" + std::to_string(GetCurrentProcessId());
  RemoveTree(zFolder);
  ASSERT_TRUE(MakeFolderPath(zFolder + "\\docs"));
  EditPathParts parts = SplitEditPath(zFolder + "\\docs\\*.txt");
  EXPECT_EQ(parts.drive, 'Z');
  EXPECT_EQ(parts.dirPart, WithoutDrive(zFolder) + "\\docs");
  EXPECT_EQ(parts.filePart, "*.txt");
  // A bare drive: that drive's current folder.
  folder_test::SetDriveFolder(zFolder);
  parts = SplitEditPath("z:");
  EXPECT_EQ(parts.drive, 'z');
  EXPECT_EQ(parts.dirPart, WithoutDrive(zFolder));
  EXPECT_EQ(parts.filePart, "");
  EXPECT_EQ(CurrentFolder(0), work);
  RemoveTree(zFolder);
}

TEST_F(SplitEditPathTest, AMissingMiddleFolderThrowsAndLeavesTheCurrentFolder) {
  try {
    SplitEditPath(temp / "missing\\Tolvar");
    ADD_FAILURE() << "no exception";
  } catch (const EInOutError& e) {
    EXPECT_TRUE(e.SystemCode == 2 || e.SystemCode == 3) << e.SystemCode;
  }
  EXPECT_EQ(CurrentFolder(0), work);
  // A last name that is neither a file nor a folder is entered as a folder: that fails too.
  EXPECT_THROW(SplitEditPath(temp / "docs\\nothing"), EInOutError);
  EXPECT_EQ(CurrentFolder(0), work);
}

TEST_F(SplitEditPathTest, ANetworkPathKeepsItsShare) {
  // No share is reachable here: the share part cannot be entered, so the name after it
  // is looked for on the current drive and the error comes back; the current folder
  // stays.
  EXPECT_THROW(SplitEditPath("\\\\nosuchserver\\share\\korvani-none"), EInOutError);
  EXPECT_EQ(CurrentFolder(0), work);
}

}  // namespace
