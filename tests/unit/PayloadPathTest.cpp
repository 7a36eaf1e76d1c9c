// Paths of an installation: joining and comparing, with Shift-JIS names whose second
// byte is 0x5C ("ソ" 83 5C, "表" 95 5C).
#include <gtest/gtest.h>

#include "common/PayloadPath.h"

using payload::IsInsideFolder;
using payload::JoinPath;
using payload::NormalizePath;
using payload::SamePath;

TEST(PayloadPathTest, SoAndHyoEndInTheSeparatorByte) {
  // The premise of the tests below: the literals are Shift-JIS.
  const Text so = "ソ";
  const Text hyo = "表";
  ASSERT_EQ(2u, so.size());
  EXPECT_EQ('\x5c', so[1]);
  ASSERT_EQ(2u, hyo.size());
  EXPECT_EQ('\x5c', hyo[1]);
}

TEST(PayloadPathTest, JoinAddsOneSeparator) {
  EXPECT_EQ("C:\\korvani\\update.exe", JoinPath("C:\\korvani", "update.exe"));
  EXPECT_EQ("C:\\korvani\\update.exe", JoinPath("C:\\korvani\\", "update.exe"));
  EXPECT_EQ("C:\\update.exe", JoinPath("C:\\", "update.exe"));
  EXPECT_EQ("C:update.exe", JoinPath("C:", "update.exe"));
  EXPECT_EQ("update.exe", JoinPath("", "update.exe"));
}

TEST(PayloadPathTest, JoinAfterATrailByteAddsTheSeparator) {
  // "ソ" ends in 0x5C, which is not a "\": the separator is still needed.
  EXPECT_EQ("C:\\ソ\\a.exe", JoinPath("C:\\ソ", "a.exe"));
  EXPECT_EQ("C:\\データ表\\a.exe", JoinPath("C:\\データ表", "a.exe"));
}

TEST(PayloadPathTest, NormalizeFoldsAsciiCaseAndSeparators) {
  EXPECT_EQ("C:\\PROGRAM FILES\\TOLVAR\\KORVANI", NormalizePath("c:\\Program Files\\Tolvar\\korvani"));
  EXPECT_EQ("C:\\A\\B", NormalizePath("c:/a//b\\"));
  EXPECT_EQ("C:\\APPS\\UPDATE.EXE", NormalizePath("C:\\apps\\\\update.exe"));
  EXPECT_EQ("C:\\", NormalizePath("c:\\"));
  EXPECT_EQ("C:\\", NormalizePath("c:\\\\"));
  EXPECT_EQ("\\\\SERVER\\SHARE", NormalizePath("\\\\server\\share\\"));
  EXPECT_EQ("A\\B", NormalizePath("a\\\\b"));
}

TEST(PayloadPathTest, NormalizeLeavesDoubleByteCharactersAlone) {
  // A trail byte in the ASCII letter range must not be case-folded, and a 0x5C trail
  // byte must neither be collapsed with a following "\" nor be dropped as trailing.
  const Text path = "C:\\ソ\\表";
  EXPECT_EQ(path, NormalizePath(path));
  EXPECT_EQ("C:\\ソ", NormalizePath("C:\\ソ\\"));
  EXPECT_EQ("C:\\ソ\\A", NormalizePath("C:\\ソ\\\\a"));
  const Text withLowerTrail = "C:\\\x83\x61";  // "ア" is 83 41; 83 61 has a trail "a"
  EXPECT_EQ(withLowerTrail, NormalizePath(withLowerTrail));
}

TEST(PayloadPathTest, SamePath) {
  EXPECT_TRUE(SamePath("C:\\Program Files\\Tolvar\\korvani\\", "c:\\program files\\tolvar\\KORVANI"));
  EXPECT_TRUE(SamePath("C:\\ソ表\\x", "c:\\ソ表\\X"));
  EXPECT_FALSE(SamePath("C:\\ソ", "C:\\ゾ"));
  EXPECT_FALSE(SamePath("C:\\korvani", "C:\\korvani2"));
}

TEST(PayloadPathTest, InsideFolderNeedsASeparatorAfterTheFolder) {
  EXPECT_TRUE(IsInsideFolder("C:\\korvani\\update.exe", "C:\\korvani"));
  EXPECT_TRUE(IsInsideFolder("c:\\KORVANI\\\\update.exe", "C:\\korvani\\"));
  EXPECT_TRUE(IsInsideFolder("C:\\korvani\\bin\\update.exe", "C:\\korvani"));
  EXPECT_TRUE(IsInsideFolder("C:\\update.exe", "C:\\"));
  EXPECT_FALSE(IsInsideFolder("C:\\korvani2\\update.exe", "C:\\korvani"));
  EXPECT_FALSE(IsInsideFolder("C:\\korvani", "C:\\korvani"));
  EXPECT_FALSE(IsInsideFolder("C:\\korvani\\", "C:\\korvani"));
  EXPECT_FALSE(IsInsideFolder("D:\\korvani\\update.exe", "C:\\korvani"));
  EXPECT_FALSE(IsInsideFolder("C:\\korvani\\update.exe", ""));
}

TEST(PayloadPathTest, InsideFolderWithTrailBytes) {
  EXPECT_TRUE(IsInsideFolder("C:\\ソ\\update.exe", "C:\\ソ"));
  // "C:\ソ" is a prefix of "C:\ソフト" byte for byte, but not a folder of it.
  EXPECT_FALSE(IsInsideFolder("C:\\ソフト\\update.exe", "C:\\ソ"));
  // The folder's last byte 0x5C is no separator: "C:\表" does not hold "C:\表x".
  EXPECT_FALSE(IsInsideFolder("C:\\表x", "C:\\表"));
}
