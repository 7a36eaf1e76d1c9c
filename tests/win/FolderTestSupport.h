#pragma once
// Shared by the tests of the folder dialog and its list controls: a hidden form to put
// controls on, the process's current folder put back after a test, and list contents.
#include <windows.h>

#include <vector>

#include "app/Folders.h"
#include "base/Text.h"
#include "ui/ComboBox.h"
#include "ui/Form.h"
#include "ui/ListBox.h"

namespace folder_test {

// The folder a bare drive such as "Z:" enters is kept by the platform in the process's
// environment, in a variable named "=Z:"; without one it is the drive's root.
inline void SetDriveFolder(const Text& folder) {
  const char name[4] = {'=', folder[0], ':', '\0'};
  SetEnvironmentVariableA(name, folder.c_str());
}

// The lists move the process's current folder (and each drive's); every test puts
// them back as they were.
class CurrentFolderGuard {
 public:
  CurrentFolderGuard() : saved_(CurrentFolder(0)) {
    for (int i = 0; i < 2; ++i) {
      char value[MAX_PATH] = {};
      hadDrive_[i] = GetEnvironmentVariableA(kDrives[i], value, sizeof value) > 0;
      drives_[i] = value;
    }
  }
  ~CurrentFolderGuard() {
    SetCurrentDirectoryA(saved_.c_str());
    for (int i = 0; i < 2; ++i) SetEnvironmentVariableA(kDrives[i], hadDrive_[i] ? drives_[i].c_str() : nullptr);
  }
  CurrentFolderGuard(const CurrentFolderGuard&) = delete;
  CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;

 private:
  static constexpr const char* kDrives[2] = {"=C:", "=Z:"};
  Text saved_;
  Text drives_[2];
  bool hadDrive_[2] = {};
};

inline FormParams HostParams() {
  FormParams params;
  params.className = "TFolderTestHost";
  params.caption = "テスト";
  params.border = TBorderStyle::Dialog;
  params.width = 440;
  params.height = 300;
  params.clientSize = true;
  return params;
}

// A hidden form for controls under test.
class THostForm : public TForm {
 public:
  THostForm() : TForm(HostParams()) {}
};

// The items of a list box or a combo box.
template <class List>
std::vector<Text> Items(const List& list) {
  std::vector<Text> items;
  for (int i = 0; i < list.Count(); ++i) items.push_back(list.Item(i));
  return items;
}

inline bool Contains(const std::vector<Text>& items, const Text& text) {
  for (const Text& item : items) {
    if (item == text) return true;
  }
  return false;
}

// A path with its drive letter in upper case: the lists spell a drive letter as it was
// typed when they entered the drive (c:\windows after "c:"), which is the platform's
// business, not theirs.
inline Text UpperDrive(Text path) {
  if (path.size() >= 2 && path[1] == ':' && path[0] >= 'a' && path[0] <= 'z') path[0] = static_cast<char>(path[0] - 32);
  return path;
}

// The part of a path after its drive letter and colon.
inline Text WithoutDrive(const Text& path) { return path.size() >= 2 && path[1] == ':' ? path.substr(2) : path; }

}  // namespace folder_test
