#include "archive/LzssDecoder.h"

namespace archive {

DecodeStatus DecodeEntry(RingBuffer& ring, std::uint32_t size, FileReader& in, FileWriter& out) {
  return DecodeEntry<FileReader, FileWriter>(ring, size, in, out);
}

}  // namespace archive
