// Encodes any bytes and decodes the stream again: the result must be the input, the
// stream must end exactly after its last token, it must not depend on what a previous
// entry left in the ring, and encoding the same bytes again with the same encoder must
// give the same stream (its state is reset for every entry). The smallest stream obeys
// the same rules and is never longer than the classic one, also when it is chosen
// through the smallest window, whose boundaries come every 96 bytes or so.
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzCheck.h"
#include "archive/ByteStreams.h"
#include "archive/LzssDecoder.h"
#include "archive/LzssEncoder.h"

using namespace archive;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static LzssEncoder encoder;
  // Both encodings take all of the input, every time.
  const auto encode = [&](bool smallest, std::size_t window = LzssEncoder::kSmallestWindow) {
    std::vector<std::uint8_t> stream;
    MemoryReader in(data, size);
    VectorWriter out(stream);
    FUZZ_CHECK((smallest ? encoder.EncodeSmallest(in, out, window) : encoder.Encode(in, out)) ==
               size);
    return stream;
  };
  // The carried-over ring positions hold bytes of the input's end, as if an entry had
  // just been decoded: a stream that read them before writing them would go wrong.
  static RingBuffer ring;
  auto poison = [&] {
    std::memset(ring, 0x5A, sizeof ring);
    for (std::size_t i = 0; i < kMaxMatch && i < size; ++i) {
      ring[kFirstWritePosition + i] = static_cast<std::uint8_t>(~data[size - 1 - i]);
    }
  };
  std::vector<std::uint8_t> decoded(size + 1);
  // Into a memory block from a poisoned ring: the input again, the stream used up.
  const auto decodesBack = [&](const std::vector<std::uint8_t>& stream) {
    poison();
    MemoryReader in(stream);
    BufferWriter out(decoded.data(), decoded.size());
    FUZZ_CHECK(DecodeEntry(ring, static_cast<std::uint32_t>(size), in, out) ==
               DecodeStatus::Complete);
    FUZZ_CHECK(in.Tell() == stream.size());
    FUZZ_CHECK(out.Tell() == size);
    FUZZ_CHECK(size == 0 || std::memcmp(decoded.data(), data, size) == 0);
  };
  const std::vector<std::uint8_t> stream = encode(false);
  decodesBack(stream);
  {
    // Byte by byte, from the ring the first decoding left.
    std::vector<std::uint8_t> bytewise;
    MemoryReader in(stream);
    VectorWriter out(bytewise);
    FUZZ_CHECK(DecodeEntry(ring, static_cast<std::uint32_t>(size), in, out) ==
               DecodeStatus::Complete);
    FUZZ_CHECK(bytewise.size() == size);
    FUZZ_CHECK(size == 0 || std::memcmp(bytewise.data(), data, size) == 0);
  }
  FUZZ_CHECK(encode(false) == stream);
  const std::vector<std::uint8_t> smallest = encode(true);
  FUZZ_CHECK(smallest.size() <= stream.size());
  decodesBack(smallest);
  const std::vector<std::uint8_t> windowed = encode(true, 128);
  FUZZ_CHECK(windowed.size() <= stream.size());
  decodesBack(windowed);
  return 0;
}
