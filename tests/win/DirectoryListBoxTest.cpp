// The folder list on the Wine file system: its items, their kinds and paths, what it
// leaves out, how it moves, its links, and where it draws its glyphs.
#include <gtest/gtest.h>

#include <vector>

#include "FolderTestSupport.h"
#include "TempFolder.h"
#include "base/Exceptions.h"
#include "app/Folders.h"
#include "app/PathText.h"
#include "folderdlg/DirectoryListBox.h"
#include "folderdlg/FileListBox.h"
#include "folderdlg/FolderItems.h"
#include "folderdlg/PathRoutines.h"
#include "ui/Label.h"

namespace {

using folder_test::Contains;
using folder_test::CurrentFolderGuard;
using folder_test::Items;
using folder_test::THostForm;
using Kind = TFolderItemKind;

const ControlLayout kListLayout{"DirList", 8, 8, 213, 138, ""};

class DirectoryListBoxTest : public testing::Test {
 protected:
  void SetUp() override {
    deep = temp / "a\\b\\c";
    ASSERT_TRUE(MakeFolderPath(deep + "\\x"));
    ASSERT_TRUE(MakeFolder(deep + "\\Yellow"));
    ASSERT_TRUE(MakeFolder(deep + "\\hidden"));
    ASSERT_TRUE(MakeFolder(deep + "\\system"));
    ASSERT_TRUE(SetFileAttributesA((deep + "\\hidden").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA((deep + "\\system").c_str(), FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(WriteTestFile(deep + "\\file.txt", "x"));
    list.Create(form, kListLayout);
    list.OnChange = [this] { ++changes; };
  }
  TempFolder temp;
  CurrentFolderGuard guard;  // after the folder: it is left before the folder goes
  Text deep;
  THostForm form;
  TDirectoryListBox list;
  int changes = 0;
};

TEST_F(DirectoryListBoxTest, StartsOnTheProcesssCurrentFolder) {
  EXPECT_EQ(list.CurrentDir(), CurrentFolder(0));
  ASSERT_GT(list.Count(), 0);
  EXPECT_EQ(list.ItemKind(list.ItemIndex()), Kind::Current);
}

TEST_F(DirectoryListBoxTest, ADeepFolderHasOneItemPerLevelThenItsVisibleSubfolders) {
  list.SetCurrentDir(deep);
  EXPECT_EQ(list.CurrentDir(), deep);
  EXPECT_EQ(CurrentFolder(0), deep) << "the list's folder is the process's current folder";
  EXPECT_EQ(changes, 1);

  const std::vector<Text> items = Items(list);
  const int levels = BackslashCount(deep) + 1;  // C:\, users, ..., a, b, c
  ASSERT_EQ(static_cast<int>(items.size()), levels + 2) << "x and Yellow; no hidden, system or file";
  EXPECT_EQ(items[0], DrivePart(deep) + "\\");
  EXPECT_EQ(items[levels - 3], "a");
  EXPECT_EQ(items[levels - 2], "b");
  EXPECT_EQ(items[levels - 1], "c");
  EXPECT_EQ(items[levels], "x");
  EXPECT_EQ(items[levels + 1], "Yellow") << "sorted ignoring case";
  EXPECT_FALSE(Contains(items, "hidden"));
  EXPECT_FALSE(Contains(items, "system"));
  EXPECT_FALSE(Contains(items, "file.txt"));

  EXPECT_EQ(list.ItemIndex(), levels - 1) << "the current folder's item is selected";
  EXPECT_EQ(list.ItemKind(0), Kind::Ancestor);
  EXPECT_EQ(list.ItemKind(levels - 2), Kind::Ancestor);
  EXPECT_EQ(list.ItemKind(levels - 1), Kind::Current);
  EXPECT_EQ(list.ItemKind(levels), Kind::Subfolder);

  EXPECT_EQ(list.ItemPath(0), DrivePart(deep) + "\\");
  EXPECT_EQ(list.ItemPath(1), DrivePart(deep) + "\\" + items[1]);
  EXPECT_EQ(list.ItemPath(levels - 2), temp / "a\\b");
  EXPECT_EQ(list.ItemPath(levels - 1), deep);
  EXPECT_EQ(list.ItemPath(levels), deep + "\\x");
  EXPECT_EQ(list.ItemPath(levels + 1), deep + "\\Yellow");
  EXPECT_EQ(list.ItemPath(levels + 2), "");
  EXPECT_EQ(list.ItemPath(-1), "");
}

TEST_F(DirectoryListBoxTest, ADriveRootIsOneCurrentItemFollowedByItsFolders) {
  list.SetCurrentDir("C:\\");
  EXPECT_EQ(list.CurrentDir().size(), 3u);
  const std::vector<Text> items = Items(list);
  ASSERT_GT(items.size(), 1u);
  EXPECT_EQ(items[0], list.CurrentDir());
  EXPECT_EQ(list.ItemKind(0), Kind::Current);
  EXPECT_EQ(list.ItemIndex(), 0);
  EXPECT_EQ(list.ItemKind(1), Kind::Subfolder);
  EXPECT_EQ(list.ItemPath(0), list.CurrentDir());
  EXPECT_EQ(list.ItemPath(1), list.CurrentDir() + items[1]);
  EXPECT_TRUE(Contains(items, "windows") || Contains(items, "Windows"));
}

TEST_F(DirectoryListBoxTest, DoubleByteFolderNames) {
  const Text dir = temp / "表示\\ソ";
  ASSERT_TRUE(MakeFolderPath(dir + "\\十"));
  list.SetCurrentDir(dir);
  const std::vector<Text> items = Items(list);
  ASSERT_GE(items.size(), 3u);
  EXPECT_EQ(items[items.size() - 3], "表示");
  EXPECT_EQ(items[items.size() - 2], "ソ");
  EXPECT_EQ(items.back(), "十");
  EXPECT_EQ(list.ItemPath(static_cast<int>(items.size()) - 3), temp / "表示");
  EXPECT_EQ(list.ItemPath(static_cast<int>(items.size()) - 1), dir + "\\十");
}

TEST_F(DirectoryListBoxTest, OpeningAnItemEntersItsFolder) {
  list.SetCurrentDir(deep);
  const int levels = BackslashCount(deep) + 1;
  // A single click only selects.
  list.SetItemIndex(levels);
  list.Command(LBN_SELCHANGE);
  EXPECT_EQ(list.CurrentDir(), deep);
  // A double click opens the subfolder ...
  list.Command(LBN_DBLCLK);
  EXPECT_EQ(list.CurrentDir(), deep + "\\x");
  // ... Enter opens an ancestor ...
  list.SetItemIndex(levels - 3);
  SendMessageA(list.Handle(), WM_CHAR, '\r', 0);
  EXPECT_EQ(list.CurrentDir(), temp / "a");
  // ... and the first item is the drive root.
  list.SetItemIndex(0);
  list.OpenSelected();
  EXPECT_EQ(list.CurrentDir(), DrivePart(deep) + "\\");
  EXPECT_EQ(changes, 4);
}

TEST_F(DirectoryListBoxTest, TheSameFolderInOtherCaseChangesNothing) {
  list.SetCurrentDir(deep);
  ASSERT_FALSE(list.VolumeCaseSensitive());
  list.SetCurrentDir(AsciiUpperCase(deep));
  EXPECT_EQ(list.CurrentDir(), deep);
  EXPECT_EQ(changes, 1);
  // A relative path is taken from the list's folder.
  list.SetCurrentDir("x");
  EXPECT_EQ(list.CurrentDir(), deep + "\\x");
  list.SetCurrentDir("..");
  EXPECT_EQ(list.CurrentDir(), deep);
}

TEST_F(DirectoryListBoxTest, AFolderThatCannotBeEnteredLeavesTheList) {
  list.SetCurrentDir(deep);
  const std::vector<Text> before = Items(list);
  EXPECT_THROW(list.SetCurrentDir(deep + "\\missing"), EInOutError);
  EXPECT_THROW(list.SetCurrentDir("q:\\nowhere"), EInOutError) << "a drive that does not exist";
  EXPECT_EQ(list.CurrentDir(), deep);
  EXPECT_EQ(Items(list), before);
  EXPECT_EQ(changes, 1);
}

int TextWidth(const Text& text, const TFont& font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.Handle());
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

// `shown` is how a label `width` pixels wide shows `path`: whole when it fits, else
// the drive, "\...\" and the path's last folders, no wider than the label.
void ExpectShortened(const Text& shown, const Text& path, const TFont& font, int width) {
  EXPECT_LE(TextWidth(shown, font), width) << shown;
  if (shown == path) return;
  const Text head = path.substr(0, 2) + "\\...\\";
  ASSERT_EQ(shown.compare(0, head.size(), head), 0) << shown;
  const Text tail = shown.substr(head.size());
  ASSERT_LT(tail.size(), path.size()) << shown;
  EXPECT_EQ(path.substr(path.size() - tail.size()), tail) << shown;
  EXPECT_EQ(path[path.size() - tail.size() - 1], '\\') << "whole folders: " << shown;
}

TEST_F(DirectoryListBoxTest, ALinkedFileListAndLabelFollow) {
  TFileListBox files;
  files.Create(form, ControlLayout{"FileList", 232, 8, 185, 93, ""});
  list.SetFileList(&files);
  EXPECT_EQ(files.DirList(), &list);
  TLabel label;
  label.Create(form, ControlLayout{"Label", 8, 160, 60, 16, ""});
  list.SetDirLabel(&label);
  list.SetCurrentDir(deep);
  EXPECT_EQ(files.CurrentDir(), deep);
  EXPECT_EQ(Items(files), std::vector<Text>{"file.txt"});
  // The label shows the folder shortened to its width.
  const Text shown = label.Caption();
  EXPECT_NE(shown, deep);
  EXPECT_EQ(shown.substr(shown.size() - 2), "\\c") << shown;
  ExpectShortened(shown, deep, label.Font(), 60);
  // A label that sizes itself to its text takes the list's width instead.
  label.SetAutoSize(true);
  list.SetCurrentDir(deep + "\\x");
  ExpectShortened(label.Caption(), deep + "\\x", label.Font(), list.Width());
  EXPECT_GT(TextWidth(label.Caption(), label.Font()), 60) << label.Caption();
}

TEST_F(DirectoryListBoxTest, LinksAreDroppedWhenTheOtherSideGoes) {
  {
    TFileListBox files;
    files.Create(form, ControlLayout{"FileList", 232, 8, 185, 93, ""});
    list.SetFileList(&files);
    TLabel label;
    label.Create(form, ControlLayout{"Label", 8, 160, 300, 16, ""});
    list.SetDirLabel(&label);
    ASSERT_EQ(list.FileList(), &files);
    ASSERT_EQ(list.DirLabel(), &label);
  }
  EXPECT_EQ(list.FileList(), nullptr);
  EXPECT_EQ(list.DirLabel(), nullptr);
  list.SetCurrentDir(deep);  // nothing left to tell
  EXPECT_EQ(list.CurrentDir(), deep);

  TFileListBox files;
  files.Create(form, ControlLayout{"FileList", 232, 8, 185, 93, ""});
  {
    TDirectoryListBox other;
    other.Create(form, kListLayout);
    other.SetFileList(&files);
    EXPECT_EQ(files.DirList(), &other);
  }
  EXPECT_EQ(files.DirList(), nullptr);
}

// Where each item's glyph lands: drawn into a white bitmap, the first column that is
// not white is the glyph's first opaque column, offset pixels from the left.
int FirstInkColumn(TDirectoryListBox& list, int index) {
  const int width = 200, height = list.ItemHeight();
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(dc, bitmap);
  list.SetColor(RGB(255, 255, 255));
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_LISTBOX;
  item.itemID = static_cast<UINT>(index);
  item.itemAction = ODA_DRAWENTIRE;
  item.hwndItem = list.Handle();
  item.hDC = dc;
  item.rcItem = RECT{0, 0, width, height};
  list.DrawItem(item);
  int found = -1;
  for (int x = 0; x < width && found < 0; ++x) {
    for (int y = 0; y < height; ++y) {
      if (GetPixel(dc, x, y) != RGB(255, 255, 255)) {
        found = x;
        break;
      }
    }
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return found;
}

TEST_F(DirectoryListBoxTest, GlyphsAreIndentedByLevel) {
  list.SetCurrentDir(deep);
  const int levels = BackslashCount(deep) + 1;
  // Every folder glyph leaves its first column transparent.
  // Level n is drawn 2 + 4n pixels from the left; subfolders one level below the current.
  for (int i = 0; i < levels; ++i) EXPECT_EQ(FirstInkColumn(list, i), 3 + 4 * i) << i;
  EXPECT_EQ(FirstInkColumn(list, levels), 3 + 4 * levels);
  EXPECT_EQ(FirstInkColumn(list, levels + 1), 3 + 4 * levels);
  list.SetCurrentDir("C:\\");
  EXPECT_EQ(FirstInkColumn(list, 0), 3);
  EXPECT_EQ(FirstInkColumn(list, 1), 11);
}

}  // namespace
