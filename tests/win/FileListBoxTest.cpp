// The file list on the Wine file system: masks, attributes, folder entries, sorting,
// glyph kinds, typed paths and the linked edit box.
#include <gtest/gtest.h>

#include <vector>

#include "FolderTestSupport.h"
#include "TempFolder.h"
#include "base/Exceptions.h"
#include "app/Folders.h"
#include "folderdlg/FileListBox.h"
#include "ui/Edit.h"

namespace {

using folder_test::Contains;
using folder_test::CurrentFolderGuard;
using folder_test::Items;
using folder_test::THostForm;

class FileListBoxTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"b.TXT", "a.txt", "c.doc", "run.exe", "表.txt", "hidden.txt", "system.txt"}) {
      ASSERT_TRUE(WriteTestFile(temp / name, "x"));
    }
    ASSERT_TRUE(SetFileAttributesA((temp / "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA((temp / "system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(MakeFolder(temp / "sub"));
    ASSERT_TRUE(MakeFolder(temp / "hidsub"));
    ASSERT_TRUE(SetFileAttributesA((temp / "hidsub").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(WriteTestFile(temp / "sub\\inner.txt", "x"));
    files.Create(form, ControlLayout{"FileList", 8, 8, 185, 93, ""});
    files.OnChange = [this] { ++changes; };
    files.SetCurrentDir(temp.Path());
    changes = 0;
  }
  TempFolder temp;
  CurrentFolderGuard guard;  // after the folder: it is left before the folder goes
  THostForm form;
  TFileListBox files;
  int changes = 0;
};

TEST_F(FileListBoxTest, NormalFilesSortedIgnoringCase) {
  EXPECT_EQ(files.CurrentDir(), temp.Path());
  EXPECT_EQ(files.Mask(), "*.*");
  EXPECT_EQ(files.FileType(), static_cast<TFileType>(ftNormal));
  const std::vector<Text> items = Items(files);
  EXPECT_EQ(items, (std::vector<Text>{"a.txt", "b.TXT", "c.doc", "run.exe", "表.txt"}))
      << "no hidden or system file, no folder";
  EXPECT_EQ(files.ItemGlyph(0), TFileGlyph::Other);
  EXPECT_EQ(files.ItemGlyph(3), TFileGlyph::Executable);
}

TEST_F(FileListBoxTest, MasksSelectTheFiles) {
  files.SetMask("*.txt");
  EXPECT_EQ(Items(files), (std::vector<Text>{"a.txt", "b.TXT", "表.txt"}));
  EXPECT_EQ(changes, 1);
  files.SetMask("*.txt");
  EXPECT_EQ(changes, 1) << "the same mask does not scan again";
  files.SetMask("*.doc;r*");
  EXPECT_EQ(Items(files), (std::vector<Text>{"c.doc", "run.exe"}));
  // A file that two masks match is listed once.
  files.SetMask("*.txt;a.*");
  EXPECT_EQ(Items(files), (std::vector<Text>{"a.txt", "b.TXT", "表.txt"}));
  files.SetMask("*.none");
  EXPECT_TRUE(Items(files).empty());
}

TEST_F(FileListBoxTest, FolderEntriesAndAttributes) {
  files.SetFileType(ftNormal | ftDirectory);
  std::vector<Text> items = Items(files);
  EXPECT_TRUE(Contains(items, "[sub]"));
  EXPECT_TRUE(Contains(items, "[..]"));
  EXPECT_FALSE(Contains(items, "[hidsub]")) << "hidden folders need ftHidden too";
  EXPECT_TRUE(Contains(items, "a.txt"));
  EXPECT_EQ(files.ItemGlyph(files.IndexOf("[sub]")), TFileGlyph::None) << "no glyph unless shown";

  files.SetFileType(ftDirectory);
  items = Items(files);
  EXPECT_TRUE(Contains(items, "[sub]"));
  EXPECT_FALSE(Contains(items, "a.txt")) << "without ftNormal only entries with a chosen attribute";

  files.SetFileType(ftNormal | ftHidden);
  items = Items(files);
  EXPECT_TRUE(Contains(items, "hidden.txt"));
  EXPECT_FALSE(Contains(items, "system.txt"));
  EXPECT_FALSE(Contains(items, "[sub]"));

  files.SetFileType(ftSystem);
  EXPECT_EQ(Items(files), std::vector<Text>{"system.txt"});
}

TEST_F(FileListBoxTest, ShownGlyphsMarkFoldersAndRaiseTheItemHeight) {
  files.SetItemHeight(13);
  files.SetShowGlyphs(true);
  EXPECT_GE(files.ItemHeight(), 16);
  files.SetFileType(ftNormal | ftDirectory);
  EXPECT_EQ(files.ItemGlyph(files.IndexOf("[sub]")), TFileGlyph::Folder);
  EXPECT_EQ(files.ItemGlyph(files.IndexOf("run.exe")), TFileGlyph::Executable);
}

TEST_F(FileListBoxTest, TypedPaths) {
  // A mask in a typed path becomes the mask.
  files.ApplyPathText(temp / "*.doc");
  EXPECT_EQ(files.Mask(), "*.doc");
  EXPECT_EQ(Items(files), std::vector<Text>{"c.doc"});
  // A file is selected; one that the mask hides becomes the mask.
  files.SetMask("*.*");
  files.ApplyPathText(temp / "B.txt");
  EXPECT_EQ(files.SelectedName(), "b.TXT");
  EXPECT_EQ(files.SelectedPath(), temp / "b.TXT");
  files.SetMask("*.doc");
  files.ApplyPathText(temp / "run.exe");
  EXPECT_EQ(files.Mask(), "run.exe");
  EXPECT_EQ(files.SelectedName(), "run.exe");
  // A folder is entered, also as a file list's folder entry.
  files.SetMask("*.*");
  files.ApplyPathText("[sub]");
  EXPECT_EQ(files.CurrentDir(), temp / "sub");
  EXPECT_EQ(Items(files), std::vector<Text>{"inner.txt"});
  files.ApplyPathText(temp.Path());
  EXPECT_EQ(files.CurrentDir(), temp.Path());
  // A name that is neither file nor folder cannot be entered.
  EXPECT_THROW(files.ApplyPathText(temp / "missing"), EInOutError);
  EXPECT_EQ(files.CurrentDir(), temp.Path());
}

TEST_F(FileListBoxTest, ClicksAndTheLinkedEditBox) {
  TEdit edit;
  edit.Create(form, ControlLayout{"Edit", 8, 120, 185, 20, ""});
  files.SetFileEdit(&edit);
  EXPECT_EQ(edit.GetText(), "*.*") << "the mask while nothing is selected";
  files.SetItemIndex(2);
  files.Command(LBN_SELCHANGE);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(files.LastSelIndex(), 2);
  EXPECT_EQ(edit.GetText(), "c.doc");
  files.Command(LBN_SELCHANGE);
  EXPECT_EQ(changes, 1) << "the same selection is reported once";
  files.SelectName("RUN.EXE");
  EXPECT_EQ(files.SelectedName(), "run.exe");
  EXPECT_EQ(edit.GetText(), "run.exe");
  files.SelectName("none.txt");
  EXPECT_EQ(files.SelectedName(), "");
  EXPECT_EQ(edit.GetText(), "*.*");
}

TEST_F(FileListBoxTest, AFolderThatCannotBeEnteredLeavesTheList) {
  const std::vector<Text> before = Items(files);
  EXPECT_THROW(files.SetCurrentDir(temp / "missing"), EInOutError);
  EXPECT_EQ(files.CurrentDir(), temp.Path());
  EXPECT_EQ(Items(files), before);
  EXPECT_EQ(changes, 0);
}

TEST_F(FileListBoxTest, ALongListPutsTheCursorBack) {
  for (int i = 0; i < 120; ++i) ASSERT_TRUE(WriteTestFile(temp / ("many" + std::to_string(i) + ".dat"), "x"));
  HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
  SetCursor(arrow);
  files.SetMask("many*.dat");
  EXPECT_EQ(files.Count(), 120);
  EXPECT_EQ(GetCursor(), arrow);
}

}  // namespace
