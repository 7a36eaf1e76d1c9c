// The folder services on the real (Wine) file system.
#include <gtest/gtest.h>

#include "ExpectThrow.h"
#include "TempFolder.h"
#include "base/Exceptions.h"
#include "app/Folders.h"
#include "app/PathText.h"

namespace {

TEST(Folders, FolderExistsAndIsExistingFile) {
  TempFolder temp;
  ASSERT_TRUE(WriteTestFile(temp / "file.txt", "x"));
  EXPECT_TRUE(FolderExists(temp.Path()));
  EXPECT_TRUE(FolderExists(temp.Path() + "\\"));
  EXPECT_TRUE(FolderExists("c:\\"));
  EXPECT_FALSE(FolderExists(""));
  EXPECT_FALSE(FolderExists(temp / "file.txt"));
  EXPECT_FALSE(FolderExists(temp / "missing"));
  EXPECT_TRUE(IsExistingFile(temp / "file.txt"));
  EXPECT_FALSE(IsExistingFile(temp.Path()));
  EXPECT_FALSE(IsExistingFile(temp / "missing"));

  // A file whose last-write time lies before 1980 has no DOS date.
  const Text old = temp / "old.txt";
  ASSERT_TRUE(WriteTestFile(old, "x"));
  HANDLE h = CreateFileA(old.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  SYSTEMTIME st{};
  st.wYear = 1975; st.wMonth = 6; st.wDay = 1; st.wHour = 12;
  FILETIME ft;
  SystemTimeToFileTime(&st, &ft);
  ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &ft));
  CloseHandle(h);
  EXPECT_FALSE(IsExistingFile(old));
}

TEST(Folders, MakeFolderPathCreatesFromTheOutsideIn) {
  TempFolder temp;
  const Text deep = temp / "Tolvar\\korvani\\";
  EXPECT_TRUE(MakeFolderPath(deep));
  EXPECT_TRUE(FolderExists(temp / "Tolvar"));
  EXPECT_TRUE(FolderExists(temp / "Tolvar\\korvani"));
  // A second call finds it and creates nothing.
  EXPECT_TRUE(MakeFolderPath(deep));
  EXPECT_FALSE(MakeFolder(temp / "Tolvar"));  // exists already

  // A level that exists as a file: false, the outer folders stay.
  ASSERT_TRUE(MakeFolderPath(temp / "b\\c"));
  ASSERT_TRUE(WriteTestFile(temp / "b\\c\\blocker", "x"));
  EXPECT_FALSE(MakeFolderPath(temp / "b\\c\\blocker\\d"));
  EXPECT_TRUE(FolderExists(temp / "b\\c"));
  EXPECT_FALSE(FolderExists(temp / "b\\c\\blocker\\d"));

  // A folder whose name ends in "ソ" (83 5C): that byte is not a trailing "\".
  EXPECT_TRUE(MakeFolderPath(temp / "表示\\ソ"));
  EXPECT_TRUE(FolderExists(temp / "表示\\ソ"));
}

TEST(Folders, MakeFolderPathOnShortEmptyAndRelativePaths) {
  ExpectThrowWithMessage<Exception>([] { MakeFolderPath(""); }, "ディレクトリを作成することができません");
  EXPECT_TRUE(MakeFolderPath("x"));
  EXPECT_TRUE(MakeFolderPath("xy"));
  EXPECT_FALSE(FolderExists("xy"));

  // A relative path whose first component (3 bytes or more) is missing reaches the
  // empty text and throws.
  TempFolder temp;
  const Text saved = CurrentFolder(0);
  ChangeFolder(temp.Path());
  EXPECT_THROW(MakeFolderPath("abc\\def"), Exception);
  EXPECT_FALSE(FolderExists(temp / "abc"));
  ChangeFolder(saved);
}

TEST(Folders, ChangeFolderAndCurrentFolder) {
  TempFolder temp;
  const Text saved = CurrentFolder(0);
  ChangeFolder(temp.Path());
  EXPECT_EQ(CompareTextNoCase(CurrentFolder(0), temp.Path()), 0);
  // The current folder of drive C is this one too; reading it changes nothing.
  EXPECT_EQ(CompareTextNoCase(CurrentFolder(3), temp.Path()), 0);
  EXPECT_EQ(CompareTextNoCase(CurrentFolder(0), temp.Path()), 0);
  try {
    ChangeFolder(temp / "missing");
    ADD_FAILURE() << "no exception";
  } catch (const EInOutError& e) {
    EXPECT_TRUE(e.SystemCode == 2 || e.SystemCode == 3) << e.SystemCode;
    EXPECT_EQ(e.Message(), e.SystemCode == 2 ? "ファイルが見つかりません" : "不正なファイル名です");
  }
  EXPECT_EQ(CompareTextNoCase(CurrentFolder(0), temp.Path()), 0) << "unchanged after a failure";
  ChangeFolder(saved);
}

TEST(Folders, CompareTextNoCaseAndExecutablePath) {
  EXPECT_EQ(CompareTextNoCase("c:\\Program Files", "C:\\PROGRAM FILES"), 0);
  EXPECT_LT(CompareTextNoCase("a", "b"), 0);
  EXPECT_GT(CompareTextNoCase("b", "A"), 0);
  const Text exe = ExecutablePath();
  EXPECT_EQ(NamePart(exe), "win_tests.exe");
  EXPECT_EQ(FolderPrefix(exe).back(), '\\');
  EXPECT_TRUE(FolderExists(FolderPrefix(exe)));
}

}  // namespace
