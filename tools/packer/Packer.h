#pragma once
// The commands of tlzpack as functions: each writes its report to `out`, its complaints
// to `err`, and returns the process exit code.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace packer {

enum ExitCode {
  kSuccess = 0,
  kBadInput = 1,  // a file or archive that cannot be used, or a failed write
  kBadUsage = 2,  // a malformed command line
};

struct Console {
  std::ostream& out;
  std::ostream& err;
  // Whether to keep a progress line on `err` while large inputs are being coded.
  bool progress = false;
};

// How pack and encode choose their tokens: the classic encoder's streams byte for byte,
// or the smallest streams the encoder can find (never larger).
enum class Coding { Classic, Smallest };

// One input of `pack`: "FILE" (stored under its own file name) or "NAME=FILE".
struct PackInput {
  std::string name;  // UTF-8, folder names joined with "\"
  std::string path;
};
PackInput ParsePackInput(const std::string& argument);

// Writes an archive of the inputs, in order. Nothing is written when any input cannot be
// stored, and the archive appears only when it is whole (see OutputFile): a failure, out
// of memory too, leaves a file already at its place as it was.
int Pack(const std::string& archive, const std::vector<PackInput>& inputs, Console& console,
         Coding coding = Coding::Classic);
// One line per entry (name, size, stream length, offset), then a total.
int List(const std::string& archive, Console& console);
// Decodes every entry and checks that the archive is exactly what the installer expects.
int Verify(const std::string& archive, Console& console);
// Writes the entries below `folder` (created when missing).
int Extract(const std::string& archive, const std::string& folder, Console& console);
// The bare LZSS stream of one file (written whole or not at all, as by Pack), and back.
int EncodeFile(const std::string& input, const std::string& output, Console& console,
               Coding coding = Coding::Classic);
int DecodeFile(const std::string& input, const std::string& output, std::uint32_t size,
               Console& console);

}  // namespace packer
