#pragma once
// The plain way to encode an entry: the classic binary-tree LZSS search (ring of 4096,
// matches of 3 to 18, threshold 2, the ring in front of the first byte zero-filled),
// written straightforwardly over getc and putc. The benchmark measures the codec's
// byte-exact encoder against it; both must write the same stream.
#include <cstdint>
#include <cstdio>

// Encodes everything `in` yields into `out`. Returns the number of bytes read.
std::uint64_t BaselineEncode(std::FILE* in, std::FILE* out);
