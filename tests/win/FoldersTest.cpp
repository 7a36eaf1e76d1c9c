// The folder services on the real (Wine) file system, and the security descriptor of
// the folders the installer makes.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include "ExpectThrow.h"
#include "TempFolder.h"
#include "base/Exceptions.h"
#include "app/FolderSecurity.h"
#include "app/Folders.h"
#include "app/PathText.h"

namespace {

TEST(Folders, FolderExistsAndIsExistingFile) {
  TempFolder temp;
  ASSERT_TRUE(WriteTestFile(temp / "file.txt", "x"));
  EXPECT_TRUE(FolderExists(temp.Path()));
  EXPECT_TRUE(FolderExists(temp.Path() + "\\"));
  EXPECT_TRUE(FolderExists("c:\\"));
  EXPECT_FALSE(FolderExists(""));
  EXPECT_FALSE(FolderExists(temp / "file.txt"));
  EXPECT_FALSE(FolderExists(temp / "missing"));
  EXPECT_TRUE(IsExistingFile(temp / "file.txt"));
  EXPECT_FALSE(IsExistingFile(temp.Path()));
  EXPECT_FALSE(IsExistingFile(temp / "missing"));

  // A file whose last-write time lies before 1980 has no DOS date.
  const Text old = temp / "old.txt";
  ASSERT_TRUE(WriteTestFile(old, "x"));
  HANDLE h = CreateFileA(old.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  SYSTEMTIME st{};
  st.wYear = 1975; st.wMonth = 6; st.wDay = 1; st.wHour = 12;
  FILETIME ft;
  SystemTimeToFileTime(&st, &ft);
  ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &ft));
  CloseHandle(h);
  EXPECT_FALSE(IsExistingFile(old));
}

TEST(Folders, MakeFolderPathCreatesFromTheOutsideIn) {
  TempFolder temp;
  const Text deep = temp / "Tolvar\\korvani\\";
  EXPECT_TRUE(MakeFolderPath(deep));
  EXPECT_TRUE(FolderExists(temp / "Tolvar"));
  EXPECT_TRUE(FolderExists(temp / "Tolvar\\korvani"));
  // A second call finds it and creates nothing.
  EXPECT_TRUE(MakeFolderPath(deep));
  EXPECT_FALSE(MakeFolder(temp / "Tolvar"));  // exists already

  // A level that exists as a file: false, the outer folders stay.
  ASSERT_TRUE(MakeFolderPath(temp / "b\\c"));
  ASSERT_TRUE(WriteTestFile(temp / "b\\c\\blocker", "x"));
  EXPECT_FALSE(MakeFolderPath(temp / "b\\c\\blocker\\d"));
  EXPECT_TRUE(FolderExists(temp / "b\\c"));
  EXPECT_FALSE(FolderExists(temp / "b\\c\\blocker\\d"));

  // A folder whose name ends in "ソ" (83 5C): that byte is not a trailing "\".
  EXPECT_TRUE(MakeFolderPath(temp / "表示\\ソ"));
  EXPECT_TRUE(FolderExists(temp / "表示\\ソ"));
}

TEST(Folders, MakeFolderPathOnShortEmptyAndRelativePaths) {
  ExpectThrowWithMessage<Exception>([] { MakeFolderPath(""); }, "ディレクトリを作成することができません");
  EXPECT_TRUE(MakeFolderPath("x"));
  EXPECT_TRUE(MakeFolderPath("xy"));
  EXPECT_FALSE(FolderExists("xy"));

  // A relative path whose first component (3 bytes or more) is missing reaches the
  // empty text and throws.
  TempFolder temp;
  const Text saved = CurrentFolder(0);
  ChangeFolder(temp.Path());
  EXPECT_THROW(MakeFolderPath("abc\\def"), Exception);
  EXPECT_FALSE(FolderExists(temp / "abc"));
  ChangeFolder(saved);
}

TEST(Folders, ChangeFolderAndCurrentFolder) {
  TempFolder temp;
  const Text saved = CurrentFolder(0);
  ChangeFolder(temp.Path());
  EXPECT_EQ(CompareTextNoCase(CurrentFolder(0), temp.Path()), 0);
  // The current folder of drive C is this one too; reading it changes nothing.
  EXPECT_EQ(CompareTextNoCase(CurrentFolder(3), temp.Path()), 0);
  EXPECT_EQ(CompareTextNoCase(CurrentFolder(0), temp.Path()), 0);
  try {
    ChangeFolder(temp / "missing");
    ADD_FAILURE() << "no exception";
  } catch (const EInOutError& e) {
    EXPECT_TRUE(e.SystemCode == 2 || e.SystemCode == 3) << e.SystemCode;
    EXPECT_EQ(e.Message(), e.SystemCode == 2 ? "ファイルが見つかりません" : "不正なファイル名です");
  }
  EXPECT_EQ(CompareTextNoCase(CurrentFolder(0), temp.Path()), 0) << "unchanged after a failure";
  ChangeFolder(saved);
}

TEST(Folders, CompareTextNoCaseAndExecutablePath) {
  EXPECT_EQ(CompareTextNoCase("c:\\Program Files", "C:\\PROGRAM FILES"), 0);
  EXPECT_LT(CompareTextNoCase("a", "b"), 0);
  EXPECT_GT(CompareTextNoCase("b", "A"), 0);
  const Text exe = ExecutablePath();
  EXPECT_EQ(NamePart(exe), "win_tests.exe");
  EXPECT_EQ(FolderPrefix(exe).back(), '\\');
  EXPECT_TRUE(FolderExists(FolderPrefix(exe)));
}

// Read back entry by entry, as `icacls` lists a folder on Windows (Wine keeps no
// permissions on disk): only SYSTEM and Administrators may change anything, Users may
// read and run, and nothing of the parent's rights (at the root of C:, modify for every
// signed-in user) is inherited.
TEST(Folders, TheProtectedDescriptorLetsOnlySystemAndAdministratorsChangeAnything) {
  const UniqueLocalMemory descriptor = ProtectedFolderDescriptor();
  ASSERT_TRUE(descriptor);
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  ASSERT_TRUE(GetSecurityDescriptorControl(descriptor.get(), &control, &revision));
  EXPECT_NE(control & SE_DACL_PROTECTED, 0) << "the parent's rights would be inherited";
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor.get(), &present, &dacl, &defaulted));
  ASSERT_TRUE(present);
  ASSERT_NE(dacl, nullptr) << "a null list lets everyone do everything";

  struct Account {
    WELL_KNOWN_SID_TYPE type;
    BYTE sid[SECURITY_MAX_SID_SIZE];
    ACCESS_MASK granted;
  } system{WinLocalSystemSid, {}, 0}, administrators{WinBuiltinAdministratorsSid, {}, 0},
      users{WinBuiltinUsersSid, {}, 0};
  for (Account* account : {&system, &administrators, &users}) {
    DWORD size = sizeof account->sid;
    ASSERT_TRUE(CreateWellKnownSid(account->type, nullptr, account->sid, &size));
  }
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
    ASSERT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE) << i;
    // For the folder itself, and inherited by its files and subfolders.
    EXPECT_EQ(ace->Header.AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE | INHERIT_ONLY_ACE),
              OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE)
        << i;
    PSID sid = &ace->SidStart;
    Account* owner = nullptr;
    for (Account* account : {&system, &administrators, &users}) {
      if (EqualSid(sid, account->sid)) owner = account;
    }
    if (owner == nullptr) {
      char* text = nullptr;
      ConvertSidToStringSidA(sid, &text);
      ADD_FAILURE() << "an entry for another account: " << (text ? text : "?");
      LocalFree(text);
      continue;
    }
    owner->granted |= ace->Mask;
  }
  EXPECT_EQ(system.granted & FILE_ALL_ACCESS, static_cast<ACCESS_MASK>(FILE_ALL_ACCESS));
  EXPECT_EQ(administrators.granted & FILE_ALL_ACCESS, static_cast<ACCESS_MASK>(FILE_ALL_ACCESS));
  const ACCESS_MASK readAndRun = FILE_GENERIC_READ | FILE_GENERIC_EXECUTE;
  EXPECT_EQ(users.granted & readAndRun, readAndRun);
  const ACCESS_MASK change = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES |
                             FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE |
                             GENERIC_ALL;
  EXPECT_EQ(users.granted & change, 0u) << std::hex << users.granted;
}

}  // namespace
