#include "BaselineDecoder.h"

#include <cstring>

std::uint32_t BaselineDecode(std::uint8_t (&ring)[4096], std::uint32_t size, std::FILE* in,
                             std::FILE* out) {
  std::memset(ring, 0, 4078);
  unsigned r = 4078;
  unsigned flags = 0;
  std::uint32_t count = 0;
  while (count < size) {
    flags >>= 1;
    if ((flags & 256) == 0) {
      const int c = std::getc(in);
      if (c == EOF) break;
      flags = static_cast<unsigned>(c) | 0xFF00;
    }
    if (flags & 1) {
      const int c = std::getc(in);
      if (c == EOF) break;
      std::putc(c, out);
      ring[r++] = static_cast<std::uint8_t>(c);
      r &= 4095;
      ++count;
    } else {
      int i = std::getc(in);
      if (i == EOF) break;
      int j = std::getc(in);
      if (j == EOF) break;
      i |= (j & 0xF0) << 4;
      j = (j & 0x0F) + 2;
      for (int k = 0; k <= j && count < size; ++k) {
        const int c = ring[(i + k) & 4095];
        std::putc(c, out);
        ring[r++] = static_cast<std::uint8_t>(c);
        r &= 4095;
        ++count;
      }
    }
  }
  return count;
}
