#include "archive/ArchiveReader.h"

namespace archive {

const char* Describe(HeaderStatus status) {
  switch (status) {
    case HeaderStatus::Entry:
      return "entry header";
    case HeaderStatus::EndOfArchive:
      return "end of archive";
    case HeaderStatus::EndInName:
      return "archive ends inside an entry name";
    case HeaderStatus::EndInSize:
      return "archive ends inside an entry's size field";
  }
  return "?";
}

}  // namespace archive
