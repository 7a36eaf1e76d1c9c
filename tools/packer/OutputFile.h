#pragma once
// A file that appears whole or not at all: it is written under a temporary name beside
// its place and moved there by Commit. Until then the place keeps what it held, and
// when the writing fails or is cut short by an exception (out of memory), the temporary
// file is removed: nothing is left behind.
#include <string>

#include "archive/ByteStreams.h"

namespace packer {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Creates the temporary file beside `path`. False, with errno telling why, when it
  // cannot be created or `path` is a folder.
  bool Open(const std::string& path);
  archive::FileWriter& Writer() { return writer_; }
  // Closes the temporary file and moves it to its place. False, with nothing left
  // behind, when a write, the close or the move failed.
  bool Commit();

 private:
  void Discard();

  std::string path_;
  std::string temporary_;  // empty when there is none
  archive::FileWriter writer_;
};

}  // namespace packer
