#include "app/NewFiles.h"

#include <fcntl.h>
#include <io.h>

#include <vector>

#include "app/Folders.h"

namespace {

// The real path of an open file or folder ("\\?\C:\..."), empty when the system
// cannot give it. Wide texts are kept in vectors: the library's wide string class
// would bring a large object of the C++ runtime into the program for these few uses.
WideText RealPath(HANDLE handle) {
  WideText buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return WideText();
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(length + 1);
  }
}

// The name as the file system stores it: Windows drops trailing dots and spaces.
WideText StoredName(const Text& name) {
  std::size_t end = name.size();
  while (end > 0 && (name[end - 1] == '.' || name[end - 1] == ' ')) --end;
  if (end == 0) return WideText();
  const int length = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(end), nullptr, 0);
  WideText wide(static_cast<std::size_t>(length > 0 ? length : 0));
  MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(end), wide.data(), length);
  return wide;
}

// True when `handle`'s real path is `folderReal` followed by `name`.
bool IsNamed(HANDLE handle, const WideText& folderReal, const Text& name) {
  const WideText real = RealPath(handle);
  const WideText stored = StoredName(name);
  if (real.empty() || folderReal.empty() || stored.empty()) return false;
  WideText expected = folderReal;
  if (expected.back() != L'\\') expected.push_back(L'\\');
  expected.insert(expected.end(), stored.begin(), stored.end());
  return CompareStringOrdinal(real.data(), static_cast<int>(real.size()), expected.data(),
                              static_cast<int>(expected.size()), TRUE) == CSTR_EQUAL;
}

DWORD AttributesOf(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  return GetFileInformationByHandle(handle, &info) ? info.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
}

// Marks an open file for removal when its last handle closes. The handle must have
// been opened as the object itself (never through a link), or a link's target goes.
bool RemoveWhenClosed(HANDLE handle) {
  FILE_DISPOSITION_INFO disposition{TRUE};
  return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

Text Join(const Text& folder, const Text& name) {
  const bool separated =
      !folder.empty() && folder.back() == '\\' && !sjis::IsTrailByte(folder, folder.size() - 1);
  return separated ? folder + name : folder + "\\" + name;
}

// Listing the folder takes part in sharing (reading attributes alone would not), so the
// missing delete sharing keeps others from removing or renaming it while it is held.
constexpr DWORD kFolderAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;
constexpr DWORD kFolderSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;

}  // namespace

bool THeldFolder::Open(const Text& path) {
  path_ = path;
  handle_.reset(CreateFileA(path.c_str(), kFolderAccess, kFolderSharing, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle_) return false;
  const DWORD attributes = AttributesOf(handle_.get());
  real_ = RealPath(handle_.get());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         !real_.empty();
}

THeldFolder::Outcome THeldFolder::OpenBelow(const THeldFolder& parent, const Text& name) {
  path_ = Join(parent.path_, name);
  if (GetFileAttributesA(path_.c_str()) == INVALID_FILE_ATTRIBUTES) MakeProtectedFolder(path_);
  // Opened as itself: a link is seen as a link, not as the folder it leads to.
  handle_.reset(CreateFileA(path_.c_str(), kFolderAccess, kFolderSharing, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!handle_) return Outcome::Failed;
  const DWORD attributes = AttributesOf(handle_.get());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Outcome::Failed;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return Outcome::Refused;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return Outcome::Failed;
  // Wine shows a linked folder opened as itself with the target's real path.
  if (!IsNamed(handle_.get(), parent.real_, name)) return Outcome::Refused;
  real_ = RealPath(handle_.get());
  return Outcome::Opened;
}

UniqueFile THeldFolder::CreateNewFile(const Text& name, ExistingLink links, DWORD share) const {
  const Text path = Join(path_, name);
  {
    UniqueFile existing(CreateFileA(path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                    nullptr));
    if (!existing) {
      // Anything but "nothing has that name" (in use, access denied) leaves it in place.
      if (GetLastError() != ERROR_FILE_NOT_FOUND) return UniqueFile();
    } else {
      const DWORD attributes = AttributesOf(existing.get());
      if (attributes == INVALID_FILE_ATTRIBUTES) return UniqueFile();
      if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // The link itself is open: removing it leaves its target alone.
        if (links == ExistingLink::Refuse) return UniqueFile();
      } else {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return UniqueFile();
        // Wine shows a linked file as its target, and would remove the target: a name
        // whose real path is elsewhere stays, and the file is not made.
        if (!IsNamed(existing.get(), real_, name)) return UniqueFile();
      }
      if (!RemoveWhenClosed(existing.get())) return UniqueFile();
    }
  }
  // CREATE_NEW fails on any name that exists, a link included, so nothing is followed.
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, share, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) return UniqueFile();
  const DWORD attributes = AttributesOf(file.get());
  const bool plain = attributes != INVALID_FILE_ATTRIBUTES &&
                     !(attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY));
  if (!plain || !IsNamed(file.get(), real_, name)) {
    RemoveWhenClosed(file.get());  // made new by this call, wherever it landed
    return UniqueFile();
  }
  return file;
}

std::FILE* CFileOf(UniqueFile file, bool forWriting) {
  const int descriptor =
      _open_osfhandle(reinterpret_cast<intptr_t>(file.get()), (forWriting ? _O_WRONLY : _O_RDONLY) | _O_BINARY);
  if (descriptor == -1) return nullptr;
  file.release();
  std::FILE* stream = _fdopen(descriptor, forWriting ? "wb" : "rb");
  if (stream == nullptr) _close(descriptor);
  return stream;
}
