#include "ArchiveBuilder.h"

#include "archive/ArchiveWriter.h"
#include "archive/ByteStreams.h"
#include "archive/LzssEncoder.h"

TestArchive BuildArchive(const std::vector<TestEntry>& entries) {
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

std::string SampleContent(std::size_t length, unsigned seed) {
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
