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

namespace detail {

// Copies a match of 3 to 18 bytes from `source` in the ring to both `ring` (its write
// position) and `output`, when no byte of the source is one that this match writes
// before reading it: all loads come first, then the stores. A few fixed-size copies
// that may overlap each other cover every length, and touch no byte outside the match.
inline void CopyMatch(std::uint8_t* ring, std::uint8_t* output, const std::uint8_t* source,
                      unsigned length) {
  if (length >= 8) {
    std::uint64_t first, middle = 0, last;
    std::memcpy(&first, source, 8);
    if (length > 16) std::memcpy(&middle, source + 8, 8);
    std::memcpy(&last, source + length - 8, 8);
    std::memcpy(ring, &first, 8);
    std::memcpy(output, &first, 8);
    if (length > 16) {
      std::memcpy(ring + 8, &middle, 8);
      std::memcpy(output + 8, &middle, 8);
    }
    std::memcpy(ring + length - 8, &last, 8);
    std::memcpy(output + length - 8, &last, 8);
  } else if (length >= 4) {
    std::uint32_t first, last;
    std::memcpy(&first, source, 4);
    std::memcpy(&last, source + length - 4, 4);
    std::memcpy(ring, &first, 4);
    std::memcpy(output, &first, 4);
    std::memcpy(ring + length - 4, &last, 4);
    std::memcpy(output + length - 4, &last, 4);
  } else {
    const std::uint8_t a = source[0], b = source[1], c = source[2];
    ring[0] = output[0] = a;
    ring[1] = output[1] = b;
    ring[2] = output[2] = c;
  }
}

}  // namespace detail

// Decodes one entry of `size` bytes from `in` to `out`, working on `ring`.
//
// Reads nothing past the token that completes the entry (in particular no flag byte
// after a group's eighth token), stops at the first end of input, and cuts a match that
// would run past `size`. `out`'s own state tells whether its writes succeeded.
template <class In, class Out>
DecodeStatus DecodeEntry(RingBuffer& ring, std::uint32_t size, In& in, Out& out) {
  // The longest a group can be: a flag byte and eight matches; and the most it decodes to.
  constexpr std::size_t kLongestGroup = 1 + 8 * 2;
  constexpr std::uint32_t kLargestGroupOutput = 8 * kMaxMatch;

  ReadCursor<In> source(in);
  WriteCursor<Out> sink(out);
  std::memset(ring, 0, kFirstWritePosition);
  unsigned write = kFirstWritePosition;
  // The flag byte sits in bits 0..7 with eight set bits above it; each token shifts it
  // right once, so bit 8 is clear again exactly when the group's eight tokens are used.
  unsigned flags = 0;
  std::uint32_t missing = size;
  while (missing != 0) {
    flags >>= 1;
    if ((flags & 0x100u) == 0) {
      // At the start of a group. When the whole group is buffered, there is room for
      // all it can produce, and the entry cannot end inside it, decode it without the
      // per-byte checks: the same steps, on the buffers directly.
      if (missing >= kLargestGroupOutput && source.Available() >= kLongestGroup &&
          sink.Room() >= kLargestGroupOutput) {
        const std::uint8_t* from = source.Data();
        std::uint8_t* to = sink.Data();
        const std::uint8_t* const groupStart = from;
        std::uint8_t* const outputStart = to;
        unsigned groupFlags = *from++;
        for (int token = 0; token < 8; ++token, groupFlags >>= 1) {
          if (groupFlags & 1u) {
            const std::uint8_t byte = *from++;
            *to++ = byte;
            ring[write] = byte;
            write = (write + 1) & kRingMask;
          } else {
            const unsigned b0 = from[0];
            const unsigned b1 = from[1];
            from += 2;
            unsigned position = b0 | (b1 & 0xF0u) << 4;
            const unsigned length = (b1 & 0x0Fu) + kMatchThreshold + 1;
            // How far the write position is ahead of the source. Byte k is read after
            // bytes 0..k-1 are written; it is one of them only when 0 < distance <= k.
            const unsigned distance = (write - position) & kRingMask;
            if (position + length <= kRingSize && write + length <= kRingSize &&
                (distance >= length || distance == 0)) {
              // Neither end wraps round the ring and the match reads no byte that it
              // has written itself: loading everything first gives the same bytes.
              detail::CopyMatch(ring + write, to, ring + position, length);
              write = (write + length) & kRingMask;
              to += length;
            } else if (position + length <= kRingSize && write + length <= kRingSize) {
              // No wrap, but the match repeats what it writes: one byte at a time.
              for (unsigned k = 0; k < length; ++k) {
                const std::uint8_t byte = ring[position + k];
                to[k] = byte;
                ring[write + k] = byte;
              }
              write = (write + length) & kRingMask;
              to += length;
            } else {
              for (unsigned k = 0; k < length; ++k) {
                const std::uint8_t byte = ring[position];
                position = (position + 1) & kRingMask;
                *to++ = byte;
                ring[write] = byte;
                write = (write + 1) & kRingMask;
              }
            }
          }
        }
        source.Skip(static_cast<std::size_t>(from - groupStart));
        sink.Advance(static_cast<std::size_t>(to - outputStart));
        missing -= static_cast<std::uint32_t>(to - outputStart);
        flags = 0;  // the group is used up
        continue;
      }
      const int c = source.Get();
      if (c < 0) return DecodeStatus::InputEnded;
      flags = static_cast<unsigned>(c) | 0xFF00u;
    }
    if (flags & 1u) {
      const int c = source.Get();
      if (c < 0) return DecodeStatus::InputEnded;
      const auto byte = static_cast<std::uint8_t>(c);
      sink.Put(byte);
      ring[write] = byte;
      write = (write + 1) & kRingMask;
      --missing;
    } else {
      const int b0 = source.Get();
      if (b0 < 0) return DecodeStatus::InputEnded;
      const int b1 = source.Get();
      if (b1 < 0) return DecodeStatus::InputEnded;
      unsigned position = static_cast<unsigned>(b0) | (static_cast<unsigned>(b1) & 0xF0u) << 4;
      std::uint32_t length = (static_cast<unsigned>(b1) & 0x0Fu) + kMatchThreshold + 1;
      if (length > missing) length = missing;
      missing -= length;
      // One byte at a time: a match may read what it has just written.
      do {
        const std::uint8_t byte = ring[position];
        position = (position + 1) & kRingMask;
        sink.Put(byte);
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
