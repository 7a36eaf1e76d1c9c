#pragma once
// The plain way to decode an entry: getc and putc on C runtime files, one byte at a
// time. The benchmark measures the codec's decoder against it.
#include <cstdint>
#include <cstdio>

// Decodes `size` bytes from `in` to `out` with `ring` (positions 0..4077 cleared,
// writing from 4078). Returns the number of bytes written.
std::uint32_t BaselineDecode(std::uint8_t (&ring)[4096], std::uint32_t size, std::FILE* in,
                             std::FILE* out);
