// lzss_baseline: the benchmark's baselines as a program of their own, so that they can
// be timed as whole processes beside tlzpack.
//   lzss_baseline encode INPUT OUTPUT
//   lzss_baseline decode INPUT OUTPUT SIZE
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "BaselineDecoder.h"
#include "BaselineEncoder.h"

int main(int argc, char** argv) {
  const bool encode = argc == 4 && std::strcmp(argv[1], "encode") == 0;
  const bool decode = argc == 5 && std::strcmp(argv[1], "decode") == 0;
  if (!encode && !decode) {
    std::fprintf(stderr, "usage: lzss_baseline encode INPUT OUTPUT | decode INPUT OUTPUT SIZE\n");
    return 2;
  }
  std::FILE* in = std::fopen(argv[2], "rb");
  std::FILE* out = std::fopen(argv[3], "wb");
  if (in == nullptr || out == nullptr) {
    std::fprintf(stderr, "lzss_baseline: cannot open %s or %s\n", argv[2], argv[3]);
    return 1;
  }
  if (encode) {
    BaselineEncode(in, out);
  } else {
    static std::uint8_t ring[4096];
    BaselineDecode(ring, static_cast<std::uint32_t>(std::strtoul(argv[4], nullptr, 10)), in, out);
  }
  std::fclose(in);
  return std::fclose(out) == 0 ? 0 : 1;
}
