// The LZSS encoder: streams of the reference binary-tree search, round trips through the
// decoder, and independence of each entry's stream.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "CodecTestSupport.h"
#include "archive/ByteStreams.h"
#include "archive/LzssEncoder.h"
#include "BaselineEncoder.h"

using namespace codec_test;
using archive::DecodeStatus;

namespace {

// The binary-tree search written plainly, one byte compare at a time over getc and putc:
// the benchmark's baseline encoder. The encoder's optimised search must give the same
// streams.
Bytes PlainTreeEncode(Bytes input) {
  if (input.empty()) return {};  // nothing to read, nothing written
  std::FILE* in = fmemopen(input.data(), input.size(), "rb");
  char* written = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&written, &size);
  if (in == nullptr || out == nullptr) {
    ADD_FAILURE() << "cannot open memory streams";
    return {};
  }
  BaselineEncode(in, out);
  std::fclose(in);
  std::fclose(out);
  Bytes stream(written, written + size);
  std::free(written);
  return stream;
}

TEST(LzssEncoder, SameStreamsAsThePlainTreeSearch) {
  const Kind kinds[] = {Kind::Zeros, Kind::Random, Kind::Text, Kind::Pattern, Kind::Runs,
                        Kind::Binary};
  std::uint32_t seed = 500;
  for (const Kind kind : kinds) {
    for (const std::size_t size : {1u, 2u, 3u, 18u, 19u, 100u, 4095u, 4096u, 4114u, 20000u,
                                   150000u}) {
      const Bytes input = MakeData(kind, size, seed++);
      ASSERT_EQ(Encode(input), PlainTreeEncode(input)) << static_cast<int>(kind) << " " << size;
    }
  }
  // Mixtures, where the tree holds strings of every kind at once.
  Bytes mixed;
  for (const Kind kind : kinds) {
    const Bytes part = MakeData(kind, 30000, seed++);
    mixed.insert(mixed.end(), part.begin(), part.end());
  }
  EXPECT_EQ(Encode(mixed), PlainTreeEncode(mixed));
}

TEST(LzssEncoder, GoldenStreams) {
  struct Case {
    Bytes input;
    Bytes stream;
  };
  const Case cases[] = {
      {{}, {}},
      {ToBytes("A"), {0x01, 0x41}},
      {ToBytes("ABC"), {0x07, 0x41, 0x42, 0x43}},
      // A match into the bytes just written: "AAA" from 4078 while writing at 4079.
      {ToBytes("AAAA"), {0x01, 0x41, 0xEE, 0xF0}},
      {ToBytes("ABABABABABABABABABAB"), {0x03, 0x41, 0x42, 0xEE, 0xFF}},
      // Zeros match the cleared ring: 18 from 4060, 18 from 4095 (wrapping), 4 from 17.
      {Bytes(40, 0), {0x00, 0xDC, 0xFF, 0xFF, 0xFF, 0x11, 0x01}},
      // The first string met in the tree wins among equally long matches: 4077.
      {Bytes{0, 0, 0, 'X'}, {0x02, 0xED, 0xF0, 0x58}},
      // Nine literals: a full group, then a group of one with its other flag bits 0.
      {ToBytes("ABCDEFGHI"), {0xFF, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 0x01, 'I'}},
  };
  // One encoder for all, first used on a long entry: every stream starts from a fresh
  // state, so no bytes of an earlier entry leak into a later one's search.
  archive::LzssEncoder encoder;
  Bytes ignored;
  const Bytes first = MakeData(Kind::Text, 50000, 9);
  archive::MemoryReader firstIn(first);
  archive::VectorWriter firstOut(ignored);
  encoder.Encode(firstIn, firstOut);
  for (const Case& c : cases) {
    Bytes stream;
    archive::MemoryReader in(c.input);
    archive::VectorWriter out(stream);
    encoder.Encode(in, out);
    EXPECT_EQ(stream, c.stream) << std::string(c.input.begin(), c.input.end());
  }
}

TEST(LzssEncoder, ShortRepeatsStayLiterals) {
  // "ABxAB": the repeat of "AB" is 2 bytes, at the threshold, so it stays literal.
  EXPECT_EQ(Encode(ToBytes("ABxAB")), (Bytes{0x1F, 'A', 'B', 'x', 'A', 'B'}));
}

TEST(LzssEncoder, RoundTripsManySizesAndKinds) {
  const Kind kinds[] = {Kind::Zeros, Kind::Random, Kind::Text, Kind::Pattern, Kind::Runs,
                        Kind::Binary};
  const std::size_t sizes[] = {0,    1,    2,    3,    4,    17,   18,    19,    20,    255,
                               4077, 4078, 4079, 4095, 4096, 4097, 4114,  8191,  8192,  8193,
                               12345, 65536, 100003};
  std::uint32_t seed = 1;
  for (const Kind kind : kinds) {
    for (const std::size_t size : sizes) {
      const Bytes input = MakeData(kind, size, seed++);
      const Bytes stream = Encode(input);
      const Decoded d = Decode(stream, static_cast<std::uint32_t>(size));
      ASSERT_EQ(d.status, DecodeStatus::Complete) << static_cast<int>(kind) << " " << size;
      ASSERT_EQ(d.output, input) << static_cast<int>(kind) << " " << size;
      // The stream ends exactly after its last token.
      ASSERT_EQ(d.consumed, stream.size()) << static_cast<int>(kind) << " " << size;
    }
  }
}

TEST(LzssEncoder, CompressesWhatRepeats) {
  EXPECT_LT(Encode(MakeData(Kind::Zeros, 100000, 1)).size(), 100000u / 8);
  EXPECT_LT(Encode(MakeData(Kind::Text, 100000, 2)).size(), 100000u / 2);
  // Incompressible data costs one flag byte per eight literals, less a few chance
  // matches of three bytes.
  const std::size_t random = Encode(MakeData(Kind::Random, 80000, 3)).size();
  EXPECT_LE(random, 90000u);
  EXPECT_GT(random, 89000u);
}

TEST(LzssEncoder, StreamsNeverReadCarriedOverPositionsBeforeWritingThem) {
  // Decoding with any bytes left at 4078..4095 by a previous entry gives the same file.
  const Kind kinds[] = {Kind::Zeros, Kind::Text, Kind::Pattern, Kind::Runs, Kind::Binary};
  std::uint32_t seed = 100;
  for (const Kind kind : kinds) {
    for (const std::size_t size : {1u, 18u, 19u, 40u, 5000u, 70000u}) {
      const Bytes input = MakeData(kind, size, seed++);
      const Bytes stream = Encode(input);
      for (const std::uint8_t fill : {0x00, 0xFF, 0x41}) {
        archive::RingBuffer ring;
        std::memset(ring, fill, sizeof ring);
        const Decoded d = Decode(stream, static_cast<std::uint32_t>(size), &ring);
        ASSERT_EQ(d.output, input) << static_cast<int>(kind) << " " << size << " " << int(fill);
      }
    }
  }
}

TEST(LzssEncoder, EveryEncodeStartsFromAFreshState) {
  archive::LzssEncoder encoder;
  const Bytes first = MakeData(Kind::Text, 50000, 9);
  const Bytes second = MakeData(Kind::Runs, 30000, 10);
  Bytes s1;
  Bytes s2;
  {
    archive::MemoryReader in(first);
    archive::VectorWriter out(s1);
    encoder.Encode(in, out);
  }
  {
    archive::MemoryReader in(second);
    archive::VectorWriter out(s2);
    encoder.Encode(in, out);
  }
  EXPECT_EQ(s2, PlainTreeEncode(second));
  EXPECT_EQ(s1, PlainTreeEncode(first));
}

TEST(LzssEncoder, EncodesBetweenFiles) {
  TempFolder folder;
  const Bytes input = MakeData(Kind::Text, 200000, 11);
  WriteFile(folder / "in", input);
  archive::FileReader in;
  archive::FileWriter out;
  ASSERT_TRUE(in.Open(folder / "in"));
  ASSERT_TRUE(out.Open(folder / "out"));
  archive::LzssEncoder encoder;
  EXPECT_EQ(encoder.Encode(in, out), input.size());
  EXPECT_TRUE(out.Close());
  EXPECT_EQ(ReadFile(folder / "out"), PlainTreeEncode(input));
}

}  // namespace

namespace {

constexpr std::size_t kWholeInput = archive::LzssEncoder::kSmallestWindow;

Bytes EncodeSmallest(const Bytes& input, std::size_t window = kWholeInput) {
  Bytes stream;
  archive::MemoryReader in(input);
  archive::VectorWriter out(stream);
  archive::LzssEncoder encoder;
  EXPECT_EQ(encoder.EncodeSmallest(in, out, window), input.size());
  return stream;
}

// The fewest stream bytes any choice of tokens reaches, by brute force: at every byte, the
// longest match from every ring position the decoder may read (1 to 4096 bytes back,
// where the entry's byte j < 0 is a zero from -4078 on and may not be read before), then
// the cheapest tokens over 9 bits a literal and 17 a match. Bytes are the bits over 8,
// rounded up: a stream's bits and its token count agree modulo 8.
std::size_t FewestStreamBytes(const Bytes& input) {
  const std::uint8_t* b = input.data();
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(input.size());
  std::vector<std::uint64_t> bits(input.size() + 1, 0);
  for (std::ptrdiff_t i = n - 1; i >= 0; --i) {
    const std::ptrdiff_t most = std::min<std::ptrdiff_t>(18, n - i);
    std::ptrdiff_t longest = 0;
    for (std::ptrdiff_t from = i - 1; from >= i - 4096 && longest < most; --from) {
      std::ptrdiff_t k = 0;
      for (; k < most; ++k) {
        const std::ptrdiff_t j = from + k;
        if ((j >= 0 ? int{b[j]} : j >= -4078 ? 0 : -1) != b[i + k]) break;
      }
      longest = std::max(longest, k);
    }
    bits[i] = 9 + bits[i + 1];
    for (std::ptrdiff_t l = 3; l <= longest; ++l) bits[i] = std::min(bits[i], 17 + bits[i + l]);
  }
  return (bits[0] + 7) / 8;
}

}  // namespace

TEST(LzssEncoder, SmallestStreamsDecodeExactlyAndNeverGrow) {
  // Where a short match would hide a long one, a literal first is cheaper: "ABC" then
  // 18 bytes from "B" cost 34 bits as two matches, 26 as a literal and one match.
  const Bytes tricky = ToBytes("ABCxBCDEFGHIJKLMNOPQRSyABCDEFGHIJKLMNOPQRS");
  EXPECT_EQ(Encode(tricky).size(), 31u);
  EXPECT_EQ(EncodeSmallest(tricky),
            (Bytes{0xFF, 'A', 'B', 'C', 'x', 'B', 'C', 'D', 'E',
                   0xFF, 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M',
                   0xFF, 'N', 'O', 'P', 'Q', 'R', 'S', 'y', 'A',
                   0x00, 0xF2, 0xFF}));
  // Nothing to gain: the longest-match stream itself, byte for byte.
  for (const char* text : {"A", "AAAA", "ABABABABABABABABABAB", "ABCDEFGHI"}) {
    EXPECT_EQ(EncodeSmallest(ToBytes(text)), Encode(ToBytes(text))) << text;
  }
  EXPECT_EQ(EncodeSmallest(Bytes(40, 0)), Encode(Bytes(40, 0)));
  EXPECT_TRUE(EncodeSmallest({}).empty());

  const Kind kinds[] = {Kind::Zeros, Kind::Random, Kind::Text, Kind::Pattern, Kind::Runs,
                        Kind::Binary};
  std::uint32_t seed = 700;
  for (const Kind kind : kinds) {
    for (const std::size_t size : {1u, 3u, 18u, 19u, 40u, 4078u, 4096u, 4114u, 70000u}) {
      const Bytes input = MakeData(kind, size, seed++);
      const std::size_t fewest = size == 40 || size == 4114 ? FewestStreamBytes(input) : 0;
      std::size_t whole = 0;
      // The whole input in one window; windows of 5000 positions, whose boundaries cost
      // nothing here; the smallest window, 128, whose boundaries may cost a few bits.
      for (const std::size_t window : {kWholeInput, std::size_t{5000}, std::size_t{128}}) {
        const std::string what = std::to_string(static_cast<int>(kind)) + " " +
                                 std::to_string(size) + " " + std::to_string(window);
        const Bytes stream = EncodeSmallest(input, window);
        ASSERT_LE(stream.size(), Encode(input).size()) << what;
        if (window == kWholeInput) whole = stream.size();
        if (window == 5000) {
          ASSERT_EQ(stream.size(), whole) << what;
        }
        if (fewest != 0 && window != 128) {
          ASSERT_EQ(stream.size(), fewest) << what;
        }
        // Whatever a previous entry left at 4078..4095, the same file, and the stream
        // ends exactly after its last token.
        for (const std::uint8_t fill : {0x00, 0xFF, 0x41}) {
          archive::RingBuffer ring;
          std::memset(ring, fill, sizeof ring);
          const Decoded d = Decode(stream, static_cast<std::uint32_t>(size), &ring);
          ASSERT_EQ(d.status, DecodeStatus::Complete) << what;
          ASSERT_EQ(d.output, input) << what << " " << int(fill);
          ASSERT_EQ(d.consumed, stream.size()) << what;
        }
      }
    }
  }
  // Bytes 4079 to 4096 back are out of the tree's sight but in the decoder's ring: 4096
  // random bytes and then their first 40 again take three matches 4096 back.
  Bytes far = MakeData(Kind::Random, 4096, 9);
  far.insert(far.end(), far.begin(), far.begin() + 40);
  const Bytes farStream = EncodeSmallest(far);
  EXPECT_EQ(farStream.size(), FewestStreamBytes(far));
  // Through windows of 1000 positions, those bytes are four windows back.
  EXPECT_EQ(EncodeSmallest(far, 1000), farStream);
  EXPECT_LE(farStream.size() + 30, Encode(far).size());
  for (const std::uint8_t fill : {0x00, 0x5A}) {
    archive::RingBuffer ring;
    std::memset(ring, fill, sizeof ring);
    EXPECT_EQ(Decode(farStream, static_cast<std::uint32_t>(far.size()), &ring).output, far);
  }

  // Text gains from the choice (real text more: 2 to 3 per cent).
  const Bytes text = MakeData(Kind::Text, 100000, 3);
  EXPECT_LT(EncodeSmallest(text).size(), Encode(text).size());
}
