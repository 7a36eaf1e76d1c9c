#pragma once
// A fresh folder below the system's temporary folder for one test, removed with
// everything in it afterwards.
#include <windows.h>

#include <string>

#include "base/Text.h"

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const Text& Path() const { return path_; }  // without a trailing "\"
  Text operator/(const Text& name) const { return path_ + "\\" + name; }

 private:
  Text path_;
};

// Writes a file with the given bytes; true on success.
bool WriteTestFile(const Text& path, const std::string& bytes);
// The whole content of a file, or an empty string when it cannot be read.
std::string ReadTestFile(const Text& path);
// Removes a folder and everything in it.
void RemoveTree(const Text& path);
