// What the folder list shows for a folder path, and the file list's masks and program
// names: the parts that need no file system.
#include <gtest/gtest.h>

#include <vector>

#include "folderdlg/FolderItems.h"

namespace {

using Kind = TFolderItemKind;

std::vector<Text> Texts(const std::vector<FolderItem>& items) {
  std::vector<Text> out;
  for (const auto& item : items) out.push_back(item.text);
  return out;
}

std::vector<Kind> Kinds(const std::vector<FolderItem>& items) {
  std::vector<Kind> out;
  for (const auto& item : items) out.push_back(item.kind);
  return out;
}

TEST(FolderPathItems, OneItemPerLevel) {
  const auto items = FolderPathItems("C:\\Program Files\\Tolvar");
  EXPECT_EQ(Texts(items), (std::vector<Text>{"C:\\", "Program Files", "Tolvar"}));
  EXPECT_EQ(Kinds(items), (std::vector<Kind>{Kind::Ancestor, Kind::Ancestor, Kind::Current}));
}

TEST(FolderPathItems, ADriveRootIsTheCurrentItemWhole) {
  const auto items = FolderPathItems("C:\\");
  EXPECT_EQ(Texts(items), (std::vector<Text>{"C:\\"}));
  EXPECT_EQ(Kinds(items), (std::vector<Kind>{Kind::Current}));
  EXPECT_EQ(Texts(FolderPathItems("C:\\a")), (std::vector<Text>{"C:\\", "a"}));
}

TEST(FolderPathItems, NetworkPathsStartWithTheShare) {
  auto items = FolderPathItems("\\\\srv\\pub\\docs");
  EXPECT_EQ(Texts(items), (std::vector<Text>{"\\\\srv\\pub\\", "docs"}));
  EXPECT_EQ(Kinds(items), (std::vector<Kind>{Kind::Ancestor, Kind::Current}));
  EXPECT_EQ(Texts(FolderPathItems("\\\\srv\\pub\\a\\b")), (std::vector<Text>{"\\\\srv\\pub\\", "a", "b"}));
  // At the root of the share the share item stands alone.
  for (const Text& root : {Text("\\\\srv\\pub\\"), Text("\\\\srv\\pub")}) {
    items = FolderPathItems(root);
    EXPECT_EQ(Texts(items), (std::vector<Text>{"\\\\srv\\pub\\"})) << root;
    EXPECT_EQ(Kinds(items), (std::vector<Kind>{Kind::Ancestor})) << root;
  }
}

TEST(FolderPathItems, DoubleByteNamesAreNotCutAtTheirSecondByte) {
  EXPECT_EQ(Texts(FolderPathItems("C:\\表示\\ソ")), (std::vector<Text>{"C:\\", "表示", "ソ"}));
  EXPECT_EQ(Texts(FolderPathItems("C:\\ソ")), (std::vector<Text>{"C:\\", "ソ"}));
}

TEST(PathItemPath, TheFolderBehindEachPathItem) {
  const Text dir = "C:\\Program Files\\Tolvar";
  EXPECT_EQ(PathItemPath(dir, 0), "C:\\");
  EXPECT_EQ(PathItemPath(dir, 1), "C:\\Program Files");
  EXPECT_EQ(PathItemPath(dir, 2), dir);
  EXPECT_EQ(PathItemPath(dir, 7), dir);
  EXPECT_EQ(PathItemPath("\\\\srv\\pub\\a\\b", 0), "\\\\srv\\pub\\");
  EXPECT_EQ(PathItemPath("\\\\srv\\pub\\a\\b", 1), "\\\\srv\\pub\\a");
  EXPECT_EQ(PathItemPath("C:\\表示\\ソ\\x", 1), "C:\\表示");
  EXPECT_EQ(PathItemPath("C:\\表示\\ソ\\x", 2), "C:\\表示\\ソ");
}

TEST(FolderItemOffsets, PathItemsStepRightSubfoldersOneBeyond) {
  EXPECT_EQ(PathItemOffset(0), 2);
  EXPECT_EQ(PathItemOffset(1), 6);
  EXPECT_EQ(PathItemOffset(2), 10);
  EXPECT_EQ(SubfolderOffset("C:\\Program Files\\Tolvar"), 14);
  EXPECT_EQ(SubfolderOffset("C:\\"), 10);
  EXPECT_EQ(SubfolderOffset("C:\\表示"), 10);
}

TEST(FileListLogic, MasksAndProgramNames) {
  EXPECT_EQ(SplitMasks("*.*"), (std::vector<Text>{"*.*"}));
  EXPECT_EQ(SplitMasks("*.txt;*.doc"), (std::vector<Text>{"*.txt", "*.doc"}));
  EXPECT_EQ(SplitMasks("a;;b;"), (std::vector<Text>{"a", "b"}));
  EXPECT_TRUE(SplitMasks("").empty());
  for (const char* name : {"setup.exe", "SETUP.EXE", "a.com", "run.Bat", "x.pif", "表.exe"}) {
    EXPECT_TRUE(IsProgramName(name)) << name;
  }
  for (const char* name : {"readme.txt", "exe", "a.exe.txt", "a.exes", ""}) {
    EXPECT_FALSE(IsProgramName(name)) << name;
  }
}

}  // namespace
