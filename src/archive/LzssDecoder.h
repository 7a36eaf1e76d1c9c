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

// Copies a match of `length` (3 to 18) bytes that starts `distance` bytes back in
// `output`, byte k after bytes 0..k-1 are written, as the ring would give them. Eight
// bytes at a time when the source lies at least eight bytes back: every byte that a
// block reads is then written already. May write up to 7 bytes past the match, which
// the caller leaves room for and overwrites later.
inline void CopyFromHistory(std::uint8_t* output, unsigned distance, unsigned length) {
  const std::uint8_t* source = output - distance;
  if (distance >= 8) {
    for (unsigned k = 0; k < length; k += 8) {
      std::uint64_t block;
      std::memcpy(&block, source + k, 8);
      std::memcpy(output + k, &block, 8);
    }
  } else {
    for (unsigned k = 0; k < length; ++k) output[k] = source[k];
  }
}

// Writes the bytes [from, to) of the output, which ended at ring position `write`, into
// the ring: the last 4096 of them, at the positions they were written at.
inline void StoreInRing(std::uint8_t* ring, unsigned write, const std::uint8_t* from,
                        const std::uint8_t* to) {
  std::size_t count = static_cast<std::size_t>(to - from);
  if (count > kRingSize) {
    from = to - kRingSize;
    count = kRingSize;
  }
  const unsigned start = (write - static_cast<unsigned>(count)) & kRingMask;
  const std::size_t first = count < kRingSize - start ? count : kRingSize - start;
  std::memcpy(ring + start, from, first);
  std::memcpy(ring, from + first, count - first);
}

}  // namespace detail

// Decodes one entry of `size` bytes from `in` to `out`, working on `ring`.
//
// Reads nothing past the token that completes the entry (in particular no flag byte
// after a group's eighth token), stops at the first end of input, and cuts a match that
// would run past `size`. `out`'s own state tells whether its writes succeeded.
//
// Two paths, with the same results. When a whole group is buffered, there is room for
// all it can produce, and the entry cannot end inside it, the group is decoded on the
// buffers directly: a match that lies within what this entry has written to the output
// buffer copies from there, and the ring is brought up to date only before it is read
// (a match further back, into the cleared or carried-over positions) and when the fast
// path is left. Otherwise one token at a time through the cursors, ring and all.
template <class In, class Out>
DecodeStatus DecodeEntry(RingBuffer& ring, std::uint32_t size, In& in, Out& out) {
  // The longest a group can be: a flag byte and eight matches; the most it decodes to;
  // and the room that needs, with the 7 bytes a match may write past its end.
  constexpr std::size_t kLongestGroup = 1 + 8 * 2;
  constexpr std::uint32_t kLargestGroupOutput = 8 * kMaxMatch;
  constexpr std::size_t kGroupRoom = kLargestGroupOutput + 7;

  ReadCursor<In> source(in);
  WriteCursor<Out> sink(out);
  std::memset(ring, 0, kFirstWritePosition);
  unsigned write = kFirstWritePosition;
  // The flag byte sits in bits 0..7 with eight set bits above it; each token shifts it
  // right once, so bit 8 is clear again exactly when the group's eight tokens are used.
  unsigned flags = 0;
  std::uint32_t missing = size;
  // While groups are decoded on the buffers: the output this entry wrote to the buffer
  // since the last token-at-a-time step (history), and how much of it the ring lacks.
  std::uint8_t* history = nullptr;
  std::uint8_t* unstored = nullptr;
  auto storeHistory = [&](std::uint8_t* to) {
    if (unstored != nullptr) detail::StoreInRing(ring, write, unstored, to);
    unstored = to;
  };
  while (missing != 0) {
    flags >>= 1;
    if ((flags & 0x100u) == 0) {
      if (missing >= kLargestGroupOutput && source.Available() >= kLongestGroup &&
          sink.Room() >= kGroupRoom) {
        const std::uint8_t* from = source.Data();
        std::uint8_t* to = sink.Data();
        const std::uint8_t* const groupStart = from;
        std::uint8_t* const outputStart = to;
        if (history == nullptr) history = unstored = to;
        unsigned groupFlags = *from++;
        for (int token = 0; token < 8; ++token, groupFlags >>= 1) {
          if (groupFlags & 1u) {
            *to++ = *from++;
            write = (write + 1) & kRingMask;
            continue;
          }
          const unsigned b0 = from[0];
          const unsigned b1 = from[1];
          from += 2;
          unsigned position = b0 | (b1 & 0xF0u) << 4;
          const unsigned length = (b1 & 0x0Fu) + kMatchThreshold + 1;
          // How far back the source is: 1 to 4096 (the write position itself holds the
          // byte written 4096 bytes ago).
          const unsigned distance = ((write - position - 1) & kRingMask) + 1;
          if (distance <= static_cast<std::size_t>(to - history)) {
            detail::CopyFromHistory(to, distance, length);
            to += length;
            write = (write + length) & kRingMask;
          } else {
            storeHistory(to);
            for (unsigned k = 0; k < length; ++k) {
              const std::uint8_t byte = ring[position];
              position = (position + 1) & kRingMask;
              *to++ = byte;
              ring[write] = byte;
              write = (write + 1) & kRingMask;
            }
            unstored = to;
          }
        }
        source.Skip(static_cast<std::size_t>(from - groupStart));
        sink.Advance(static_cast<std::size_t>(to - outputStart));
        missing -= static_cast<std::uint32_t>(to - outputStart);
        flags = 0;  // the group is used up
        continue;
      }
      // Token at a time from here: the ring must be whole, and the buffers may move.
      if (history != nullptr) {
        storeHistory(sink.Data());
        history = unstored = nullptr;
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
  if (history != nullptr) storeHistory(sink.Data());
  return DecodeStatus::Complete;
}

// The pairing the installer uses: the archive file into an output file.
DecodeStatus DecodeEntry(RingBuffer& ring, std::uint32_t size, FileReader& in, FileWriter& out);

}  // namespace archive
