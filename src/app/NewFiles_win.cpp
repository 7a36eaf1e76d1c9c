#include "app/NewFiles.h"

#include <fcntl.h>
#include <io.h>
#include <winternl.h>

#include <vector>

#include "app/FolderSecurity.h"
#include "app/PathText.h"

namespace {

constexpr NTSTATUS kNameNotFound = static_cast<NTSTATUS>(0xC0000034);
constexpr NTSTATUS kNameCollision = static_cast<NTSTATUS>(0xC0000035);
constexpr NTSTATUS kNoEntryPoint = static_cast<NTSTATUS>(0xC0000139);

// The longest paths that the system's path calls take: a file's, and a folder's, which
// must leave room for an 8.3 name in it. Made by name in a held folder, a file or folder
// could have a longer one, and then be out of reach of the programs that open it by path.
constexpr std::size_t kLongestFilePath = MAX_PATH;
constexpr std::size_t kLongestFolderPath = MAX_PATH - 12;

using NtCreateFileCall = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK,
                                          PLARGE_INTEGER, ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);

// Opens or creates `name`, one component, directly in the open folder `folder` with
// the system's native call. The name is looked up in that folder and nowhere else: its
// path is not walked again, so a link on the way that has been changed since the
// folder was opened leads nowhere. ntdll is in every process; nothing is loaded.
NTSTATUS OpenInFolder(HANDLE folder, const WideText& name, ACCESS_MASK access, ULONG attributes, ULONG share,
                      ULONG disposition, ULONG options, PSECURITY_DESCRIPTOR descriptor, UniqueFile& opened) {
  static NtCreateFileCall create = nullptr;
  if (create == nullptr) {
    create = reinterpret_cast<NtCreateFileCall>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtCreateFile")));
    if (create == nullptr) return kNoEntryPoint;
  }
  UNICODE_STRING text;
  text.Buffer = const_cast<PWSTR>(name.data());
  text.Length = text.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  OBJECT_ATTRIBUTES object;
  InitializeObjectAttributes(&object, &text, OBJ_CASE_INSENSITIVE, folder, descriptor);
  IO_STATUS_BLOCK io{};
  HANDLE handle = nullptr;
  // A synchronous handle, as the Win32 calls give, for the C runtime's reads and writes.
  const NTSTATUS status = create(&handle, access | SYNCHRONIZE, &object, &io, nullptr, attributes, share,
                                 disposition, options | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
  if (NT_SUCCESS(status)) opened.reset(handle);
  return status;
}

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

WideText Wide(const Text& text, std::size_t length) {
  const int count = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(length), nullptr, 0);
  WideText wide(static_cast<std::size_t>(count > 0 ? count : 0));
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(length), wide.data(), count);
  return wide;
}

// The name as the file system stores it: Windows drops trailing dots and spaces.
WideText StoredName(const Text& name) {
  std::size_t end = name.size();
  while (end > 0 && (name[end - 1] == '.' || name[end - 1] == ' ')) --end;
  if (end == 0) return WideText();
  WideText wide = Wide(name, end);
  // One name, never a path: the native call would take a separator for one.
  for (const wchar_t c : wide) {
    if (c == L'\\' || c == L'/') return WideText();
  }
  return wide;
}

// True when the two texts are equal, ignoring case as the file system does.
bool SameText(const wchar_t* a, std::size_t aLength, const wchar_t* b, std::size_t bLength) {
  return CompareStringOrdinal(a, static_cast<int>(aLength), b, static_cast<int>(bLength), TRUE) == CSTR_EQUAL;
}

// True when `handle`'s real path is `folderReal` followed by `stored`.
bool IsNamed(HANDLE handle, const WideText& folderReal, const WideText& stored) {
  const WideText real = RealPath(handle);
  if (real.empty() || folderReal.empty() || stored.empty()) return false;
  // A drive's root ends in a separator already.
  const std::size_t folderLength = folderReal.size() + (folderReal.back() == L'\\' ? 0 : 1);
  if (real.size() != folderLength + stored.size() || real[folderLength - 1] != L'\\') return false;
  return SameText(real.data(), folderReal.size(), folderReal.data(), folderReal.size()) &&
         SameText(real.data() + folderLength, stored.size(), stored.data(), stored.size());
}

// The attributes of an open file or folder. (The whole-information call would also ask
// for the volume's serial number, which costs far more under Wine.)
DWORD AttributesOf(HANDLE handle) {
  FILE_ATTRIBUTE_TAG_INFO info;
  return GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof info) ? info.FileAttributes
                                                                                       : INVALID_FILE_ATTRIBUTES;
}

// Marks an open file for removal when its last handle closes. The handle must have
// been opened as the object itself (never through a link), or a link's target goes.
bool RemoveWhenClosed(HANDLE handle) {
  FILE_DISPOSITION_INFO disposition{TRUE};
  return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

// The length of a path as the system counts it, in UTF-16 units.
std::size_t WideLength(const Text& path) { return Wide(path, path.size()).size(); }

// Listing the folder takes part in sharing (reading attributes alone would not), so the
// missing delete sharing keeps others from removing or renaming it while it is held.
constexpr DWORD kFolderAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;
constexpr DWORD kFolderSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
// Whatever already has a name is opened as itself: a link as the link.
constexpr ULONG kAsItself = FILE_OPEN_REPARSE_POINT | FILE_OPEN_FOR_BACKUP_INTENT;

// The security descriptor of the folders made below the install folder, made once.
UniqueLocalMemory folderDescriptor;

}  // namespace

bool THeldFolder::Open(const Text& path) {
  path_ = path;
  handle_.reset(CreateFileA(path.c_str(), kFolderAccess, kFolderSharing, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle_) return false;
  const DWORD attributes = AttributesOf(handle_.get());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         !RealPath().empty();
}

const WideText& THeldFolder::RealPath() const {
  // Held, the folder cannot be renamed or moved: its real path stays what it was.
  if (real_.empty()) real_ = ::RealPath(handle_.get());
  return real_;
}

THeldFolder::Outcome THeldFolder::OpenBelow(const THeldFolder& parent, const Text& name) {
  path_ = JoinPath(parent.path_, name);
  const WideText stored = StoredName(name);
  if (stored.empty() || WideLength(path_) > kLongestFolderPath) return Outcome::Failed;
  // A folder made here now is new and nobody else's: there is nothing to check.
  if (!folderDescriptor) folderDescriptor = ProtectedFolderDescriptor();
  if (!folderDescriptor) return Outcome::Failed;
  const NTSTATUS made = OpenInFolder(parent.handle_.get(), stored, kFolderAccess, FILE_ATTRIBUTE_NORMAL,
                                     kFolderSharing, FILE_CREATE, FILE_DIRECTORY_FILE, folderDescriptor.get(), handle_);
  if (NT_SUCCESS(made)) return Outcome::Opened;
  if (made != kNameCollision) return Outcome::Failed;
  // Something has the name already.
  if (!NT_SUCCESS(OpenInFolder(parent.handle_.get(), stored, kFolderAccess, 0, kFolderSharing, FILE_OPEN,
                               kAsItself, nullptr, handle_))) {
    return Outcome::Failed;
  }
  const DWORD attributes = AttributesOf(handle_.get());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Outcome::Failed;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return Outcome::Refused;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return Outcome::Failed;
  // Wine shows a linked folder opened as itself with the target's real path.
  if (!IsNamed(handle_.get(), parent.RealPath(), stored)) return Outcome::Refused;
  return Outcome::Opened;
}

UniqueFile THeldFolder::CreateNewFile(const Text& name, ExistingLink links, DWORD share) const {
  const WideText stored = StoredName(name);
  if (stored.empty() || WideLength(JoinPath(path_, name)) > kLongestFilePath) return UniqueFile();
  // FILE_CREATE fails on any name that exists, a link included, so nothing is followed;
  // and the name is looked up in the held folder itself.
  const auto create = [&](UniqueFile& file) {
    return OpenInFolder(handle_.get(), stored, GENERIC_READ | GENERIC_WRITE | DELETE, FILE_ATTRIBUTE_NORMAL, share,
                        FILE_CREATE, FILE_NON_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT, nullptr, file);
  };
  UniqueFile file;
  const NTSTATUS made = create(file);
  if (NT_SUCCESS(made)) return file;
  if (made != kNameCollision) return UniqueFile();
  {
    UniqueFile existing;
    const NTSTATUS opened = OpenInFolder(handle_.get(), stored, DELETE | FILE_READ_ATTRIBUTES, 0,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN,
                                         kAsItself, nullptr, existing);
    // Anything but "nothing has that name" (in use, access denied) leaves it in place;
    // the name that went meanwhile is made below.
    if (!NT_SUCCESS(opened)) {
      if (opened != kNameNotFound) return UniqueFile();
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
        if (!IsNamed(existing.get(), RealPath(), stored)) return UniqueFile();
      }
      if (!RemoveWhenClosed(existing.get())) return UniqueFile();
    }
  }
  if (!NT_SUCCESS(create(file))) return UniqueFile();
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
