#include "archive/ArchiveWriter.h"

#include "archive/EntryName.h"

namespace archive {

EntryProblem CheckEntry(const Text& name, std::uint64_t size) {
  if (name.size() > kMaxNameLength) return EntryProblem::NameTooLong;
  if (!IsSafeEntryName(name)) return EntryProblem::UnsafeName;
  if (size == 0) return EntryProblem::EmptyFile;
  if (size > 0xFFFFFFFFu) return EntryProblem::FileTooLarge;
  return EntryProblem::Storable;
}

const char* Describe(EntryProblem problem) {
  switch (problem) {
    case EntryProblem::Storable:
      return "can be stored";
    case EntryProblem::NameTooLong:
      return "the name is longer than 255 bytes in Shift-JIS";
    case EntryProblem::UnsafeName:
      return "the name would be refused by the installer";
    case EntryProblem::EmptyFile:
      return "the file is empty (a size of 0 marks the end of an archive)";
    case EntryProblem::FileTooLarge:
      return "the file is larger than 4 GiB - 1 bytes";
  }
  return "?";
}

}  // namespace archive
