// Walks any bytes as a payload archive, the way the installer does (one ring across the
// entries, stopping at a terminator entry or at the end of input), and decodes every
// stream twice: through a generic stream (byte by byte) and into a memory block (the
// whole-group path). Both must agree, and the decoder must keep its promises: never more
// bytes than the size, the whole size when it says the entry completed, and all the
// input consumed when it says the input ended.
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <vector>

#include "FuzzCheck.h"
#include "archive/ArchiveReader.h"
#include "archive/ByteStreams.h"
#include "archive/EntryKey.h"
#include "archive/EntryName.h"
#include "archive/LzssDecoder.h"

using namespace archive;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MemoryReader in(data, size);
  static RingBuffer ring;
  static RingBuffer other;
  std::memset(ring, 0, sizeof ring);
  std::memset(other, 0, sizeof other);
  std::vector<std::uint8_t> generic;
  std::vector<std::uint8_t> block;
  for (;;) {
    EntryHeader header;
    const std::uint64_t offset = in.Tell();
    const HeaderStatus status = ReadEntryHeader(in, header);
    if (status == HeaderStatus::EndOfArchive) {
      FUZZ_CHECK(offset == size);
      break;
    }
    if (status != HeaderStatus::Entry) {
      FUZZ_CHECK(in.Tell() == size);
      FUZZ_CHECK(header.name.size() <= header.nameLength);
      break;
    }
    FUZZ_CHECK(in.Tell() == offset + header.StoredLength());
    FUZZ_CHECK(header.name.size() <= header.nameLength);
    FUZZ_CHECK(header.name.find('\0') == Text::npos);
    if (IsSafeEntryName(header.name)) {
      FUZZ_CHECK(header.name.find('/') == Text::npos && header.name.find(':') == Text::npos);
      FUZZ_CHECK(header.name.front() != '\\');
      FUZZ_CHECK(EntryNameFault(header.name) == nullptr);
      // A key is its own key, and neither letter case nor trailing dots and spaces
      // change it. The key reads names as UTF-8, which the packer gives it; here any
      // bytes, which it must take too.
      const std::string key = EntryKey(header.name);
      FUZZ_CHECK(EntryKey(key) == key);
      FUZZ_CHECK(EntryKey(header.name + ". ") == key);
      std::string upper = header.name;
      for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      }
      FUZZ_CHECK(EntryKey(upper) == key);
    } else {
      FUZZ_CHECK(EntryNameFault(header.name) != nullptr);
    }
    if (header.IsTerminator()) break;

    const std::uint64_t streamStart = in.Tell();
    const std::size_t remaining = size - static_cast<std::size_t>(streamStart);
    generic.clear();
    VectorWriter genericOut(generic);
    const DecodeStatus genericStatus = DecodeEntry(ring, header.size, in, genericOut);
    const std::uint64_t consumed = in.Tell() - streamStart;

    // A stream can only grow about nine-fold (17 bytes of a group make at most 144).
    const std::uint64_t bound = static_cast<std::uint64_t>(remaining) * 9 + 18;
    block.assign(static_cast<std::size_t>(header.size < bound ? header.size : bound) + 1, 0);
    MemoryReader blockIn(data + streamStart, remaining);
    BufferWriter blockOut(block.data(), block.size());
    const DecodeStatus blockStatus = DecodeEntry(other, header.size, blockIn, blockOut);

    FUZZ_CHECK(genericStatus == blockStatus);
    FUZZ_CHECK(blockIn.Tell() == consumed);
    FUZZ_CHECK(!blockOut.Failed());
    FUZZ_CHECK(blockOut.Tell() == generic.size());
    FUZZ_CHECK(std::equal(generic.begin(), generic.end(), block.begin()));
    FUZZ_CHECK(std::memcmp(ring, other, sizeof ring) == 0);
    FUZZ_CHECK(generic.size() <= header.size);
    if (genericStatus == DecodeStatus::Complete) {
      FUZZ_CHECK(generic.size() == header.size);
    } else {
      FUZZ_CHECK(in.Tell() == size);
      break;
    }
  }
  return 0;
}
