#include "OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace packer {

OutputFile::~OutputFile() { Discard(); }

bool OutputFile::Open(const std::string& path) {
  Discard();
  struct stat existing;
  if (stat(path.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
    errno = EISDIR;
    return false;
  }
  // ".NAME.XXXXXX" in the same folder, so that the move is a rename within one file
  // system, which replaces the place's old file in one step.
  const std::size_t slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  std::string pattern = path.substr(0, nameStart) + "." + path.substr(nameStart) + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) return false;
  // mkstemp makes the file private to its owner; the output gets the permissions a newly
  // created file would have.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  close(fd);
  temporary_ = name.data();
  path_ = path;
  if (!writer_.Open(Text(temporary_))) {
    const int error = errno;
    Discard();
    errno = error;
    return false;
  }
  return true;
}

bool OutputFile::Commit() {
  if (temporary_.empty()) return false;
  if (!writer_.Close() || std::rename(temporary_.c_str(), path_.c_str()) != 0) {
    const int error = errno;
    Discard();
    errno = error;
    return false;
  }
  temporary_.clear();
  return true;
}

void OutputFile::Discard() {
  if (temporary_.empty()) return;
  writer_.Close();
  std::remove(temporary_.c_str());
  temporary_.clear();
}

}  // namespace packer
