#include <windows.h>

#include "base/Exceptions.h"
#include "app/FolderSecurity.h"
#include "app/Folders.h"
#include "app/PathText.h"
#include "base/Handle.h"

Text ExecutablePath() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  return Text(buffer, length < sizeof buffer ? length : sizeof buffer - 1);
}

int CompareTextNoCase(const Text& a, const Text& b) {
  const int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(),
                                    static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
  return result - CSTR_EQUAL;  // CSTR_LESS_THAN 1, CSTR_EQUAL 2, CSTR_GREATER_THAN 3
}

bool FolderExists(const Text& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeFolder(const Text& path) { return CreateDirectoryA(path.c_str(), nullptr) != FALSE; }

bool MakeProtectedFolder(const Text& path) {
  const UniqueLocalMemory descriptor = ProtectedFolderDescriptor();
  if (!descriptor) return false;
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
  return CreateDirectoryA(path.c_str(), &attributes) != FALSE;
}

bool MakeFolderPath(const Text& path) {
  if (path.empty()) throw Exception("ディレクトリを作成することができません");
  Text folder = path;
  if (folder.back() == '\\' && !sjis::IsTrailByte(folder, folder.size() - 1)) folder.pop_back();
  if (folder.size() < 3) return true;
  if (FolderExists(folder)) return true;
  const Text parent = FolderPrefix(folder);
  if (parent == folder) return true;
  return MakeFolderPath(parent) && MakeProtectedFolder(folder);
}

bool IsExistingFile(const Text& path) {
  WIN32_FIND_DATAA data;
  UniqueFind search(FindFirstFileA(path.c_str(), &data));
  if (!search) return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  FILETIME local;
  WORD dosDate = 0, dosTime = 0;
  return FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) &&
         FileTimeToDosDateTime(&local, &dosDate, &dosTime);
}

void ChangeFolder(const Text& path) {
  if (!SetCurrentDirectoryA(path.c_str())) throw EInOutError(static_cast<int>(GetLastError()));
}

Text CurrentFolder(int drive) {
  char buffer[MAX_PATH] = {};
  if (drive == 0) {
    GetCurrentDirectoryA(sizeof buffer, buffer);
    return buffer;
  }
  char saved[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof saved, saved);
  const char bare[3] = {static_cast<char>(64 + drive), ':', '\0'};
  SetCurrentDirectoryA(bare);
  GetCurrentDirectoryA(sizeof buffer, buffer);
  SetCurrentDirectoryA(saved);
  return buffer;
}
