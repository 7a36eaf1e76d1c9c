// The LZSS decoder: tokens, the ring and its carried-over bytes, the end of an entry and
// the end of input.
#include <gtest/gtest.h>

#include <cstring>

#include "CodecTestSupport.h"
#include "archive/ByteStreams.h"
#include "archive/LzssDecoder.h"

using namespace codec_test;
using archive::DecodeStatus;
using archive::RingBuffer;

namespace {

TEST(LzssDecoder, GoldenStreams) {
  const struct {
    const char* what;
    Bytes stream;
    std::uint32_t size;
    Bytes output;
    std::uint64_t consumed;
  } cases[] = {
      {"five literals, a match at absolute position 4075 of length 3 (zeros cleared at the "
       "start of the entry), two literals",
       {0xDF, 0x4D, 0x5A, 0x50, 0x00, 0x02, 0xEB, 0xF0, 0x04, 0x00}, 10,
       {0x4D, 0x5A, 0x50, 0x00, 0x02, 0x00, 0x00, 0x00, 0x04, 0x00}, 10},
      {"positions are absolute, not distances: literals XYZ land at 4078..4080; a match at "
       "4079 of length 3 reads 4079, 4080 and then 4081, which it has just written",
       {0x07, 'X', 'Y', 'Z', 0xEF, 0xF0}, 6, ToBytes("XYZYZY"), 6},
      {"Q at 4078, then a match at the write position 4079 - 1 of length 18 repeats it",
       {0x01, 'Q', 0xEE, 0xFF}, 19, Bytes(19, 'Q'), 4},
      {"eighteen literals fill 4078..4095, the next write is at 0; a match at 4094 of length 4 "
       "reads 4094, 4095, 0 and 1, the last two written by the match itself",
       {0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0xFF, 'i', 'j', 'k', 'l', 'm', 'n', 'o',
        'p', 0x03, 'q', 'r', 0xFE, 0xF1},
       22, ToBytes("abcdefghijklmnopqrqrqr"), 23},
      {"eight literals complete the entry; no further flag byte is read, the byte after them "
       "belongs to the next entry",
       {0xFF, '1', '2', '3', '4', '5', '6', '7', '8', 0x0A, 0x55}, 8, ToBytes("12345678"), 9},
      {"seven literals and a match of 3 as the eighth token also end the stream",
       {0x7F, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 0xEE, 0xF0, 0x77}, 10, ToBytes("abcdefgabc"), 10},
      {"a match of 18 zeros when only 5 bytes are missing is cut at the size, nothing more read",
       {0x00, 0x00, 0x0F, 0x99}, 5, Bytes(5, 0), 3},
  };
  for (const auto& c : cases) {
    const Decoded d = Decode(c.stream, c.size);
    EXPECT_EQ(d.status, DecodeStatus::Complete) << c.what;
    EXPECT_EQ(d.output, c.output) << c.what;
    EXPECT_EQ(d.consumed, c.consumed) << c.what;
  }
}

TEST(LzssDecoder, SizeZeroClearsTheRingAndTouchesNothingElse) {
  RingBuffer ring;
  std::memset(ring, 0xAA, sizeof ring);
  const Bytes stream = {0xFF, 'x'};
  const Decoded d = Decode(stream, 0, &ring);
  EXPECT_EQ(d.status, DecodeStatus::Complete);
  EXPECT_TRUE(d.output.empty());
  EXPECT_EQ(d.consumed, 0u);
  for (unsigned i = 0; i < archive::kRingSize; ++i) {
    ASSERT_EQ(ring[i], i < 4078 ? 0x00 : 0xAA) << i;
  }
}

TEST(LzssDecoder, CarriedOverPositionsHoldWhatThePreviousEntryLeft) {
  RingBuffer ring = {};
  // A fresh ring: a match at 4078 before anything is written yields zeros.
  const Bytes readCarried = {0x00, 0xEE, 0xFF};
  EXPECT_EQ(Decode(readCarried, 18, &ring).output, Bytes(18, 0));
  // An entry of 4096 + 18 literals goes once round the ring from 4078 and leaves its
  // last 18 bytes at 4078..4095.
  const int length = 4096 + 18;
  Bytes first;
  Bytes expectedTail;
  for (int i = 0; i < length; ++i) {
    if (i % 8 == 0) first.push_back(0xFF);
    const auto b = static_cast<std::uint8_t>(i * 7 + 1);
    first.push_back(b);
    if (i >= length - 18) expectedTail.push_back(b);
  }
  ASSERT_EQ(Decode(first, length, &ring).status, DecodeStatus::Complete);
  // The next entry clears 0..4077 but reads the tail back from 4078..4095.
  const Decoded second = Decode(readCarried, 18, &ring);
  EXPECT_EQ(second.output, expectedTail);
  for (unsigned i = 0; i < 4078; ++i) ASSERT_EQ(ring[i], 0) << i;
}

TEST(LzssDecoder, EndOfInputAtEachKindOfReadStopsAtOnce) {
  struct Case {
    Bytes stream;
    std::size_t produced;
  };
  const Case cases[] = {
      {{}, 0},                // at the flag byte
      {{0x01}, 0},            // at a literal
      {{0x01, 'a'}, 1},       // at B0 of a match
      {{0x01, 'a', 0xEE}, 1}, // at B1 of a match
      {{0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'}, 8},  // at the next flag byte
  };
  for (const Case& c : cases) {
    const Decoded d = Decode(c.stream, 100);
    EXPECT_EQ(d.status, DecodeStatus::InputEnded) << c.stream.size();
    EXPECT_EQ(d.output.size(), c.produced) << c.stream.size();
    EXPECT_EQ(d.consumed, c.stream.size());
  }
}

TEST(LzssDecoder, EveryTruncationOfAValidStreamIsReportedAndYieldsAPrefix) {
  Bytes input = MakeData(Kind::Text, 3000, 7);
  const Bytes runs = MakeData(Kind::Runs, 2000, 8);
  input.insert(input.end(), runs.begin(), runs.end());
  const Bytes stream = Encode(input);
  const auto size = static_cast<std::uint32_t>(input.size());
  std::size_t previous = 0;
  for (std::size_t cut = 0; cut < stream.size(); ++cut) {
    const Bytes part(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(cut));
    const Decoded d = Decode(part, size);
    ASSERT_EQ(d.status, DecodeStatus::InputEnded) << cut;
    ASSERT_LT(d.output.size(), input.size()) << cut;
    ASSERT_TRUE(std::equal(d.output.begin(), d.output.end(), input.begin())) << cut;
    ASSERT_GE(d.output.size(), previous) << cut;
    ASSERT_EQ(d.consumed, cut);
    previous = d.output.size();
  }
  const Decoded whole = Decode(stream, size);
  EXPECT_EQ(whole.status, DecodeStatus::Complete);
  EXPECT_EQ(whole.output, input);
  EXPECT_EQ(whole.consumed, stream.size());
}

TEST(LzssDecoder, RandomGarbageNeverWritesMoreThanTheSize) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 300; ++round) {
    Bytes garbage(rng() % 600);
    for (auto& b : garbage) b = static_cast<std::uint8_t>(rng());
    const std::uint32_t size = rng() % 5000;
    RingBuffer ring;
    for (auto& b : ring) b = static_cast<std::uint8_t>(rng());
    const Decoded d = Decode(garbage, size, &ring);
    ASSERT_LE(d.output.size(), size);
    ASSERT_LE(d.consumed, garbage.size());
    if (d.status == DecodeStatus::Complete) {
      ASSERT_EQ(d.output.size(), size);
    } else {
      ASSERT_EQ(d.consumed, garbage.size());
    }
  }
}

TEST(LzssDecoder, DecodesBetweenFilesThroughTheBufferedStreams) {
  TempFolder folder;
  // Larger than one stream buffer both ways.
  const Bytes input = MakeData(Kind::Binary, 300000, 3);
  Bytes stream = Encode(input);
  const Bytes next = {0x42, 0x43};
  stream.insert(stream.end(), next.begin(), next.end());
  WriteFile(folder / "stream", stream);

  archive::FileReader in;
  archive::FileWriter out;
  ASSERT_TRUE(in.Open(folder / "stream"));
  ASSERT_TRUE(out.Open(folder / "out"));
  RingBuffer ring = {};
  EXPECT_EQ(archive::DecodeEntry(ring, static_cast<std::uint32_t>(input.size()), in, out),
            DecodeStatus::Complete);
  EXPECT_EQ(in.Tell(), stream.size() - next.size());
  EXPECT_EQ(in.ReadByte(), 0x42);
  EXPECT_TRUE(out.Close());
  EXPECT_FALSE(out.Failed());
  EXPECT_EQ(ReadFile(folder / "out"), input);
}

TEST(LzssDecoder, WriteErrorsOfTheOutputAreKept) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  const Bytes input = MakeData(Kind::Text, 200000, 4);
  const Bytes stream = Encode(input);
  archive::MemoryReader in(stream);
  archive::FileWriter out;
  ASSERT_TRUE(out.Open("/dev/full"));
  RingBuffer ring = {};
  // The decoder finishes the entry; the writer remembers that the bytes were lost.
  EXPECT_EQ(archive::DecodeEntry(ring, static_cast<std::uint32_t>(input.size()), in, out),
            DecodeStatus::Complete);
  EXPECT_TRUE(out.Failed());
  EXPECT_FALSE(out.Close());
}

}  // namespace
