#pragma once
// The LZSS stream of one archive entry and its decoder.
//
// The dictionary is a 4096-byte ring owned by the caller. It is kept across entries: at
// the start of each entry positions 0..4077 are cleared and positions 4078..4095 keep
// what the previous entry left there; the write position starts at 4078. A stream is a
// run of groups, each a flag byte (bits from the lowest up: 1 literal, 0 match) and up
// to eight tokens. A literal is one byte; a match is two bytes B0 B1 naming the absolute
// ring position B0 | (B1 & 0xF0) << 4 and the length (B1 & 0x0F) + 3.
#include <cstdint>
#include <cstring>

#include "archive/ByteStreams.h"

namespace archive {

constexpr unsigned kRingSize = 4096;
constexpr unsigned kRingMask = kRingSize - 1;
constexpr unsigned kMaxMatch = 18;
// Matches this long or shorter are not worth a token; the shortest match is 3.
constexpr unsigned kMatchThreshold = 2;
// Where each entry starts writing, and the first position that is not cleared.
constexpr unsigned kFirstWritePosition = kRingSize - kMaxMatch;

using RingBuffer = std::uint8_t[kRingSize];

enum class DecodeStatus {
  Complete,    // exactly `size` bytes were written
  InputEnded,  // the input ended first; what was decoded so far was written
};

// Decodes one entry of `size` bytes from `in` to `out`, working on `ring`.
//
// Reads nothing past the token that completes the entry (in particular no flag byte
// after a group's eighth token), stops at the first end of input, and cuts a match that
// would run past `size`. `out`'s own state tells whether its writes succeeded.
template <class In, class Out>
DecodeStatus DecodeEntry(RingBuffer& ring, std::uint32_t size, In& in, Out& out) {
  std::memset(ring, 0, kFirstWritePosition);
  unsigned write = kFirstWritePosition;
  // The flag byte sits in bits 0..7 with eight set bits above it; each token shifts it
  // right once, so bit 8 is clear again exactly when the group's eight tokens are used.
  unsigned flags = 0;
  std::uint32_t missing = size;
  while (missing != 0) {
    flags >>= 1;
    if ((flags & 0x100u) == 0) {
      const int c = in.ReadByte();
      if (c < 0) return DecodeStatus::InputEnded;
      flags = static_cast<unsigned>(c) | 0xFF00u;
    }
    if (flags & 1u) {
      const int c = in.ReadByte();
      if (c < 0) return DecodeStatus::InputEnded;
      const auto byte = static_cast<std::uint8_t>(c);
      out.WriteByte(byte);
      ring[write] = byte;
      write = (write + 1) & kRingMask;
      --missing;
    } else {
      const int b0 = in.ReadByte();
      if (b0 < 0) return DecodeStatus::InputEnded;
      const int b1 = in.ReadByte();
      if (b1 < 0) return DecodeStatus::InputEnded;
      unsigned from = static_cast<unsigned>(b0) | (static_cast<unsigned>(b1) & 0xF0u) << 4;
      std::uint32_t length = (static_cast<unsigned>(b1) & 0x0Fu) + kMatchThreshold + 1;
      if (length > missing) length = missing;
      missing -= length;
      // One byte at a time: a match may read what it has just written.
      do {
        const std::uint8_t byte = ring[from];
        from = (from + 1) & kRingMask;
        out.WriteByte(byte);
        ring[write] = byte;
        write = (write + 1) & kRingMask;
      } while (--length != 0);
    }
  }
  return DecodeStatus::Complete;
}

// The pairing the installer uses: the archive file into an output file.
DecodeStatus DecodeEntry(RingBuffer& ring, std::uint32_t size, FileReader& in, FileWriter& out);

}  // namespace archive
