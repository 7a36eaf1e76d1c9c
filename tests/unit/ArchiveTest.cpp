// Entry headers, walking an archive entry by entry, the entry-name rule, and the
// buffered file streams.
#include <gtest/gtest.h>

#include "ArchiveBuilder.h"
#include "CodecTestSupport.h"
#include "archive/ArchiveReader.h"
#include "archive/ArchiveWriter.h"
#include "archive/ByteStreams.h"
#include "archive/EntryName.h"
#include "archive/ProgressScale.h"

using namespace codec_test;
using archive::EntryHeader;
using archive::HeaderStatus;

namespace {

HeaderStatus ReadHeader(const Bytes& bytes, EntryHeader& header, std::uint64_t* consumed = nullptr) {
  archive::MemoryReader in(bytes);
  const HeaderStatus status = archive::ReadEntryHeader(in, header);
  if (consumed != nullptr) *consumed = in.Tell();
  return status;
}

TEST(ArchiveReader, ReadsTheHeaderOfTheWorkedExample) {
  const Bytes bytes = {0x0A, 'U', 'n', 'I', 'n', 's', 't', '.', 'e', 'x', 'e', 0x00, 0xEC, 0x06,
                       0x00, 0xDF};
  EntryHeader header;
  std::uint64_t consumed = 0;
  EXPECT_EQ(ReadHeader(bytes, header, &consumed), HeaderStatus::Entry);
  EXPECT_EQ(header.name, "UnInst.exe");
  EXPECT_EQ(header.size, 453632u);
  EXPECT_EQ(consumed, 15u);
  EXPECT_EQ(header.StoredLength(), 15u);
  EXPECT_FALSE(header.IsTerminator());
}

TEST(ArchiveReader, SizeIsLittleEndian) {
  EntryHeader header;
  EXPECT_EQ(ReadHeader({0x01, 'a', 0x04, 0x03, 0x02, 0xF1}, header), HeaderStatus::Entry);
  EXPECT_EQ(header.size, 0xF1020304u);
}

TEST(ArchiveReader, NameEndsAtItsFirstZeroByteButAllStoredBytesAreConsumed) {
  EntryHeader header;
  std::uint64_t consumed = 0;
  EXPECT_EQ(ReadHeader({0x04, 'a', 'b', 0x00, 'c', 0x05, 0x00, 0x00, 0x00}, header, &consumed),
            HeaderStatus::Entry);
  EXPECT_EQ(header.name, "ab");
  EXPECT_EQ(header.nameLength, 4);
  EXPECT_EQ(header.size, 5u);
  EXPECT_EQ(consumed, 9u);
}

TEST(ArchiveReader, TerminatorEntries) {
  EntryHeader header;
  std::uint64_t consumed = 0;
  // Name length 0.
  EXPECT_EQ(ReadHeader({0x00, 0x10, 0x00, 0x00, 0x00, 0xFF}, header, &consumed), HeaderStatus::Entry);
  EXPECT_TRUE(header.IsTerminator());
  EXPECT_EQ(consumed, 5u);
  // A first name byte of 0.
  EXPECT_EQ(ReadHeader({0x02, 0x00, 'x', 0x10, 0x00, 0x00, 0x00}, header), HeaderStatus::Entry);
  EXPECT_TRUE(header.IsTerminator());
  // Size 0 with a name.
  EXPECT_EQ(ReadHeader({0x01, 'x', 0x00, 0x00, 0x00, 0x00}, header), HeaderStatus::Entry);
  EXPECT_EQ(header.name, "x");
  EXPECT_TRUE(header.IsTerminator());
}

TEST(ArchiveReader, ReportsWhereTheInputEnds) {
  EntryHeader header;
  EXPECT_EQ(ReadHeader({}, header), HeaderStatus::EndOfArchive);
  EXPECT_EQ(ReadHeader({0x05, 'a', 'b'}, header), HeaderStatus::EndInName);
  EXPECT_EQ(header.name, "ab");
  EXPECT_EQ(ReadHeader({0x05}, header), HeaderStatus::EndInName);
  EXPECT_EQ(ReadHeader({0x01, 'a'}, header), HeaderStatus::EndInSize);
  EXPECT_EQ(header.name, "a");
  EXPECT_EQ(ReadHeader({0x01, 'a', 0x01, 0x00, 0x00}, header), HeaderStatus::EndInSize);
  // A name of 255 bytes, the longest.
  Bytes longest = {0xFF};
  longest.insert(longest.end(), 255, 'n');
  longest.insert(longest.end(), {0x01, 0x00, 0x00, 0x00});
  EXPECT_EQ(ReadHeader(longest, header), HeaderStatus::Entry);
  EXPECT_EQ(header.name, std::string(255, 'n'));
}

TEST(ArchiveReader, WalksAMultiEntryArchiveWithOneRing) {
  const std::vector<std::pair<Text, Bytes>> entries = {
      {"UnInst.exe", MakeData(Kind::Binary, 20000, 1)},
      {"data\\ソ表.txt", MakeData(Kind::Text, 7001, 2)},
      {"z", MakeData(Kind::Zeros, 40, 3)},
      // Eight literals: its stream ends with a full group.
      {"eight", ToBytes("12345678")},
      {"last", MakeData(Kind::Random, 5000, 4)},
  };
  std::vector<TestEntry> stored;
  for (const auto& [name, data] : entries) stored.push_back({name, std::string(data.begin(), data.end())});
  const Bytes bytes = ToBytes(BuildArchive(stored).bytes);
  archive::MemoryReader in(bytes);
  ExpectEntries(in, entries);
  EntryHeader header;
  EXPECT_EQ(archive::ReadEntryHeader(in, header), HeaderStatus::EndOfArchive);
  EXPECT_EQ(in.Tell(), bytes.size());
}

TEST(ArchiveWriter, WritesHeaders) {
  Bytes bytes;
  archive::VectorWriter out(bytes);
  archive::WriteEntryHeader(out, "UnInst.exe", 453632);
  EXPECT_EQ(bytes, (Bytes{0x0A, 'U', 'n', 'I', 'n', 's', 't', '.', 'e', 'x', 'e', 0x00, 0xEC,
                          0x06, 0x00}));
}

TEST(ArchiveWriter, ChecksWhatTheFormatCanCarry) {
  using archive::EntryProblem;
  EXPECT_EQ(archive::CheckEntry("a.txt", 1), EntryProblem::Storable);
  EXPECT_EQ(archive::CheckEntry(std::string(255, 'n'), 0xFFFFFFFFu), EntryProblem::Storable);
  EXPECT_EQ(archive::CheckEntry(std::string(256, 'n'), 1), EntryProblem::NameTooLong);
  EXPECT_EQ(archive::CheckEntry("a.txt", 0), EntryProblem::EmptyFile);
  EXPECT_EQ(archive::CheckEntry("a.txt", 0x100000000u), EntryProblem::FileTooLarge);
  EXPECT_EQ(archive::CheckEntry("..\\a.txt", 1), EntryProblem::UnsafeName);
}

TEST(EntryName, AcceptsRelativeNames) {
  for (const char* name : {"a", "a.txt", "sub\\a.txt", "a\\b\\c\\d.bin", "a..b", ".profile",
                           "ソ", "表示", "ソ\\ソ", "表\\a", "ｱｲｳ.txt", "a b.txt", "...a",
                           // near device names, but files
                           "CONSOLE", "COM10", "com0.txt", "LPT", "nulx.txt", "a.nul", "xaux", "ＮＵＬ"}) {
    EXPECT_TRUE(archive::IsSafeEntryName(name)) << name;
    EXPECT_EQ(archive::EntryNameFault(name), nullptr) << name;
  }
}

TEST(EntryName, RefusesNamesThatLeaveTheFolder) {
  for (const char* name :
       {"", "\\a", "\\\\server\\share\\a", "a\\", "a\\\\b", "\\", "..", ".", "...", ". .", " ",
        "a\\..\\..\\b", "..\\a", "a\\.\\b", "a\\..", "c:a", "c:\\a", "a:b", "a.txt:stream", "a/b",
        "/a", "../a", "a\\b/c", "a\x01", "a\tb", "\x7F", "ソ\\", "表\\\\x", "a\x83", "\x83:",
        // devices: in any case, with an extension, in any component
        "NUL", "nul.txt", "Con", "prn.a.b", "AUX .log", "com1", "COM9.txt", "lpt1", "Lpt9.x",
        "sub\\NUL.txt", "CON\\a.txt", "ソ\\aux",
        // a folder name that ends in a dot or a space
        "x. \\b.txt", "a.\\b", "a \\b", "表.\\x"}) {
    EXPECT_FALSE(archive::IsSafeEntryName(name)) << name;
    EXPECT_NE(archive::EntryNameFault(name), nullptr) << name;
  }
}

TEST(EntryName, TrailByte5CIsNotASeparator) {
  // "ソ" is 83 5C: "ソ" alone and "aソ" have no empty component, although a byte 0x5C ends
  // them; "ソ\" does.
  ASSERT_EQ(Text("ソ"), "\x83\x5C");
  EXPECT_TRUE(archive::IsSafeEntryName("\x83\x5C"));
  EXPECT_TRUE(archive::IsSafeEntryName("a\x83\x5C"));
  EXPECT_FALSE(archive::IsSafeEntryName("a\x83\x5C\x5C"));
  // After 83 83 (one character) a 5C is a real separator; the component before it is
  // fine and the one after it is empty.
  EXPECT_FALSE(archive::IsSafeEntryName("\x83\x83\\"));
  EXPECT_TRUE(archive::IsSafeEntryName("\x83\x83\\b"));
}

TEST(FileReader, TellsBytesConsumedAcrossItsBuffer) {
  TempFolder folder;
  const Bytes data = MakeData(Kind::Random, archive::FileReader::kBufferSize * 2 + 100, 5);
  WriteFile(folder / "f", data);
  archive::FileReader in;
  EXPECT_FALSE(in.Open(folder / "missing"));
  EXPECT_FALSE(in.IsOpen());
  EXPECT_EQ(in.ReadByte(), archive::kEndOfInput);
  ASSERT_TRUE(in.Open(folder / "f"));
  EXPECT_EQ(in.Tell(), 0u);
  EXPECT_EQ(in.ReadByte(), data[0]);
  EXPECT_EQ(in.Tell(), 1u);
  Bytes block(archive::FileReader::kBufferSize);
  EXPECT_EQ(in.Read(block.data(), block.size()), block.size());
  EXPECT_TRUE(std::equal(block.begin(), block.end(), data.begin() + 1));
  EXPECT_EQ(in.Tell(), 1 + block.size());
  // Byte by byte to the end: every value 0..255 comes back as itself, never as the end.
  for (std::size_t i = 1 + block.size(); i < data.size(); ++i) {
    ASSERT_EQ(in.ReadByte(), data[i]) << i;
  }
  EXPECT_EQ(in.Tell(), data.size());
  EXPECT_EQ(in.ReadByte(), archive::kEndOfInput);
  EXPECT_EQ(in.Tell(), data.size());
  EXPECT_FALSE(in.ReadFailed());

  ASSERT_TRUE(in.Rewind());
  EXPECT_EQ(in.Tell(), 0u);
  EXPECT_EQ(in.ReadByte(), data[0]);
  ASSERT_TRUE(in.SeekToEnd());
  EXPECT_EQ(in.Tell(), data.size());
  EXPECT_EQ(in.ReadByte(), archive::kEndOfInput);
  ASSERT_TRUE(in.Rewind());
  Bytes all(data.size() + 10);
  EXPECT_EQ(in.Read(all.data(), all.size()), data.size());
  all.resize(data.size());
  EXPECT_EQ(all, data);
}

TEST(FileReader, OffsetsBeyond4GiB) {
  // A sparse file: its size is set, not written.
  TempFolder folder;
  WriteFile(folder / "big", ToBytes("MZ"));
  const std::uint64_t size = (4ull << 30) + 17;
  std::filesystem::resize_file(folder / "big", size);
  archive::FileReader in;
  ASSERT_TRUE(in.Open(folder / "big"));
  ASSERT_TRUE(in.SeekToEnd());
  EXPECT_EQ(in.Tell(), size);
  ASSERT_TRUE(in.Rewind());
  EXPECT_EQ(in.Tell(), 0u);
  EXPECT_EQ(in.ReadByte(), 'M');
  in.Close();
  std::filesystem::remove(folder / "big");
}

TEST(ProgressScale, BytesBelow2GiBAndPowersOfTwoOfThemAbove) {
  // Below 2 GiB the bar counts bytes: its positions are the archive offsets.
  const archive::ProgressScale small(1459003);
  EXPECT_EQ(small.Maximum(), 1459003);
  EXPECT_EQ(small.Position(254169), 254169);
  EXPECT_EQ(small.Position(1459003), 1459003);
  EXPECT_EQ(archive::ProgressScale(0).Maximum(), 0);
  EXPECT_EQ(archive::ProgressScale(0x7FFFFFFF).Maximum(), 0x7FFFFFFF);
  // From 2 GiB on, units of 2, 4, ... bytes; full exactly at the end, never beyond.
  const archive::ProgressScale two(0x80000000ull);
  EXPECT_EQ(two.Maximum(), 0x40000000);
  EXPECT_EQ(two.Position(0x80000000ull), 0x40000000);
  EXPECT_EQ(two.Position(1000), 500);
  const archive::ProgressScale huge((1ull << 40) + 3);
  EXPECT_EQ(huge.Maximum(), 0x40000000);
  EXPECT_EQ(huge.Position(1ull << 39), 0x20000000);
  EXPECT_EQ(huge.Position(1ull << 41), huge.Maximum());
  const archive::ProgressScale largest(0xFFFFFFFFFFFFFFFFull);
  EXPECT_EQ(largest.Maximum(), 0x7FFFFFFF);
}

TEST(FileReader, ByteFFIsNotTheEndOfInput) {
  TempFolder folder;
  const Bytes bytes = {0xFF, 0x1A, 0x0D, 0x0A};
  WriteFile(folder / "ff", bytes);
  archive::FileReader in;
  ASSERT_TRUE(in.Open(folder / "ff"));
  for (const std::uint8_t b : bytes) EXPECT_EQ(in.ReadByte(), b);
  EXPECT_EQ(in.ReadByte(), archive::kEndOfInput);
}

TEST(FileWriter, WritesAndReportsErrors) {
  TempFolder folder;
  const Bytes data = MakeData(Kind::Text, archive::FileWriter::kBufferSize * 3 + 7, 6);
  archive::FileWriter out;
  ASSERT_TRUE(out.Open(folder / "w"));
  for (std::size_t i = 0; i < 1000; ++i) out.WriteByte(data[i]);
  out.Write(data.data() + 1000, data.size() - 1000);
  EXPECT_EQ(out.Tell(), data.size());
  EXPECT_TRUE(out.Close());
  EXPECT_EQ(ReadFile(folder / "w"), data);

  // Opening truncates.
  ASSERT_TRUE(out.Open(folder / "w"));
  out.WriteByte('x');
  EXPECT_TRUE(out.Close());
  EXPECT_EQ(ReadFile(folder / "w"), ToBytes("x"));

  // A folder that does not exist.
  EXPECT_FALSE(out.Open(folder / "no\\such/folder/w"));
  // Bytes written to a writer that is not open are lost, and Close says so.
  out.WriteByte('x');
  EXPECT_FALSE(out.Close());

  if (std::filesystem::exists("/dev/full")) {
    ASSERT_TRUE(out.Open("/dev/full"));
    EXPECT_FALSE(out.Failed());
    out.WriteByte('x');
    EXPECT_FALSE(out.Close());
    EXPECT_TRUE(out.Failed());
  }
}

}  // namespace
