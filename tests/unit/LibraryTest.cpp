// The text object's placeholder replacement, as the setup dialog's title uses it.
#include <gtest/gtest.h>

#include "setup/Library.h"

namespace {

TEST(Library, ReplaceFirst) {
  TLibrary library;
  Text title = "TITLE セットアッププログラム";
  EXPECT_TRUE(library.ReplaceFirst(title, "TITLE", "コルヴァニ　領収書発行"));
  EXPECT_EQ(title, "コルヴァニ　領収書発行 セットアッププログラム");

  Text two = "TITLE and TITLE";
  EXPECT_TRUE(library.ReplaceFirst(two, "TITLE", "x"));
  EXPECT_EQ(two, "x and TITLE") << "only the first one";

  Text none = "no placeholder";
  EXPECT_FALSE(library.ReplaceFirst(none, "TITLE", "x"));
  EXPECT_EQ(none, "no placeholder");

  // Plain byte comparison: "\" matches the second byte of "ソ" (83 5C) too.
  Text bytes = "ソ\\";
  EXPECT_TRUE(library.ReplaceFirst(bytes, "\\", "/"));
  EXPECT_EQ(bytes, "\x83/\\");
}

}  // namespace
