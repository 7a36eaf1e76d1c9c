#pragma once
// Writing payload archive entries: the header, then the entry's LZSS stream.
#include <cstdint>

#include "base/Text.h"
#include "archive/ArchiveReader.h"
#include "archive/LzssEncoder.h"

namespace archive {

// Why an entry cannot be stored; Storable when it can.
enum class EntryProblem {
  Storable,
  NameTooLong,   // over 255 bytes
  UnsafeName,    // rejected by IsSafeEntryName
  EmptyFile,     // a size of 0 would read as a terminator entry
  FileTooLarge,  // over 4 GiB - 1
};

EntryProblem CheckEntry(const Text& name, std::uint64_t size);
const char* Describe(EntryProblem problem);

// Writes the header of an entry; the caller has checked the entry with CheckEntry.
template <class Out>
void WriteEntryHeader(Out& out, const Text& name, std::uint32_t size) {
  out.WriteByte(static_cast<std::uint8_t>(name.size()));
  for (const char c : name) out.WriteByte(static_cast<std::uint8_t>(c));
  for (int shift = 0; shift < 32; shift += 8) {
    out.WriteByte(static_cast<std::uint8_t>(size >> shift));
  }
}

}  // namespace archive
