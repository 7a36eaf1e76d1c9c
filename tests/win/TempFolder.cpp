#include "TempFolder.h"

#include <cstdio>

#include "base/Handle.h"

TempFolder::TempFolder() {
  static int counter = 0;
  char base[MAX_PATH] = {};
  GetTempPathA(sizeof base, base);
  char name[64];
  std::snprintf(name, sizeof name, "korvani-test-%lu-%d", GetCurrentProcessId(), ++counter);
  path_ = Text(base) + name;
  RemoveTree(path_);
  CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

void RemoveTree(const Text& path) {
  {
    WIN32_FIND_DATAA data;
    const UniqueFind search(FindFirstFileA((path + "\\*").c_str(), &data));  // closed before the folder goes
    for (bool more = static_cast<bool>(search); more; more = FindNextFileA(search.get(), &data)) {
      const Text name = data.cFileName;
      if (name == "." || name == "..") continue;
      const Text child = path + "\\" + name;
      SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileA(child.c_str());
      }
    }
  }
  RemoveDirectoryA(path.c_str());
}

bool WriteTestFile(const Text& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

std::string ReadTestFile(const Text& path) {
  std::string bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return bytes;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
  std::fclose(f);
  return bytes;
}
