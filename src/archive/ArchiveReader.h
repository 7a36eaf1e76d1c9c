#pragma once
// Walking a payload archive: a run of entries stored back to back, each a header
//   name length L (1 byte), name (L bytes, Shift-JIS, no terminating zero),
//   size (4 bytes, little-endian: the entry's length after decoding)
// followed by the entry's LZSS stream, whose end is found only by decoding it. There is
// no archive header, directory or end marker: the archive ends where the input ends.
#include <cstdint>
#include <cstring>

#include "base/Text.h"

namespace archive {

constexpr std::size_t kMaxNameLength = 255;
constexpr std::size_t kSizeFieldLength = 4;

struct EntryHeader {
  std::uint8_t nameLength = 0;  // the stored length byte
  Text name;                    // the stored name up to its first zero byte
  std::uint32_t size = 0;

  // An entry with an empty name or a size of 0 carries no stream and ends the archive
  // for the installer: nothing after its size field is read.
  bool IsTerminator() const { return name.empty() || size == 0; }
  // Bytes of the header as stored.
  std::size_t StoredLength() const { return 1 + nameLength + kSizeFieldLength; }
};

enum class HeaderStatus {
  Entry,         // a whole header was read
  EndOfArchive,  // the input ended where a header would start
  EndInName,     // the input ended inside the name (name holds what was read)
  EndInSize,     // the input ended inside the size field (name is complete)
};

// Reads the header that starts at the current position of `in`.
template <class In>
HeaderStatus ReadEntryHeader(In& in, EntryHeader& header) {
  header = EntryHeader();
  const int length = in.ReadByte();
  if (length < 0) return HeaderStatus::EndOfArchive;
  header.nameLength = static_cast<std::uint8_t>(length);
  // A name buffer one byte longer than the longest name, cleared first: a short read
  // leaves zeros behind, and the name ends at its first zero byte either way.
  char buffer[kMaxNameLength + 1];
  std::memset(buffer, 0, sizeof buffer);
  const std::size_t got = in.Read(buffer, header.nameLength);
  header.name.assign(buffer, std::strlen(buffer));
  if (got < header.nameLength) return HeaderStatus::EndInName;
  std::uint8_t size[kSizeFieldLength];
  if (in.Read(size, sizeof size) < sizeof size) return HeaderStatus::EndInSize;
  header.size = static_cast<std::uint32_t>(size[0]) | static_cast<std::uint32_t>(size[1]) << 8 |
                static_cast<std::uint32_t>(size[2]) << 16 |
                static_cast<std::uint32_t>(size[3]) << 24;
  return HeaderStatus::Entry;
}

// For messages: what a header status means.
const char* Describe(HeaderStatus status);

}  // namespace archive
