// Runs a fuzz target on the files named on the command line, without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::ifstream f(argv[i], std::ios::binary);
    if (!f) {
      std::fprintf(stderr, "cannot open %s\n", argv[i]);
      return 1;
    }
    const std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(f), {});
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    std::printf("%s: ok\n", argv[i]);
  }
  return 0;
}
