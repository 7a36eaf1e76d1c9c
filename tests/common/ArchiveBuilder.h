#pragma once
// Payload archives made in memory for the tests, as the packer lays them out: each
// entry's header, then its stream from the encoder. Portable; used by both trees.
#include <cstdint>
#include <string>
#include <vector>

#include "archive/ArchiveWriter.h"
#include "archive/ByteStreams.h"
#include "archive/LzssEncoder.h"
#include "base/Text.h"

struct TestEntry {
  Text name;
  std::string content;
  // When set, the size field says this instead of the content's length (0 makes a
  // terminator entry that carries no stream).
  long long sizeField = -1;
};

// The archive bytes, and the offset just after each entry (where the next one starts).
struct TestArchive {
  std::string bytes;
  std::vector<std::uint64_t> ends;
};

inline TestArchive BuildArchive(const std::vector<TestEntry>& entries) {
  std::vector<std::uint8_t> out;
  archive::VectorWriter writer(out);
  TestArchive result;
  archive::LzssEncoder encoder;
  for (const TestEntry& entry : entries) {
    const auto size = static_cast<std::uint32_t>(
        entry.sizeField >= 0 ? static_cast<std::uint64_t>(entry.sizeField) : entry.content.size());
    archive::WriteEntryHeader(writer, entry.name, size);
    if (!entry.name.empty() && size != 0) {
      archive::MemoryReader reader(entry.content.data(), entry.content.size());
      encoder.Encode(reader, writer);
    }
    result.ends.push_back(out.size());
  }
  result.bytes.assign(out.begin(), out.end());
  return result;
}

// Some compressible bytes of the given length: text with repetitions, then noise.
inline std::string SampleContent(std::size_t length, unsigned seed) {
  std::string text;
  unsigned state = seed * 2654435761u + 1;
  while (text.size() < length) {
    state = state * 1103515245u + 12345u;
    if ((state >> 16) % 3 == 0) {
      text += "領収書 No. " + std::to_string(state % 1000) + "\r\n";
    } else {
      text += static_cast<char>(state >> 24);
    }
  }
  text.resize(length);
  return text;
}
