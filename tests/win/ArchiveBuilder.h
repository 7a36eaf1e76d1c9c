#pragma once
// Payload archives made in memory for the tests, with the packer's encoder.
#include <cstdint>
#include <string>
#include <vector>

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

TestArchive BuildArchive(const std::vector<TestEntry>& entries);
// Some compressible bytes of the given length: text with repetitions, then noise.
std::string SampleContent(std::size_t length, unsigned seed);
