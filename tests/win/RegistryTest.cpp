// The registry accessor on Wine's registry, below HKEY_LOCAL_MACHINE as the installer
// uses it. Every test works below a key of its own, removed afterwards.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "ExpectThrow.h"
#include "base/Exceptions.h"
#include "base/Handle.h"
#include "app/Registry.h"

namespace {

// A key below HKLM\Software for one test, removed with everything below it.
class TestKey {
 public:
  TestKey() {
    static int counter = 0;
    char name[96];
    std::snprintf(name, sizeof name, "Software\\KorvaniRegistryTest-%lu-%d", GetCurrentProcessId(), ++counter);
    path_ = name;
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, path_.c_str());
  }
  ~TestKey() {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, path_.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, path_.c_str());
  }
  const Text& Path() const { return path_; }  // without a leading "\"
  Text Absolute(const Text& below = Text()) const { return "\\" + path_ + (below.empty() ? "" : "\\" + below); }

 private:
  Text path_;
};

bool KeyExists(const Text& path) {
  UniqueHKey key;
  return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

struct StoredValue {
  bool found = false;
  DWORD type = 0;
  std::string bytes;
};

StoredValue ReadValue(const Text& keyPath, const Text& name) {
  StoredValue value;
  UniqueHKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return value;
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
    value.bytes.resize(size);
    value.found = RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type,
                                   reinterpret_cast<BYTE*>(value.bytes.data()), &size) == ERROR_SUCCESS;
    value.bytes.resize(size);
  }
  return value;
}

TEST(Registry, CreatesAKeyBelowTheLocalMachineAndStoresStringValues) {
  TestKey test;
  const Text folder = "c:\\Program Files\\表示ソ\\korvani";
  {
    TRegistry reg;
    EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
    EXPECT_EQ(reg.Access(), static_cast<REGSAM>(KEY_ALL_ACCESS));
    EXPECT_EQ(reg.CurrentKey(), nullptr);
    reg.SelectRoot(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenPath(test.Absolute("Tolvar Co.,Ltd.\\korv"), true));
    EXPECT_EQ(reg.CurrentPath(), test.Path() + "\\Tolvar Co.,Ltd.\\korv");
    reg.WriteText("Path", folder);
    reg.WriteText("Empty", "");
  }
  const StoredValue path = ReadValue(test.Path() + "\\Tolvar Co.,Ltd.\\korv", "Path");
  ASSERT_TRUE(path.found);
  EXPECT_EQ(path.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(path.bytes.size(), folder.size() + 1) << "the text and one zero byte";
  EXPECT_EQ(path.bytes, folder + '\0');
  const StoredValue empty = ReadValue(test.Path() + "\\Tolvar Co.,Ltd.\\korv", "Empty");
  ASSERT_TRUE(empty.found);
  EXPECT_EQ(empty.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(empty.bytes, std::string(1, '\0'));
}

TEST(Registry, RelativePathsStartAtTheCurrentKeyAndALeadingBackslashAtTheRoot) {
  TestKey test;
  TRegistry reg;
  reg.SelectRoot(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenPath(test.Absolute("a"), true));
  ASSERT_TRUE(reg.OpenPath("b\\c", true));
  EXPECT_EQ(reg.CurrentPath(), test.Path() + "\\a\\b\\c");
  EXPECT_TRUE(KeyExists(test.Path() + "\\a\\b\\c"));

  // Another key is current; the leading "\" still starts at the root.
  ASSERT_TRUE(reg.OpenPath(test.Absolute("d"), true));
  EXPECT_EQ(reg.CurrentPath(), test.Path() + "\\d");
  EXPECT_TRUE(KeyExists(test.Path() + "\\d"));
  EXPECT_FALSE(KeyExists(test.Path() + "\\a\\b\\c\\" + test.Path())) << "not below the old current key";
  reg.WriteText("Where", "d");
  EXPECT_TRUE(ReadValue(test.Path() + "\\d", "Where").found);

  // Without a current key a relative path also starts at the root.
  reg.CloseCurrent();
  EXPECT_EQ(reg.CurrentKey(), nullptr);
  ASSERT_TRUE(reg.OpenPath(test.Path() + "\\e", true));
  EXPECT_EQ(reg.CurrentPath(), test.Path() + "\\e");
  EXPECT_TRUE(KeyExists(test.Path() + "\\e"));
}

TEST(Registry, OpeningAMissingKeyWithoutCreatingFailsAndKeepsTheCurrentKey) {
  TestKey test;
  TRegistry reg;
  reg.SelectRoot(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenPath(test.Absolute(), true));
  const HKEY before = reg.CurrentKey();
  EXPECT_FALSE(reg.OpenPath(test.Absolute("missing"), false));
  EXPECT_FALSE(reg.OpenPath("missing", false));
  EXPECT_EQ(reg.CurrentKey(), before);
  EXPECT_EQ(reg.CurrentPath(), test.Path());
  EXPECT_FALSE(KeyExists(test.Path() + "\\missing"));
  // The current key is still open and usable.
  reg.WriteText("Still", "open");
  EXPECT_TRUE(ReadValue(test.Path(), "Still").found);
}

TEST(Registry, WriteTextWithoutACurrentKeyThrows) {
  TRegistry reg;
  ExpectThrowWithMessage<ERegistryException>([&] { reg.WriteText("Path", "c:\\x"); }, "'Path' の設定に失敗しました");
}

TEST(Registry, AnEmptyRelativePathReopensTheCurrentKeyAndAnotherRootClosesIt) {
  TestKey test;
  TRegistry reg;
  reg.SelectRoot(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenPath(test.Absolute("a"), true));
  ASSERT_TRUE(reg.OpenPath("", true));
  EXPECT_EQ(reg.CurrentPath(), test.Path() + "\\a") << "no trailing \\";
  reg.SelectRoot(HKEY_LOCAL_MACHINE);  // the same root: nothing happens
  EXPECT_NE(reg.CurrentKey(), nullptr);
  reg.SelectRoot(HKEY_CURRENT_USER);
  EXPECT_EQ(reg.CurrentKey(), nullptr);
  EXPECT_EQ(reg.CurrentPath(), "");
}

// A key whose access list lets everyone read it and nobody write it: opening it with
// every right is refused, as for a user without administrator rights.
TEST(Registry, OpenPathFailsWhereTheKeyRefusesFullAccess) {
  TestKey test;
  const Text lockedPath = test.Path() + "\\locked";
  {
    UniqueHKey locked;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, lockedPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              locked.put(), nullptr),
              ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;OICI;KR;;;WD)", SDDL_REVISION_1,
                                                                     &readOnly, nullptr));
    const LONG set = RegSetKeySecurity(locked.get(), DACL_SECURITY_INFORMATION, readOnly);
    LocalFree(readOnly);
    ASSERT_EQ(set, ERROR_SUCCESS);
  }

  {
    TRegistry reg;
    reg.SelectRoot(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenPath(test.Absolute(), true));
    const HKEY before = reg.CurrentKey();
    EXPECT_FALSE(reg.OpenPath(test.Absolute("locked"), true)) << "create-or-open with every right";
    EXPECT_FALSE(reg.OpenPath("locked", false)) << "open with every right";
    EXPECT_EQ(reg.CurrentKey(), before);
    EXPECT_EQ(reg.CurrentPath(), test.Path());
    // Asking only to read is allowed: it is the access mask that is refused.
    reg.SetAccess(KEY_READ);
    EXPECT_TRUE(reg.OpenPath("locked", false));
    EXPECT_EQ(reg.CurrentPath(), lockedPath);
    // A key open for reading refuses a value.
    ExpectThrowWithMessage<ERegistryException>([&] { reg.WriteText("値", "x"); }, "'値' の設定に失敗しました");
  }

  // Give the key back its rights so that it can be removed.
  UniqueHKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, lockedPath.c_str(), 0, WRITE_DAC, key.put()) == ERROR_SUCCESS) {
    PSECURITY_DESCRIPTOR open = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;OICI;KA;;;WD)", SDDL_REVISION_1, &open,
                                                             nullptr)) {
      RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, open);
      LocalFree(open);
    }
  }
}

// The keys the accessor closes, and an open call that answers an empty path below a
// predefined key with that key itself, as Windows does (Wine gives a new handle).
std::vector<HKEY> closedKeys;

LONG WINAPI RecordClose(HKEY key) {
  closedKeys.push_back(key);
  return RegCloseKey(key);
}

LONG WINAPI OpenAsWindows(HKEY base, LPCSTR path, DWORD options, REGSAM access, PHKEY result) {
  if (base == HKEY_LOCAL_MACHINE && (path == nullptr || *path == '\0')) {
    *result = base;
    return ERROR_SUCCESS;
  }
  return RegOpenKeyExA(base, path, options, access, result);
}

TEST(Registry, ThePredefinedRootOpenedAsItselfIsNeverClosed) {
  struct CallSwap {
    TRegistry::KeyOpenCall open = TRegistry::OpenKeyCall;
    TRegistry::KeyCloseCall close = TRegistry::CloseKeyCall;
    CallSwap() {
      TRegistry::OpenKeyCall = &OpenAsWindows;
      TRegistry::CloseKeyCall = &RecordClose;
      closedKeys.clear();
    }
    ~CallSwap() {
      TRegistry::OpenKeyCall = open;
      TRegistry::CloseKeyCall = close;
    }
  } swap;
  TestKey test;
  HKEY opened = nullptr;
  {
    TRegistry reg;
    reg.SelectRoot(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenPath("\\", false));
    EXPECT_EQ(reg.CurrentKey(), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(reg.CurrentPath(), "");
    ASSERT_TRUE(reg.OpenPath(test.Absolute(), true));  // the root key is let go, not closed
    opened = reg.CurrentKey();
    ASSERT_TRUE(reg.OpenPath("\\", false));
    ASSERT_TRUE(reg.OpenPath("", false));  // the same root again
    EXPECT_EQ(reg.CurrentKey(), HKEY_LOCAL_MACHINE);
  }
  EXPECT_EQ(closedKeys, std::vector<HKEY>{opened}) << "only the key the accessor opened itself is closed";
  UniqueHKey software;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, software.put()), ERROR_SUCCESS)
      << "the root key still works";
}

}  // namespace
