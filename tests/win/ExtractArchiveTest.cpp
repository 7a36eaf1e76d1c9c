// The extraction driver on archives made by the packer's encoder: files, folders, the
// progress bar's positions, the label, terminator entries, and every way an archive or
// a target can fail, which must never count as an installed file.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

#include "ArchiveBuilder.h"
#include "BoxWatcher.h"
#include "TempFolder.h"
#include "app/Folders.h"
#include "archive/CompressForm.h"
#include "ui/Application.h"

namespace {

// Records what the window shows after each file.
class TRecordingCompressForm : public TCompressForm {
 public:
  struct Step {
    Text label;
    int position;
    int maximum;
    bool visible;
  };
  std::vector<Step> steps;

 protected:
  void EntryWritten() override {
    TCompressForm::EntryWritten();
    steps.push_back({Label1.Caption(), AllBar.Position(), AllBar.Max(), Visible()});
  }
};

Text WriteArchive(const TempFolder& temp, const TestArchive& archive, const char* name = "work.tmp") {
  const Text path = temp / name;
  EXPECT_TRUE(WriteTestFile(path, archive.bytes));
  return path;
}

TEST(ExtractArchive, WritesEveryFileAndMovesTheBarByArchiveOffsets) {
  TempFolder temp;
  const std::vector<TestEntry> entries = {
      {"UnInst.exe", SampleContent(70000, 1)},
      {"sub\\データ.txt", SampleContent(5000, 2)},
      {"korvani.exe", SampleContent(130000, 3)},
  };
  const TestArchive archive = BuildArchive(entries);
  const Text path = WriteArchive(temp, archive);
  const Text folder = temp / "inst\\korvani";
  ASSERT_TRUE(MakeFolderPath(folder));

  TRecordingCompressForm form;
  EXPECT_EQ(form.ExtractArchive(path, folder), 3);
  EXPECT_FALSE(form.Visible()) << "hidden again at the end";
  ASSERT_EQ(form.steps.size(), 3u);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(form.steps[i].label, folder + "\\" + entries[i].name);
    EXPECT_EQ(form.steps[i].position, static_cast<int>(archive.ends[i]));
    EXPECT_EQ(form.steps[i].maximum, static_cast<int>(archive.bytes.size()));
    EXPECT_TRUE(form.steps[i].visible);
    EXPECT_EQ(ReadTestFile(folder + "\\" + entries[i].name), entries[i].content) << i;
  }
  EXPECT_EQ(form.steps.back().position, form.steps.back().maximum) << "full after the last file";
  EXPECT_TRUE(FolderExists(folder + "\\sub"));
  EXPECT_FALSE(form.FileBar.Visible());

  // Again into the same folder: existing files are replaced, never written into. A
  // hard link there to a file elsewhere (no link that a reparse point or a real path
  // shows) stays that file's own.
  ASSERT_TRUE(WriteTestFile(folder + "\\UnInst.exe", "old and longer than nothing at all"));
  const Text elsewhere = temp / "elsewhere.txt";
  ASSERT_TRUE(WriteTestFile(elsewhere, "someone else's"));
  ASSERT_TRUE(DeleteFileA((folder + "\\korvani.exe").c_str()));
  ASSERT_TRUE(CreateHardLinkA((folder + "\\korvani.exe").c_str(), elsewhere.c_str(), nullptr));
  TRecordingCompressForm again;
  EXPECT_EQ(again.ExtractArchive(path, folder), 3);
  EXPECT_EQ(ReadTestFile(folder + "\\UnInst.exe"), entries[0].content);
  EXPECT_EQ(ReadTestFile(folder + "\\korvani.exe"), entries[2].content);
  EXPECT_TRUE(ReadTestFile(elsewhere) == "someone else's") << "written through the hard link";
}

TEST(ExtractArchive, AFolderEndingInABackslashDoublesTheSeparator) {
  TempFolder temp;
  const TestArchive archive = BuildArchive({{"a.txt", "aaaa"}});
  const Text path = WriteArchive(temp, archive);
  const Text folder = temp.Path() + "\\";
  TRecordingCompressForm form;
  EXPECT_EQ(form.ExtractArchive(path, folder), 1);
  ASSERT_EQ(form.steps.size(), 1u);
  EXPECT_EQ(form.steps[0].label, temp.Path() + "\\\\a.txt");
  EXPECT_EQ(ReadTestFile(temp / "a.txt"), "aaaa");
}

TEST(ExtractArchive, TerminatorEntriesEndTheArchive) {
  TempFolder temp;
  {
    // A terminator with a name leaves an empty file, uncounted; later entries unread.
    const TestArchive archive = BuildArchive(
        {{"one.txt", "first"}, {"stop.txt", "", 0}, {"never.txt", "never written"}});
    TRecordingCompressForm form;
    EXPECT_EQ(form.ExtractArchive(WriteArchive(temp, archive), temp / "out1"), 1);
    EXPECT_EQ(ReadTestFile(temp / "out1\\one.txt"), "first");
    EXPECT_TRUE(IsExistingFile(temp / "out1\\stop.txt"));
    EXPECT_EQ(ReadTestFile(temp / "out1\\stop.txt"), "");
    EXPECT_FALSE(IsExistingFile(temp / "out1\\never.txt"));
  }
  {
    // Without a name: nothing is created.
    const TestArchive archive = BuildArchive({{"", "", 0}, {"never.txt", "x"}});
    TRecordingCompressForm form;
    EXPECT_EQ(form.ExtractArchive(WriteArchive(temp, archive), temp / "out2"), 0);
    EXPECT_FALSE(IsExistingFile(temp / "out2\\never.txt"));
  }
  {
    // An empty archive: shown and hidden, nothing written. A missing one: 0.
    TRecordingCompressForm form;
    EXPECT_EQ(form.ExtractArchive(WriteArchive(temp, TestArchive{}), temp / "out3"), 0);
    EXPECT_EQ(form.ExtractArchive(temp / "missing.tmp", temp / "out3"), 0);
    EXPECT_FALSE(form.Visible());
  }
}

// Whether `window` stands above `other` in the order of the top-level windows.
bool IsAbove(HWND window, HWND other) {
  for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
    if (w == window) return true;
    if (w == other) return false;
  }
  return false;
}

TEST(ExtractArchive, AFolderFailureAtTheThirdEntryReportsAndReturnsZero) {
  TempFolder temp;
  const Text folder = temp / "inst";
  ASSERT_TRUE(MakeFolderPath(folder));
  ASSERT_TRUE(WriteTestFile(folder + "\\blocker", "a file where a folder should be"));
  const TestArchive archive =
      BuildArchive({{"a.txt", "aaa"}, {"b.txt", "bbb"}, {"blocker\\c.txt", "ccc"}});
  TRecordingCompressForm form;
  std::atomic<int> progressShown{-1}, boxAbove{-1};
  BoxWatcher watcher({"TMessageForm", "#32770"}, [&](HWND box, const SeenWindow& seen) {
    // The message comes first, while the stay-on-top progress window is still up, and
    // stands above it.
    progressShown = IsWindowVisible(form.Handle()) ? 1 : 0;
    boxAbove = IsAbove(box, form.Handle()) ? 1 : 0;
    PressOk(box, seen);
  });
  EXPECT_EQ(form.ExtractArchive(WriteArchive(temp, archive), folder), 0);
  EXPECT_EQ(ReadTestFile(folder + "\\a.txt"), "aaa") << "earlier files stay";
  EXPECT_EQ(ReadTestFile(folder + "\\b.txt"), "bbb");
  EXPECT_FALSE(form.Visible());
  const auto seen = watcher.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "コルヴァニ　領収書発行セットアップ");
  EXPECT_EQ(seen[0].text, "ディレクトリを作成できませんでした");
  EXPECT_EQ(progressShown, 1) << "the box is shown before the window is hidden";
  EXPECT_EQ(boxAbove, 1) << "the box is not hidden behind the stay-on-top progress window";
}

// Where the file system is to report a read error, for the reader's block call.
std::uint64_t readErrorAt = 0;

std::size_t ReadFailingAt(std::FILE* file, void* buffer, std::size_t count, bool& failed) {
  const long at = std::ftell(file);
  if (at < 0 || static_cast<std::uint64_t>(at) >= readErrorAt) {
    failed = true;
    return 0;
  }
  const std::uint64_t before = readErrorAt - static_cast<std::uint64_t>(at);
  return archive::FileReader::ReadBlockFromFile(
      file, buffer, static_cast<std::size_t>(std::min<std::uint64_t>(count, before)), failed);
}

TEST(ExtractArchive, AReadErrorAtAnEntryBoundaryIsNotTheEndOfTheArchive) {
  TempFolder temp;
  const TestArchive archive =
      BuildArchive({{"a.txt", SampleContent(3000, 6)}, {"b.txt", SampleContent(2000, 7)}});
  const Text path = WriteArchive(temp, archive);
  TRecordingCompressForm whole;
  ASSERT_EQ(whole.ExtractArchive(path, temp / "whole"), 2);

  struct ReadCallSwap {
    archive::FileReader::BlockReadCall saved = archive::FileReader::ReadBlock;
    ReadCallSwap() { archive::FileReader::ReadBlock = &ReadFailingAt; }
    ~ReadCallSwap() { archive::FileReader::ReadBlock = saved; }
  } swap;
  readErrorAt = archive.ends[0];  // where the second entry starts
  TRecordingCompressForm form;
  EXPECT_EQ(form.ExtractArchive(path, temp / "out"), 0) << "a read error is no end of the archive";
  EXPECT_EQ(form.steps.size(), 1u) << "the first file was written before the error";
  EXPECT_FALSE(form.Visible());
}

TEST(ExtractArchive, HostileNamesAreNeverWrittenOutsideTheFolder) {
  TempFolder temp;
  const Text folder = temp / "inst\\deep";
  ASSERT_TRUE(MakeFolderPath(folder));
  const Text rooted = "\\" + temp.Path().substr(3) + "\\rooted.txt";  // "\...\rooted.txt"
  const std::vector<Text> names = {"..\\escaped.txt", "sub\\..\\..\\escaped.txt", rooted,
                                   temp / "absolute.txt", "c:escaped.txt", "./escaped.txt",
                                   // devices would take the bytes
                                   "NUL.txt", "devices\\com1", "Aux"};
  for (const Text& name : names) {
    const TestArchive archive = BuildArchive({{"fine.txt", "ok"}, {name, "evil"}});
    TRecordingCompressForm form;
    EXPECT_EQ(form.ExtractArchive(WriteArchive(temp, archive), folder), 0) << name;
  }
  for (const Text& outside : {temp / "inst\\escaped.txt", temp / "escaped.txt", temp / "rooted.txt",
                              temp / "absolute.txt", folder + "\\escaped.txt"}) {
    EXPECT_FALSE(IsExistingFile(outside)) << outside;
  }
  EXPECT_FALSE(FolderExists(folder + "\\devices")) << "nothing is made for a refused name";
  // "ソ" ends in the byte of "\": a name with it stays inside.
  const TestArchive archive = BuildArchive({{"ソフト\\表.txt", "fine"}});
  TRecordingCompressForm form;
  EXPECT_EQ(form.ExtractArchive(WriteArchive(temp, archive), folder), 1);
  EXPECT_EQ(ReadTestFile(folder + "\\ソフト\\表.txt"), "fine");
}

TEST(ExtractArchive, ArchivesCutShortAreFailures) {
  TempFolder temp;
  const TestArchive whole =
      BuildArchive({{"a.txt", SampleContent(3000, 4)}, {"b.txt", SampleContent(9000, 5)}});
  const std::uint64_t secondStart = whole.ends[0];
  const std::uint64_t secondHeader = 1 + 5 + 4;
  const struct {
    std::uint64_t cut;
    const char* what;
  } cuts[] = {
      {secondStart + 3, "inside the second name"},
      {secondStart + secondHeader - 2, "inside the second size"},
      {secondStart + secondHeader + 10, "inside the second stream"},
      {whole.bytes.size() - 1, "one byte short"},
  };
  for (const auto& cut : cuts) {
    TestArchive shorter = whole;
    shorter.bytes.resize(cut.cut);
    TRecordingCompressForm form;
    EXPECT_EQ(form.ExtractArchive(WriteArchive(temp, shorter), temp / "out"), 0) << cut.what;
    EXPECT_FALSE(form.Visible());
  }
}

TEST(ExtractArchive, AnOutputFileThatCannotBeCreatedIsAFailure) {
  TempFolder temp;
  const Text folder = temp / "inst";
  ASSERT_TRUE(MakeFolderPath(folder + "\\taken"));  // a folder where the file should go
  const TestArchive archive = BuildArchive({{"a.txt", "aaa"}, {"taken", "ttt"}, {"c.txt", "ccc"}});
  TRecordingCompressForm form;
  EXPECT_EQ(form.ExtractArchive(WriteArchive(temp, archive), folder), 0);
  EXPECT_FALSE(IsExistingFile(folder + "\\c.txt")) << "extraction stopped there";

  // Nor a file that another program holds open without sharing.
  const Text held = folder + "\\held.txt";
  ASSERT_TRUE(WriteTestFile(held, "old"));
  HANDLE handle = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  TRecordingCompressForm second;
  EXPECT_EQ(second.ExtractArchive(WriteArchive(temp, BuildArchive({{"held.txt", "new"}})), folder), 0);
  CloseHandle(handle);
  EXPECT_EQ(ReadTestFile(held), "old");
}

}  // namespace

TEST(ExtractArchive, AnArchiveOf3GiBKeepsTheBarInItsRange) {
  // One entry, then zeros up to 3 GiB (a sparse file: nothing of it is written), which
  // read as a terminator entry. The C runtime's long has 32 bits here: the size and the
  // offsets must still come out right, and the bar counts in pairs of bytes.
  TempFolder temp;
  const TestArchive archive = BuildArchive({{"a.txt", "aaaa"}});
  const Text path = WriteArchive(temp, archive);
  {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = 3ll << 30;
    EXPECT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
    EXPECT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
  }
  TRecordingCompressForm form;
  EXPECT_EQ(form.ExtractArchive(path, temp / "out"), 1);
  EXPECT_EQ(ReadTestFile(temp / "out\\a.txt"), "aaaa");
  ASSERT_EQ(form.steps.size(), 1u);
  EXPECT_EQ(form.steps[0].maximum, 1610612736);  // 3 GiB / 2
  EXPECT_EQ(form.steps[0].position, static_cast<int>(archive.ends[0] / 2));
  DeleteFileA(path.c_str());
}
