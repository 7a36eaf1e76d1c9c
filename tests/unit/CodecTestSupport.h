#pragma once
// Test data and small helpers shared by the codec, archive and packer tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "archive/ArchiveReader.h"
#include "archive/LzssDecoder.h"
#include "archive/LzssEncoder.h"

namespace codec_test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

inline Bytes Encode(const Bytes& input) {
  Bytes stream;
  archive::MemoryReader in(input);
  archive::VectorWriter out(stream);
  archive::LzssEncoder encoder;
  EXPECT_EQ(encoder.Encode(in, out), input.size());
  return stream;
}

struct Decoded {
  archive::DecodeStatus status;
  Bytes output;
  std::uint64_t consumed;
};

// Decodes with a ring that starts zero, or with `ring` when given. The decoder has a
// path for streams it can reach directly (file and memory buffers, here a memory block
// with room for the whole output) and one for any other stream (here a vector): both
// run, from equal rings, and must agree in every respect.
inline Decoded Decode(const Bytes& stream, std::uint32_t size, archive::RingBuffer* ring = nullptr) {
  archive::RingBuffer fresh = {};
  archive::RingBuffer& used = ring != nullptr ? *ring : fresh;
  archive::RingBuffer copy;
  std::memcpy(copy, used, sizeof copy);

  Decoded d;
  archive::MemoryReader in(stream);
  archive::VectorWriter out(d.output);
  d.status = archive::DecodeEntry(used, size, in, out);
  d.consumed = in.Tell();

  Bytes block(size + 1u);
  archive::MemoryReader blockIn(stream);
  archive::BufferWriter blockOut(block.data(), block.size());
  const archive::DecodeStatus blockStatus = archive::DecodeEntry(copy, size, blockIn, blockOut);
  block.resize(blockOut.Tell());
  EXPECT_EQ(blockStatus, d.status);
  EXPECT_EQ(blockIn.Tell(), d.consumed);
  EXPECT_EQ(block, d.output);
  EXPECT_EQ(std::memcmp(copy, used, sizeof copy), 0) << "the rings differ";
  return d;
}

// Reads entries from `in` as the installer does, one ring across them all: each has the
// expected name and size and decodes to the expected bytes.
inline void ExpectEntries(archive::MemoryReader& in, const std::vector<std::pair<Text, Bytes>>& entries) {
  archive::RingBuffer ring = {};
  for (const auto& [name, data] : entries) {
    archive::EntryHeader header;
    ASSERT_EQ(archive::ReadEntryHeader(in, header), archive::HeaderStatus::Entry) << name;
    EXPECT_EQ(header.name, name);
    ASSERT_EQ(header.size, data.size()) << name;
    Bytes output;
    archive::VectorWriter out(output);
    ASSERT_EQ(archive::DecodeEntry(ring, header.size, in, out), archive::DecodeStatus::Complete) << name;
    EXPECT_EQ(output, data) << name;
  }
}

enum class Kind { Zeros, Random, Text, Pattern, Runs, Binary };

// Deterministic data of a kind; the same seed gives the same bytes on every machine.
inline Bytes MakeData(Kind kind, std::size_t size, std::uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes data;
  data.reserve(size);
  static const char* const words[] = {"the ", "archive ", "entry ", "stream ", "ring ",
                                      "領収書 ", "発行 ", "セットアップ ", "\r\n", "0x5C ",
                                      "match ", "literal ", "ソ表 ", "of ", "and "};
  while (data.size() < size) {
    switch (kind) {
      case Kind::Zeros:
        data.push_back(0);
        break;
      case Kind::Random:
        data.push_back(static_cast<std::uint8_t>(rng()));
        break;
      case Kind::Text: {
        const std::string w = words[rng() % (sizeof words / sizeof words[0])];
        for (char c : w) data.push_back(static_cast<std::uint8_t>(c));
        break;
      }
      case Kind::Pattern:
        data.push_back(static_cast<std::uint8_t>("ABCABDABE"[data.size() % 9]));
        break;
      case Kind::Runs: {
        const auto b = static_cast<std::uint8_t>(rng() % 4);
        const std::size_t n = 1 + rng() % 40;
        for (std::size_t i = 0; i < n; ++i) data.push_back(b);
        break;
      }
      case Kind::Binary: {
        // Little-endian records with small counters and a few constant fields, as in
        // tables of an executable.
        const std::uint32_t v = static_cast<std::uint32_t>(data.size() / 16) * 4 + rng() % 3;
        const std::uint8_t record[] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                       0, 0, 0x8B, 0x45, static_cast<std::uint8_t>(rng() % 16), 0xE8};
        data.insert(data.end(), record, record + sizeof record);
        break;
      }
    }
  }
  data.resize(size);
  return data;
}

// A folder of its own under the system's temporary folder, removed at the end.
class TempFolder {
 public:
  TempFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "codec-test-";
    if (info != nullptr) name += std::string(info->test_suite_name()) + "-" + info->name() + "-";
    path_ = std::filesystem::temp_directory_path() /
            (name + std::to_string(std::random_device()()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

}  // namespace codec_test
