// The packer's commands as functions: pack, list, verify, extract, encode, decode.
// Names on the command line and in messages are UTF-8 (u8 literals here, as the narrow
// literals of this program are Shift-JIS); in the archive they are Shift-JIS.
#include <gtest/gtest.h>

#include <sstream>

#include "CodecTestSupport.h"
#include "Packer.h"
#include "archive/ArchiveReader.h"
#include "archive/ArchiveWriter.h"
#include "archive/EntryKey.h"

using namespace codec_test;

namespace {

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

template <class F>
Outcome Capture(F command) {
  std::ostringstream out;
  std::ostringstream err;
  packer::Console console{out, err, false};
  const int code = command(console);
  return {code, out.str(), err.str()};
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class PackerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    a_ = MakeData(Kind::Binary, 150000, 1);
    b_ = MakeData(Kind::Text, 9000, 2);
    c_ = ToBytes("x");
    WriteFile(folder_ / "a.bin", a_);
    WriteFile(folder_ / "b.txt", b_);
    WriteFile(folder_ / "c.txt", c_);
    WriteFile(folder_ / "empty", {});
  }
  Outcome Pack(const std::vector<std::string>& arguments) {
    std::vector<packer::PackInput> inputs;
    for (const std::string& a : arguments) inputs.push_back(packer::ParsePackInput(a));
    return Capture([&](packer::Console& c) { return packer::Pack(archive_, inputs, c); });
  }
  Outcome List() { return Capture([&](packer::Console& c) { return packer::List(archive_, c); }); }
  Outcome Verify() { return Capture([&](packer::Console& c) { return packer::Verify(archive_, c); }); }
  Outcome Extract(const std::string& to) {
    return Capture([&](packer::Console& c) { return packer::Extract(archive_, to, c); });
  }
  Outcome EncodeFile(const std::string& in, const std::string& out) {
    return Capture([&](packer::Console& c) { return packer::EncodeFile(in, out, c); });
  }
  Outcome DecodeFile(const std::string& in, const std::string& out, std::uint32_t size) {
    return Capture([&](packer::Console& c) { return packer::DecodeFile(in, out, size, c); });
  }
  // An archive written by hand: each entry's name, size field and stream bytes.
  struct RawEntry {
    Text name;
    std::uint32_t size;
    Bytes stream;
  };
  void WriteRawArchive(const std::vector<RawEntry>& entries) {
    Bytes bytes;
    archive::VectorWriter out(bytes);
    for (const RawEntry& e : entries) {
      archive::WriteEntryHeader(out, e.name, e.size);
      out.Write(e.stream.data(), e.stream.size());
    }
    WriteFile(archive_, bytes);
  }
  // The three test files, one in a folder and one with a Japanese name.
  void PackThree() {
    const Outcome r = Pack({folder_ / "a.bin", "data\\b.txt=" + (folder_ / "b.txt"),
                        u8"ソ表.txt=" + (folder_ / "c.txt")});
    ASSERT_EQ(r.code, packer::kSuccess) << r.err;
  }

  TempFolder folder_;
  std::string archive_ = folder_ / "out.tlz";
  Bytes a_, b_, c_;
};

TEST(PackInput, ParsesFileAndNameEqualsFile) {
  const packer::PackInput plain = packer::ParsePackInput("some/dir/a.txt");
  EXPECT_EQ(plain.name, "a.txt");
  EXPECT_EQ(plain.path, "some/dir/a.txt");
  const packer::PackInput named = packer::ParsePackInput("sub\\b.txt=x/y=z.txt");
  EXPECT_EQ(named.name, "sub\\b.txt");
  EXPECT_EQ(named.path, "x/y=z.txt");
}

TEST_F(PackerTest, PacksListsVerifiesAndExtracts) {
  PackThree();
  // The archive is the headers and streams, in order, with Shift-JIS names: each stream
  // decodes to its file and ends where the next header starts.
  const Bytes bytes = ReadFile(archive_);
  archive::MemoryReader in(bytes);
  ExpectEntries(in, {{"a.bin", a_}, {"data\\b.txt", b_}, {"\x83\x5C\x95\x5C.txt", c_}});
  EXPECT_EQ(in.Tell(), bytes.size());

  const Outcome list = List();
  EXPECT_EQ(list.code, packer::kSuccess) << list.err;
  std::istringstream lines(list.out);
  std::string header, first, second, third, total;
  for (std::string* line : {&header, &first, &second, &third, &total}) std::getline(lines, *line);
  EXPECT_TRUE(Contains(header, "NAME")) << list.out;
  EXPECT_TRUE(Contains(first, "a.bin") && Contains(first, "150000")) << list.out;
  EXPECT_TRUE(Contains(second, "data\\b.txt") && Contains(second, "9000")) << list.out;
  EXPECT_TRUE(Contains(third, u8"ソ表.txt")) << list.out;
  EXPECT_TRUE(Contains(total, "3 entries")) << list.out;
  EXPECT_TRUE(Contains(total, std::to_string(bytes.size()))) << list.out;

  const Outcome verify = Verify();
  EXPECT_EQ(verify.code, packer::kSuccess) << verify.err;
  EXPECT_TRUE(Contains(verify.out, "OK, 3 entries")) << verify.out;

  const Outcome extract = Extract(folder_ / "x");
  EXPECT_EQ(extract.code, packer::kSuccess) << extract.err;
  EXPECT_EQ(ReadFile(folder_ / "x/a.bin"), a_);
  EXPECT_EQ(ReadFile(folder_ / "x/data/b.txt"), b_);
  EXPECT_EQ(ReadFile(folder_ / u8"x/ソ表.txt"), c_);
}

TEST_F(PackerTest, ListGivesStreamLengthsAndOffsets) {
  ASSERT_EQ(Pack({"one=" + (folder_ / "c.txt"), "two=" + (folder_ / "c.txt")}).code, 0);
  // Each entry: 1 + 3 name bytes + 4 size bytes, then the stream 01 78.
  const Outcome list = List();
  ASSERT_EQ(list.code, packer::kSuccess);
  EXPECT_TRUE(Contains(list.out, "one            1           2           0\n")) << list.out;
  EXPECT_TRUE(Contains(list.out, "two            1           2          10\n")) << list.out;
  EXPECT_TRUE(Contains(list.out, "total: 2 entries, 2 bytes, archive 20 bytes")) << list.out;
}

TEST_F(PackerTest, RefusesWhatTheFormatCannotCarry) {
  const std::string c = folder_ / "c.txt";
  const struct {
    std::string argument;
    std::string message;
  } cases[] = {
      {std::string(256, 'n') + "=" + c, "longer than 255 bytes"},
      {folder_ / "empty", "empty"},
      {"..\\c.txt=" + c, "would be refused"},
      {"\\c.txt=" + c, "would be refused"},
      {"c:c.txt=" + c, "would be refused"},
      {"a\\\\c.txt=" + c, "would be refused"},
      {"a\\=" + c, "would be refused"},
      {"a/c.txt=" + c, "would be refused"},
      {"a\\.\\c.txt=" + c, "would be refused"},
      {"sub\\Nul.txt=" + c, "device"},
      // Windows drops a folder name's trailing dots and spaces: the folder made for "x. "
      // is "x", where "x. \b.txt" cannot be opened.
      {"x. \\b.txt=" + c, "ends in a dot or a space"},
      // "¥" has no Shift-JIS form but 5C, the "\" that would make "a" a folder.
      {u8"a¥b.txt=" + c, "no exact Shift-JIS form"},
      {"\xF0\x9F\x98\x80.txt=" + c, "Shift-JIS"},  // an emoji has no Shift-JIS form
      {folder_ / "missing", "no such file"},
      {"dir=" + folder_.path().string(), "not a regular file"},
  };
  for (const auto& k : cases) {
    const Outcome r = Pack({folder_ / "a.bin", k.argument});
    EXPECT_EQ(r.code, packer::kBadInput) << k.argument;
    EXPECT_TRUE(Contains(r.err, k.message)) << k.argument << ": " << r.err;
    EXPECT_FALSE(std::filesystem::exists(archive_)) << k.argument;
  }
}

TEST_F(PackerTest, RefusesToPackTheArchiveIntoItself) {
  WriteFile(archive_, ToBytes("old"));
  const Outcome r = Pack({folder_ / "c.txt", "self=" + archive_});
  EXPECT_EQ(r.code, packer::kBadInput);
  EXPECT_TRUE(Contains(r.err, "the archive being written")) << r.err;
  EXPECT_EQ(ReadFile(archive_), ToBytes("old"));
}

TEST_F(PackerTest, NameLengthIsCountedInShiftJisBytes) {
  // 127 double-byte characters are 254 bytes, one more ASCII letter makes 255: allowed.
  std::string name;
  for (int i = 0; i < 127; ++i) name += u8"表";
  EXPECT_EQ(Pack({name + "a=" + (folder_ / "c.txt")}).code, packer::kSuccess);
  EXPECT_EQ(Pack({name + "ab=" + (folder_ / "c.txt")}).code, packer::kBadInput);
}

TEST_F(PackerTest, RefusesNamesThatDifferOnlyInCase) {
  const Outcome r = Pack({"Readme.txt=" + (folder_ / "b.txt"), "README.TXT=" + (folder_ / "c.txt")});
  EXPECT_EQ(r.code, packer::kBadInput);
  EXPECT_TRUE(Contains(r.err, "same name")) << r.err;
}

TEST_F(PackerTest, RefusesNamesThatWindowsTakesForOneFile) {
  const std::string b = folder_ / "b.txt";
  const std::string c = folder_ / "c.txt";
  struct Case {
    std::string first, second, complaint;
  };
  const Case clashes[] = {
      {"a.txt", "a.txt.", "same name"},           // trailing dots are dropped
      {"a.txt", "A.TXT . .", "same name"},        // and spaces, with case folded
      {"doc\\a.txt", "DOC\\a.txt", "same name"},  // in folder names too
      {u8"Ｒｅａｄ.txt", u8"ｒＥＡＤ.txt", "same name"},  // full-width letters
      {u8"Ωмега.txt", u8"ωМЕГА.txt", "same name"},      // Greek and Cyrillic
      {u8"ⅰ.txt", u8"Ⅰ.txt", "same name"},              // small and capital Roman numerals
      {"doc", "DOC\\a.txt", "needs a folder"},      // a file where a folder must be
      {"doc\\a.txt", "Doc.", "is a file where"},
  };
  for (const Case& k : clashes) {
    const Outcome r = Pack({k.first + "=" + b, k.second + "=" + c});
    EXPECT_EQ(r.code, packer::kBadInput) << k.first << " " << k.second;
    EXPECT_TRUE(Contains(r.err, k.complaint)) << r.err;
    EXPECT_FALSE(std::filesystem::exists(archive_)) << k.first << " " << k.second;
  }
  // Names that only look alike are two files: a full-width and an ASCII letter, a dot
  // inside the name, a folder and a file of a longer name.
  const Outcome r = Pack({u8"Ａ.txt=" + b, "A.txt=" + c, "a..txt=" + c, "doc\\a=" + b,
                          "docs=" + c});
  EXPECT_EQ(r.code, packer::kSuccess) << r.err;
  // The upper case is Unicode's simple mapping for the whole plane, as in NTFS's table,
  // also for letters Shift-JIS cannot carry: one letter for one ("ß" stays, its full
  // upper case "SS" being two), title case letters included.
  const std::string small = u8"ßａǆᾀաⓐⅱ\\x";
  const std::string capital = u8"ßＡǄᾈԱⒶⅡ\\X";
  EXPECT_EQ(archive::EntryKey(small), capital);
}

TEST_F(PackerTest, VerifyFindsEveryCut) {
  PackThree();
  const Bytes whole = ReadFile(archive_);
  const auto cutTo = [&](std::size_t length) {
    WriteFile(archive_, Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)));
  };
  // Cuts inside the first header, its stream, the second header's name and size field.
  const std::size_t nameEnd = 1 + 5;
  for (const std::size_t cut : {std::size_t{1}, std::size_t{3}, nameEnd + 2, nameEnd + 4 + 100,
                                whole.size() - 1}) {
    cutTo(cut);
    const Outcome r = Verify();
    EXPECT_EQ(r.code, packer::kBadInput) << cut;
    EXPECT_TRUE(Contains(r.err, "entry")) << cut << r.err;
    EXPECT_EQ(List().code, packer::kBadInput) << cut;
    EXPECT_EQ(Extract(folder_ / "cut").code, packer::kBadInput) << cut;
  }
  cutTo(3);
  EXPECT_TRUE(Contains(Verify().err, "inside the entry's name"));
  cutTo(nameEnd + 2);
  EXPECT_TRUE(Contains(Verify().err, "inside the entry's size field"));
  cutTo(whole.size() - 1);
  EXPECT_TRUE(Contains(Verify().err, "entry 3")) << Verify().err;
  EXPECT_TRUE(Contains(Verify().err, "the stream ends early")) << Verify().err;
  WriteFile(archive_, {});
  EXPECT_TRUE(Contains(Verify().err, "no entry"));
}

TEST_F(PackerTest, VerifyFindsTrailingBytesAndTerminators) {
  PackThree();
  Bytes bytes = ReadFile(archive_);
  const std::size_t end = bytes.size();
  // A terminator entry followed by more bytes.
  bytes.insert(bytes.end(), {0x00, 0x01, 0x00, 0x00, 0x00, 0x41});
  WriteFile(archive_, bytes);
  Outcome r = Verify();
  EXPECT_EQ(r.code, packer::kBadInput);
  EXPECT_TRUE(Contains(r.err, "entry 4 at offset " + std::to_string(end))) << r.err;
  EXPECT_TRUE(Contains(r.err, "1 more bytes follow")) << r.err;
  // The same terminator at the very end is fine.
  bytes.pop_back();
  WriteFile(archive_, bytes);
  r = Verify();
  EXPECT_EQ(r.code, packer::kSuccess) << r.err;
  // A stray byte after the last stream reads as the start of a header.
  bytes.resize(end);
  bytes.push_back(0x07);
  WriteFile(archive_, bytes);
  r = Verify();
  EXPECT_EQ(r.code, packer::kBadInput);
  EXPECT_TRUE(Contains(r.err, "entry 4 at offset " + std::to_string(end))) << r.err;
}

TEST_F(PackerTest, VerifyFindsUnsafeNamesAndStreamsThatDependOnThePreviousEntry) {
  // Entry 1: fine. Entry 2: named "..\evil", its stream a match at 4078 (carried over).
  WriteRawArchive({{"ok", 1, {0x01, 'x'}}, {"..\\evil", 18, {0x00, 0xEE, 0xFF}}});
  const Outcome r = Verify();
  EXPECT_EQ(r.code, packer::kBadInput);
  EXPECT_TRUE(Contains(r.err, "entry 2 \"..\\evil\" at offset 9: the installer would refuse")) << r.err;
  EXPECT_TRUE(Contains(r.err, "depends on the entry before it")) << r.err;
  EXPECT_FALSE(Contains(r.err, "entry 1")) << r.err;

  // A device name, whose bytes Windows would send to the device.
  WriteRawArchive({{"ok", 1, {0x01, 'x'}}, {"nul.TXT", 1, {0x01, 'y'}}});
  const Outcome device = Verify();
  EXPECT_EQ(device.code, packer::kBadInput);
  EXPECT_TRUE(Contains(device.err, "entry 2 \"nul.TXT\"")) << device.err;
  EXPECT_TRUE(Contains(device.err, "device")) << device.err;
}

TEST_F(PackerTest, ExtractRefusesNamesThatWouldLeaveTheFolder) {
  for (const Text name : {"..\\evil", "\\evil", "c:evil", "a/../../evil", "NUL.txt"}) {
    WriteRawArchive({{"fine", 1, {0x01, 'x'}}, {name, 1, {0x01, 'y'}}});
    const Outcome r = Extract(folder_ / "deep/x");
    EXPECT_EQ(r.code, packer::kBadInput) << name;
    EXPECT_TRUE(Contains(r.err, "refused")) << r.err;
    EXPECT_EQ(ReadFile(folder_ / "deep/x/fine"), ToBytes("x"));
    EXPECT_FALSE(std::filesystem::exists(folder_ / "deep/evil")) << name;
    EXPECT_FALSE(std::filesystem::exists(folder_ / "evil")) << name;
  }
}

TEST_F(PackerTest, EncodeAndDecodeBareStreams) {
  const std::string in = folder_ / "a.bin";
  const std::string stream = folder_ / "a.lzs";
  const std::string back = folder_ / "a.back";
  Outcome r = EncodeFile(in, stream);
  ASSERT_EQ(r.code, packer::kSuccess) << r.err;
  EXPECT_LT(ReadFile(stream).size(), a_.size() / 2);
  const auto size = static_cast<std::uint32_t>(a_.size());
  r = DecodeFile(stream, back, size);
  ASSERT_EQ(r.code, packer::kSuccess) << r.err;
  EXPECT_EQ(ReadFile(back), a_);
  // A size too large: the stream ends early; the short output stays.
  r = DecodeFile(stream, back, size + 1);
  EXPECT_EQ(r.code, packer::kBadInput);
  EXPECT_TRUE(Contains(r.err, "ends early")) << r.err;
  EXPECT_EQ(ReadFile(back), a_);
  // A size too small: bytes are left after the stream.
  r = DecodeFile(stream, back, size - 1000);
  EXPECT_EQ(r.code, packer::kBadInput);
  EXPECT_TRUE(Contains(r.err, "follow the end of the stream")) << r.err;
  // The stream alone, no header: "x" is one flag byte and the literal.
  r = EncodeFile(folder_ / "c.txt", folder_ / "c.lzs");
  EXPECT_EQ(r.code, packer::kSuccess);
  EXPECT_EQ(ReadFile(folder_ / "c.lzs"), (Bytes{0x01, 'x'}));
  // An empty input gives an empty stream, which decodes to nothing.
  r = EncodeFile(folder_ / "empty", folder_ / "e.lzs");
  EXPECT_EQ(r.code, packer::kSuccess);
  EXPECT_TRUE(ReadFile(folder_ / "e.lzs").empty());
  r = DecodeFile(folder_ / "e.lzs", folder_ / "e.out", 0);
  EXPECT_EQ(r.code, packer::kSuccess) << r.err;
  // A missing input.
  r = EncodeFile(folder_ / "nope", stream);
  EXPECT_EQ(r.code, packer::kBadInput);
}

}  // namespace
