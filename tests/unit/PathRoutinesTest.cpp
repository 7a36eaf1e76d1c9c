// The folder dialog's path routines, on Shift-JIS bytes: joining, shortening to a width,
// counting backslashes, and the case rule that leaves double-byte characters alone.
#include <gtest/gtest.h>

#include <vector>

#include "folderdlg/PathRoutines.h"

namespace {

// One pixel per byte: a width that the tests can work out by hand.
int BytesWide(const Text& text) { return static_cast<int>(text.size()); }

TEST(JoinPath, OneBackslashBetween) {
  EXPECT_EQ(JoinPath("C:\\", "x"), "C:\\x");
  EXPECT_EQ(JoinPath("C:\\a", "x"), "C:\\a\\x");
  EXPECT_EQ(JoinPath("C:\\a\\", "*.*"), "C:\\a\\*.*");
  EXPECT_EQ(JoinPath("", "x"), "\\x");
  // "ソ" ends in the byte 5C; that is not a trailing "\".
  EXPECT_EQ(JoinPath("c:\\ソ", "x"), "c:\\ソ\\x");
  EXPECT_EQ(JoinPath("c:\\表", "x"), "c:\\表\\x");
}

TEST(DropFirstFolder, ReplacesTheFirstFolderByTheMarker) {
  const struct {
    const char* before;
    const char* after;
  } cases[] = {
      {"\\Program Files\\Tolvar\\", "\\...\\Tolvar\\"},
      {"\\...\\Tolvar\\", "\\...\\"},
      {"Program Files\\Tolvar\\", "...\\Tolvar\\"},
      {"...\\", ""},
      {"\\", ""},
      {"\\a", "\\"},  // no backslash after the first folder: nothing is left of it
      // Only the marker "...\" is taken out before a folder is dropped; a first folder
      // whose name begins with "." is dropped as one folder, not cut by four characters.
      {"\\.ab\\x\\y\\", "\\...\\x\\y\\"},
      {"\\.config\\x\\", "\\...\\x\\"},
      {".a\\xyz\\", "...\\xyz\\"},
      {"\\...\\.ab\\x\\", "\\...\\x\\"},  // after the marker, a full-stop folder goes next
      // "表" is 95 5C: its second byte is not the end of the first folder.
      {"\\表示\\ソ\\", "\\...\\ソ\\"},
      {"\\ソ\\b\\", "\\...\\b\\"},
  };
  for (const auto& c : cases) {
    Text s = c.before;
    DropFirstFolder(s);
    EXPECT_EQ(s, c.after) << c.before;
  }
}

TEST(ShortenPath, TheExampleChain) {
  const Text path = "C:\\Program Files\\Tolvar\\korvani";
  // With no room at all every shorter form is tried in turn, down to the name.
  std::vector<Text> tried;
  const Text result = ShortenPath(
      path,
      [&](const Text& text) {
        tried.push_back(text);
        return BytesWide(text);
      },
      0);
  EXPECT_EQ(result, "korvani");
  const std::vector<Text> chain = {"C:\\Program Files\\Tolvar\\korvani", "C:\\...\\Tolvar\\korvani",
                                   "C:\\...\\korvani", "...\\korvani"};
  EXPECT_EQ(tried, chain);
  // Each form is the answer for a width that admits it and none of the longer ones.
  for (const Text& form : chain) EXPECT_EQ(ShortenPath(path, BytesWide, BytesWide(form)), form);
  EXPECT_EQ(ShortenPath(path, BytesWide, BytesWide("C:\\...\\Tolvar\\korvani") - 1), "C:\\...\\korvani");
  EXPECT_EQ(ShortenPath(path, BytesWide, 5), "korvani");
}

TEST(ShortenPath, WhatFitsAndWhatCannotShrink) {
  EXPECT_EQ(ShortenPath("C:\\a\\b", BytesWide, 100), "C:\\a\\b");
  // A name alone is returned whole, however wide.
  EXPECT_EQ(ShortenPath("a-very-long-name.txt", BytesWide, 3), "a-very-long-name.txt");
  EXPECT_EQ(ShortenPath("", BytesWide, 0), "");
  // In a drive root the "\" goes first, then the drive.
  EXPECT_EQ(ShortenPath("C:\\korvani", BytesWide, 9), "C:korvani");
  EXPECT_EQ(ShortenPath("C:\\korvani", BytesWide, 8), "korvani");
  EXPECT_EQ(ShortenPath("C:korvani", BytesWide, 8), "korvani");
}

TEST(ShortenPath, NetworkAndDoubleBytePaths) {
  // The server goes first (the form in between, \...\srv\pub\docs\, is no shorter),
  // then the share, then each folder.
  EXPECT_EQ(ShortenPath("\\\\srv\\pub\\docs\\a.txt", BytesWide, 20), "\\\\srv\\pub\\docs\\a.txt");
  EXPECT_EQ(ShortenPath("\\\\srv\\pub\\docs\\a.txt", BytesWide, 19), "\\...\\pub\\docs\\a.txt");
  EXPECT_EQ(ShortenPath("\\\\srv\\pub\\docs\\a.txt", BytesWide, 18), "\\...\\docs\\a.txt");
  EXPECT_EQ(ShortenPath("\\\\srv\\pub\\docs\\a.txt", BytesWide, 14), "\\...\\a.txt");
  EXPECT_EQ(ShortenPath("\\\\srv\\pub\\docs\\a.txt", BytesWide, 9), "...\\a.txt");
  EXPECT_EQ(ShortenPath("\\\\srv\\pub\\docs\\a.txt", BytesWide, 6), "a.txt");
  // C:\表示\ソ\名前: the 5C bytes inside 表 and ソ are not separators.
  const Text path = "C:\\表示\\ソ\\名前";
  EXPECT_EQ(ShortenPath(path, BytesWide, BytesWide(path) - 1), "C:\\...\\ソ\\名前");
  EXPECT_EQ(ShortenPath(path, BytesWide, 12), "C:\\...\\名前");
}

TEST(BackslashCount, CountsOnlyRealSeparators) {
  EXPECT_EQ(BackslashCount(""), 0);
  EXPECT_EQ(BackslashCount("C:\\"), 1);
  EXPECT_EQ(BackslashCount("C:\\Program Files\\Tolvar"), 2);
  EXPECT_EQ(BackslashCount("\\\\srv\\pub\\docs"), 4);
  // 表 (95 5C) and ソ (83 5C) each hold a 5C byte that is not a "\".
  ASSERT_EQ(Text("表"), "\x95\x5c");
  EXPECT_EQ(BackslashCount("C:\\表示\\ソ"), 2);
  EXPECT_EQ(BackslashCount("表ソ"), 0);
}

TEST(PathRoutines, CharactersAndBackslashesStepOverDoubleBytes) {
  EXPECT_EQ(CharCount("C:\\表示"), 5u);
  EXPECT_EQ(CharsToBytes("表示ab", 2), 4u);
  EXPECT_EQ(CharsToBytes("ab", 5), 2u);
  EXPECT_EQ(FindBackslash("表\\x"), 2u);
  EXPECT_EQ(FindBackslash("ソ"), Text::npos);
  EXPECT_EQ(FindBackslash("a\\b\\c", 2), 3u);
}

TEST(PathRoutines, AsciiCaseLeavesDoubleByteCharactersAlone) {
  EXPECT_EQ(AsciiLowerCase("C:\\Program Files\\DATA"), "c:\\program files\\data");
  EXPECT_EQ(AsciiUpperCase("c:\\data"), "C:\\DATA");
  // "ア" is 83 41 and "ヂ" 83 61: a trail byte that looks like "A" or "a" stays.
  ASSERT_EQ(Text("ア"), "\x83\x41");
  EXPECT_EQ(AsciiLowerCase("アA"), "アa");
  EXPECT_EQ(AsciiUpperCase("ヂa"), "ヂA");
}

}  // namespace
