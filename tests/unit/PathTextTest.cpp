// Path splitting and the exception-box text rule, on Shift-JIS bytes.
#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "app/PathText.h"

namespace {

struct SplitCase {
  const char* path;
  const char* prefix;
  const char* containing;
};

TEST(PathText, FolderPrefixAndContainingFolderTable) {
  const SplitCase cases[] = {
      {"c:\\a\\b.txt", "c:\\a\\", "c:\\a"},
      {"c:\\b.txt", "c:\\", "c:\\"},
      {"c:b.txt", "c:", "c:"},
      {"b.txt", "", ""},
      {"\\\\server\\share\\b.txt", "\\\\server\\share\\", "\\\\server\\share"},
      {"a\\\\b.txt", "a\\\\", "a\\\\"},
      {"", "", ""},
      {"\\", "\\", "\\"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FolderPrefix(c.path), c.prefix) << c.path;
    EXPECT_EQ(ContainingFolder(c.path), c.containing) << c.path;
  }
}

TEST(PathText, DoubleByteTrailBackslashIsNotADelimiter) {
  // "ソ" is 83 5C and "表" is 95 5C in Shift-JIS.
  ASSERT_EQ(Text("ソ"), "\x83\x5c");
  EXPECT_EQ(FolderPrefix("c:\\ソ"), "c:\\");
  EXPECT_EQ(ContainingFolder("c:\\ソ"), "c:\\");
  EXPECT_EQ(NamePart("c:\\ソ"), "ソ");
  EXPECT_EQ(FolderPrefix("c:\\表示\\ソ.txt"), "c:\\表示\\");
  EXPECT_EQ(ContainingFolder("c:\\表示\\ソ.txt"), "c:\\表示");
  EXPECT_EQ(FolderPrefix("ソソ"), "");
  // A folder whose name ends in "ソ": its trail byte before the real "\" is not taken
  // for a doubled separator.
  EXPECT_EQ(ContainingFolder("c:\\ソ\\x"), "c:\\ソ");
  // The parity of the run of lead bytes decides: after 83 83 (one character) the 5C is
  // a real "\"; after 83 83 83 it is the second byte of a character.
  EXPECT_EQ(FolderPrefix("\x83\x83\\x"), "\x83\x83\\");
  EXPECT_EQ(FolderPrefix("c:\x83\x83\x83\\x"), "c:");
}

TEST(PathText, DrivePartAndNamePart) {
  EXPECT_EQ(DrivePart("c:\\a\\b.txt"), "c:");
  EXPECT_EQ(DrivePart("c:"), "c:");
  EXPECT_EQ(DrivePart("\\\\server\\share\\a\\b.txt"), "\\\\server\\share");
  EXPECT_EQ(DrivePart("\\\\server\\share"), "\\\\server\\share");
  EXPECT_EQ(DrivePart("\\\\server\\share\\"), "\\\\server\\share");
  EXPECT_EQ(DrivePart("\\\\server"), "\\\\server");
  EXPECT_EQ(DrivePart("a\\b.txt"), "");
  EXPECT_EQ(DrivePart("\\a"), "");
  EXPECT_EQ(DrivePart(""), "");
  EXPECT_EQ(NamePart("c:\\a\\b.txt"), "b.txt");
  EXPECT_EQ(NamePart("c:b.txt"), "b.txt");
  EXPECT_EQ(NamePart("b.txt"), "b.txt");
  EXPECT_EQ(NamePart("c:\\a\\"), "");
}

// Full paths name one place; relative ones depend on the current folder (of the process
// or of a drive) and on the current drive.
TEST(PathText, FullAndRelativePaths) {
  for (const char* full : {"c:\\", "C:\\Program Files\\Tolvar\\korvani", "z:\\a\\", "c:/apps",
                           "\\\\server\\share", "\\\\server\\share\\korvani", "//server/share",
                           "c:\\..\\x"}) {
    EXPECT_TRUE(IsFullPath(full)) << full;
  }
  for (const char* relative : {"", " ", "korvani", "..\\x", ".\\x", "c:", "c:korvani", "\\xyz", "\\",
                               "/xyz", "\\\\", "\\\\server", "\\\\server\\", " c:\\x", "1:\\x"}) {
    EXPECT_FALSE(IsFullPath(relative)) << relative;
  }
  // The second byte of "表" (95 5C) and of "ソ" (83 5C) is no separator: \\表\x is a
  // server and a share, \\表 is a server alone, and neither "表:" nor "ソ\" is a drive.
  EXPECT_TRUE(IsFullPath("\\\\表\\x"));
  EXPECT_TRUE(IsFullPath("\\\\サーバ\\表"));
  EXPECT_FALSE(IsFullPath("\\\\表"));
  EXPECT_FALSE(IsFullPath("\\\\ソ\\"));
  EXPECT_FALSE(IsFullPath("表:\\x"));
  EXPECT_FALSE(IsFullPath("ソ\\x"));
}

TEST(ExceptionBox, FinalFullStopRule) {
  EXPECT_EQ(ExceptionBoxText(""), "");
  EXPECT_EQ(ExceptionBoxText("ends."), "ends.");
  EXPECT_EQ(ExceptionBoxText("ends!"), "ends!");
  EXPECT_EQ(ExceptionBoxText("ends)"), "ends)");
  EXPECT_EQ(ExceptionBoxText("ends "), "ends ");
  EXPECT_EQ(ExceptionBoxText("ends/"), "ends/.");
  EXPECT_EQ(ExceptionBoxText("code 7"), "code 7.");
  EXPECT_EQ(ExceptionBoxText("ディレクトリを作成することができません"),
            "ディレクトリを作成することができません.");
  // "ソ" ends in 0x5C, "ー" (81 5B) in a byte above "."; "｡" would be single-byte 0xA1.
  EXPECT_EQ(ExceptionBoxText("ソ"), "ソ.");
  // A double-byte character whose trail byte is low, such as "＠" (81 97) or "、"
  // (81 41): still a character above ".".
  EXPECT_EQ(ExceptionBoxText("a\x81\x2e"), "a\x81\x2e.");
}

TEST(ExceptionBox, InOutErrorTexts) {
  EXPECT_EQ(EInOutError(2).Message(), "ファイルが見つかりません");
  EXPECT_EQ(EInOutError(3).Message(), "不正なファイル名です");
  EXPECT_EQ(EInOutError(21).Message(), "I/O エラー (21)");
  EXPECT_EQ(EInOutError(21).SystemCode, 21);
  EXPECT_EQ(EInOutError(106).Message(), "入力値が数値ではありません");
}

}  // namespace
