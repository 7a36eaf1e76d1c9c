// The uninstaller's decisions: what it plans to remove, its command line, its texts.
#include <gtest/gtest.h>

#include <string>

#include "common/Product.h"
#include "uninst/UninstallPlan.h"

using namespace uninst;

namespace {

bool Contains(const Text& text, const Text& part) { return text.find(part) != Text::npos; }

}  // namespace

TEST(UninstallPlanTest, PlansTheFiveFilesWithItsOwnLast) {
  const RemovalPlan plan = MakeRemovalPlan("C:\\Tolvar\\korvani", "P", "D");
  EXPECT_EQ(std::vector<Text>({"C:\\Tolvar\\korvani\\update.exe", "C:\\Tolvar\\korvani\\korvani.cnt",
                               "C:\\Tolvar\\korvani\\korvani.exe", "C:\\Tolvar\\korvani\\KORVANI.HLP",
                               "C:\\Tolvar\\korvani\\UnInst.exe"}),
            plan.files);
  EXPECT_EQ("C:\\Tolvar\\korvani", plan.installFolder);
}

TEST(UninstallPlanTest, PlansTheShortcutsTheInstallerMakes) {
  const RemovalPlan plan =
      MakeRemovalPlan("C:\\k", "C:\\Users\\u\\Start Menu\\Programs", "C:\\Users\\u\\Desktop");
  EXPECT_EQ("C:\\Users\\u\\Start Menu\\Programs\\コルヴァニ", plan.startMenuFolder);
  const Text menu = "C:\\Users\\u\\Start Menu\\Programs\\コルヴァニ\\コルヴァニ　領収書発行";
  EXPECT_EQ(std::vector<Text>({menu + ".lnk", menu + "起動.lnk", menu + "アンインストール.lnk"}),
            plan.startMenuLinks);
  EXPECT_EQ("C:\\Users\\u\\Desktop\\コルヴァニ　領収書発行.lnk", plan.desktopLink);
}

TEST(UninstallPlanTest, UnknownSpecialFoldersPlanNothingThere) {
  const RemovalPlan plan = MakeRemovalPlan("C:\\k", "", "");
  EXPECT_TRUE(plan.startMenuFolder.empty());
  EXPECT_TRUE(plan.startMenuLinks.empty());
  EXPECT_TRUE(plan.desktopLink.empty());
  EXPECT_EQ(5u, plan.files.size());
}

TEST(UninstallPlanTest, FolderEndingInSeparatorGivesSinglePaths) {
  const RemovalPlan plan = MakeRemovalPlan("C:\\apps\\", "P\\", "D");
  EXPECT_EQ("C:\\apps\\UnInst.exe", plan.files.back());
  EXPECT_EQ("P\\コルヴァニ", plan.startMenuFolder);
}

TEST(UninstallPlanTest, DesktopLinkBelongsOnlyWhenItPointsIntoTheFolder) {
  EXPECT_TRUE(DesktopLinkBelongs("C:\\Program Files\\Tolvar\\korvani\\update.exe",
                                 "c:\\program files\\tolvar\\korvani"));
  // What the installer writes when the folder was typed with a trailing "\".
  EXPECT_TRUE(DesktopLinkBelongs("C:\\apps\\\\update.exe", "C:\\apps"));
  EXPECT_TRUE(DesktopLinkBelongs("C:\\ソフト表\\update.exe", "C:\\ソフト表"));
  EXPECT_FALSE(DesktopLinkBelongs("C:\\other\\update.exe", "C:\\Program Files\\Tolvar\\korvani"));
  EXPECT_FALSE(DesktopLinkBelongs("C:\\korvani2\\update.exe", "C:\\korvani"));
  EXPECT_FALSE(DesktopLinkBelongs("", "C:\\korvani"));
}

TEST(UninstallPlanTest, SplitArgumentsHonoursQuotesWithoutEscapes) {
  const std::vector<Text> args =
      SplitArguments("\"C:\\Temp\\u 1.exe\" /remove \"C:\\apps\\\" /parent 12");
  EXPECT_EQ(std::vector<Text>({"C:\\Temp\\u 1.exe", "/remove", "C:\\apps\\", "/parent", "12"}), args);
  EXPECT_EQ(std::vector<Text>({"a", "", "b"}), SplitArguments("  a \"\"\tb  "));
  EXPECT_TRUE(SplitArguments("   ").empty());
}

TEST(UninstallPlanTest, CommandLineRoundTripsThroughTheParser) {
  const Text folder = "C:\\Program Files\\ソフト表\\";
  const Text line = RemoverCommandLine("C:\\Temp\\korvani-uninst-7-0.exe", folder, 1234);
  std::vector<Text> args = SplitArguments(line);
  ASSERT_FALSE(args.empty());
  EXPECT_EQ("C:\\Temp\\korvani-uninst-7-0.exe", args[0]);
  args.erase(args.begin());
  const Request request = ParseArguments(args);
  EXPECT_EQ(Request::Mode::Remove, request.mode);
  EXPECT_EQ(folder, request.folder);
  EXPECT_EQ(1234u, request.parent);
}

TEST(UninstallPlanTest, NoSwitchAsksTheUser) {
  EXPECT_EQ(Request::Mode::Ask, ParseArguments({}).mode);
  // The rest of an unquoted program path with a blank in it is not a switch.
  EXPECT_EQ(Request::Mode::Ask, ParseArguments({"Files\\Tolvar\\korvani\\UnInst.exe"}).mode);
}

TEST(UninstallPlanTest, RemoveWithoutParentAndInAnyCase) {
  const Request request = ParseArguments({"-REMOVE", "C:\\k"});
  EXPECT_EQ(Request::Mode::Remove, request.mode);
  EXPECT_EQ("C:\\k", request.folder);
  EXPECT_EQ(0u, request.parent);
}

TEST(UninstallPlanTest, BadCommandLinesAreInvalid) {
  EXPECT_EQ(Request::Mode::Invalid, ParseArguments({"/S"}).mode);
  EXPECT_EQ(Request::Mode::Invalid, ParseArguments({"/remove"}).mode);
  EXPECT_EQ(Request::Mode::Invalid, ParseArguments({"/remove", ""}).mode);
  EXPECT_EQ(Request::Mode::Invalid, ParseArguments({"/remove", "C:\\k", "/parent"}).mode);
  EXPECT_EQ(Request::Mode::Invalid, ParseArguments({"/remove", "C:\\k", "/parent", "x1"}).mode);
  EXPECT_EQ(Request::Mode::Invalid, ParseArguments({"/remove", "C:\\k", "extra"}).mode);
}

TEST(UninstallPlanTest, QuestionNamesTheFolderAndWhatGoes) {
  const Text q = QuestionText("C:\\ソフト表\\korvani");
  EXPECT_TRUE(Contains(q, "C:\\ソフト表\\korvani"));
  EXPECT_TRUE(Contains(q, product::kName));
  EXPECT_TRUE(Contains(q, "アンインストールしますか"));
  EXPECT_TRUE(Contains(q, "「コルヴァニ」"));
}

TEST(UninstallPlanTest, ReportOfACompleteRemovalSaysSo) {
  Outcome outcome;
  outcome.removed = 11;
  EXPECT_EQ(Text(product::kName) + "をアンインストールしました。", ReportText(outcome));
  EXPECT_EQ(0, ExitCodeFor(outcome));
}

TEST(UninstallPlanTest, ReportWithFailuresNeverClaimsSuccess) {
  Outcome outcome;
  outcome.removed = 9;
  outcome.failed.push_back({"C:\\k\\korvani.cnt", kErrorSharingViolation});
  outcome.failed.push_back({"HKEY_LOCAL_MACHINE\\Software\\x", kErrorAccessDenied});
  const Text text = ReportText(outcome);
  EXPECT_FALSE(Contains(text, "アンインストールしました"));
  EXPECT_TRUE(Contains(text, "削除できませんでした"));
  EXPECT_TRUE(Contains(text, "C:\\k\\korvani.cnt\r\n    (ほかのプログラムが使用中です)"));
  EXPECT_TRUE(Contains(text, "HKEY_LOCAL_MACHINE\\Software\\x\r\n    (アクセスが拒否されました)"));
  EXPECT_EQ(2, ExitCodeFor(outcome));
}

TEST(UninstallPlanTest, ReportListsWhatWasKeptOnPurpose) {
  Outcome outcome;
  outcome.kept.push_back({"C:\\Users\\u\\Desktop\\x.lnk", "ほかのフォルダーのプログラムを指しています"});
  const Text text = ReportText(outcome);
  EXPECT_TRUE(Contains(text, "アンインストールしました"));
  EXPECT_TRUE(Contains(text, "残しました"));
  EXPECT_TRUE(Contains(text, "C:\\Users\\u\\Desktop\\x.lnk\r\n    (ほかのフォルダーのプログラムを指しています)"));
  EXPECT_EQ(0, ExitCodeFor(outcome));
}

TEST(UninstallPlanTest, ReasonTexts) {
  EXPECT_EQ("ほかのプログラムが使用中です", ReasonText(kErrorSharingViolation));
  EXPECT_EQ("ほかのプログラムが使用中です", ReasonText(kErrorLockViolation));
  EXPECT_EQ("アクセスが拒否されました", ReasonText(kErrorAccessDenied));
  EXPECT_EQ("フォルダーが空ではありません", ReasonText(kErrorDirNotEmpty));
  EXPECT_EQ("エラー 1234", ReasonText(1234));
}
