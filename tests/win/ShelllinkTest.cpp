// Shortcut files written through the shell and read back through it, and the special
// folders of Wine's prefix.
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "TempFolder.h"
#include "base/Handle.h"
#include "shell/Shelllink.h"

namespace {

struct Link {
  bool loaded = false;
  Text target, workingFolder, description, iconFile;
  int iconIndex = -1;
};

std::wstring Wide(const Text& text) {
  wchar_t buffer[1024] = {};
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, buffer, 1024);
  return buffer;
}

Link ReadLink(const Text& path) {
  Link link;
  const HRESULT init = CoInitialize(nullptr);
  {
    ComPtr<IShellLinkA> shell;  // released at the end of this scope, before COM goes
    ComPtr<IPersistFile> file;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   shell.put_void())) &&
        SUCCEEDED(shell->QueryInterface(IID_IPersistFile, file.put_void())) &&
        SUCCEEDED(file->Load(Wide(path).c_str(), STGM_READ))) {
      char buffer[1024] = {};
      WIN32_FIND_DATAA data;
      shell->GetPath(buffer, sizeof buffer, &data, SLGP_RAWPATH);
      link.target = buffer;
      buffer[0] = 0;
      shell->GetWorkingDirectory(buffer, sizeof buffer);
      link.workingFolder = buffer;
      buffer[0] = 0;
      shell->GetDescription(buffer, sizeof buffer);
      link.description = buffer;
      buffer[0] = 0;
      shell->GetIconLocation(buffer, sizeof buffer, &link.iconIndex);
      link.iconFile = buffer;
      link.loaded = true;
    }
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return link;
}

bool FileExists(const Text& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int EntriesIn(const Text& folder) {
  int count = 0;
  WIN32_FIND_DATAA data;
  const UniqueFind search(FindFirstFileA((folder + "\\*").c_str(), &data));
  if (!search) return 0;
  do {
    const Text name = data.cFileName;
    if (name != "." && name != "..") ++count;
  } while (FindNextFileA(search.get(), &data));
  return count;
}

TEST(Shelllink, AShortcutWithAJapaneseNameReadsBack) {
  TempFolder temp;
  const Text link = temp / "コルヴァニ　領収書発行.lnk";
  const Text target = "C:\\Program Files\\Tolvar\\表示ソ\\update.exe";
  TShellLink shell;
  const HRESULT result = shell.CreateShortcut(target, link, target, 1, "コルヴァニ　領収書発行");
  EXPECT_GE(result, 0) << std::hex << result;
  ASSERT_TRUE(FileExists(link));
  const Link read = ReadLink(link);
  ASSERT_TRUE(read.loaded);
  EXPECT_EQ(read.target, target);
  EXPECT_EQ(read.workingFolder, "C:\\Program Files\\Tolvar\\表示ソ") << "the final ソ is not a separator";
  EXPECT_EQ(read.description, "コルヴァニ　領収書発行");
  EXPECT_EQ(read.iconFile, target);
  EXPECT_EQ(read.iconIndex, 1);
}

TEST(Shelllink, TheSameShortcutTwiceLeavesOneFileFromTheSecondCall) {
  TempFolder temp;
  const Text link = temp / "korvani.lnk";
  TShellLink shell;
  ASSERT_GE(shell.CreateShortcut("c:\\a\\korvani.exe", link, "c:\\a\\korvani.exe", 0, "一回目"), 0);
  ASSERT_GE(shell.CreateShortcut("c:\\b\\korvani.exe", link, "c:\\b\\korvani.exe", 0, "二回目"), 0);
  EXPECT_EQ(EntriesIn(temp.Path()), 1);
  const Link read = ReadLink(link);
  ASSERT_TRUE(read.loaded);
  EXPECT_EQ(read.description, "二回目");
  EXPECT_EQ(read.target, "c:\\b\\korvani.exe");
  EXPECT_EQ(read.workingFolder, "c:\\b");
}

TEST(Shelllink, AShortcutInAMissingFolderFailsAndWritesNothing) {
  TempFolder temp;
  const Text link = temp / "ない\\korvani.lnk";
  TShellLink shell;
  const HRESULT result = shell.CreateShortcut("c:\\a\\korvani.exe", link, "c:\\a\\korvani.exe", 0, "x");
  EXPECT_LT(result, 0);
  EXPECT_FALSE(FileExists(link));
  EXPECT_EQ(EntriesIn(temp.Path()), 0);
}

TEST(Shelllink, ATargetWithoutSeparatorGetsAnEmptyWorkingFolder) {
  TempFolder temp;
  const Text link = temp / "bare.lnk";
  TShellLink shell;
  ASSERT_GE(shell.CreateShortcut("korvani.exe", link, "korvani.exe", 0, "x"), 0);
  const Link read = ReadLink(link);
  ASSERT_TRUE(read.loaded);
  EXPECT_EQ(read.workingFolder, "");
  EXPECT_EQ(ShortcutWorkingFolder("korvani.exe"), "");
  EXPECT_EQ(ShortcutWorkingFolder("c:\\korvani.exe"), "c:\\");
  EXPECT_EQ(ShortcutWorkingFolder("c:korvani.exe"), "c:");
  EXPECT_EQ(ShortcutWorkingFolder("\\\\server\\share\\korvani.exe"), "\\\\server\\share");
}

// The shortcut path fits the 260-unit buffer with 259 characters; one more is refused
// whole instead of being cut to another name.
TEST(Shelllink, APathLongerThanTheBufferIsRefused) {
  TempFolder temp;
  const Text folder = temp / Text(150, 'f');
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::size_t room = 259 - (folder.size() + 1) - 4;  // name + ".lnk" fills 259
  const Text fits = folder + "\\" + Text(room, 'n') + ".lnk";
  ASSERT_EQ(fits.size(), 259u);
  const Text tooLong = folder + "\\" + Text(room + 1, 'n') + ".lnk";
  TShellLink shell;
  EXPECT_GE(shell.CreateShortcut("c:\\korvani.exe", fits, "c:\\korvani.exe", 0, "x"), 0);
  EXPECT_TRUE(FileExists(fits));
  EXPECT_EQ(shell.CreateShortcut("c:\\korvani.exe", tooLong, "c:\\korvani.exe", 0, "x"),
            HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
  EXPECT_EQ(EntriesIn(folder), 1) << "nothing written under a cut name";

  // The same for the target, which the link keeps in a field of that size: 259
  // characters are kept whole, one more fails the shortcut, and nothing is saved.
  const Text target259 = "c:\\" + Text(259 - 3 - 12, 't') + "\\korvani.exe";
  ASSERT_EQ(target259.size(), 259u);
  const Text target260 = "c:\\" + Text(260 - 3 - 12, 't') + "\\korvani.exe";
  const Text link = temp / "target.lnk";
  EXPECT_GE(shell.CreateShortcut(target259, link, target259, 0, "x"), 0);
  EXPECT_EQ(ReadLink(link).target, target259);
  ASSERT_TRUE(DeleteFileA(link.c_str()));
  EXPECT_EQ(shell.CreateShortcut(target260, link, target260, 0, "x"), HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
  EXPECT_FALSE(FileExists(link)) << "a shortcut whose target was cut is not saved";
}

// On a thread of its own that first initialises COM as `before` says (or not at all):
// the result of creating a shortcut at `link`, and what a second initialisation as
// `probe` then answers, which tells the thread's COM state after the call.
struct ComRun {
  HRESULT result = E_FAIL;
  HRESULT probed = E_FAIL;
};
constexpr DWORD kNoCom = ~0u;

ComRun CreateOnThread(DWORD before, const Text& link, DWORD probe) {
  ComRun run;
  std::thread thread([&] {
    if (before != kNoCom) {
      ASSERT_EQ(CoInitializeEx(nullptr, before), S_OK);
    }
    TShellLink shell;
    run.result = shell.CreateShortcut("c:\\korvani.exe", link, "c:\\korvani.exe", 0, "x");
    run.probed = CoInitializeEx(nullptr, probe);
    if (SUCCEEDED(run.probed)) CoUninitialize();
    if (before != kNoCom) CoUninitialize();
  });
  thread.join();
  return run;
}

// COM is initialised and uninitialised once per call: afterwards the thread is in the
// state it was in before.
TEST(Shelllink, ComIsReleasedAfterEachCall) {
  TempFolder temp;
  // Uninitialised again: joining the other apartment kind is allowed.
  const ComRun fresh = CreateOnThread(kNoCom, temp / "fresh.lnk", COINIT_MULTITHREADED);
  EXPECT_GE(fresh.result, 0);
  EXPECT_EQ(fresh.probed, S_OK);

  // A thread that has COM already gets a success from the call and keeps COM.
  const ComRun apartment = CreateOnThread(COINIT_APARTMENTTHREADED, temp / "apartment.lnk", COINIT_APARTMENTTHREADED);
  EXPECT_GE(apartment.result, 0);
  EXPECT_EQ(apartment.probed, S_FALSE) << "already initialised";
  EXPECT_TRUE(FileExists(temp / "apartment.lnk"));

  // A thread of the multithreaded apartment cannot take a single-threaded one: the
  // call returns that failure, writes nothing, and leaves the thread's COM alone.
  const ComRun multi = CreateOnThread(COINIT_MULTITHREADED, temp / "multi.lnk", COINIT_MULTITHREADED);
  EXPECT_EQ(multi.result, RPC_E_CHANGED_MODE);
  EXPECT_EQ(multi.probed, S_FALSE) << "not uninitialised by the call";
  EXPECT_FALSE(FileExists(temp / "multi.lnk"));
}

// The Unix file name Wine gives a Windows path, or empty outside Wine.
std::string UnixName(const Text& path) {
  using Fn = char*(CDECL*)(LPCWSTR);
  const auto fn = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (fn == nullptr) return std::string();
  char* name = fn(Wide(path).c_str());
  if (name == nullptr) return std::string();
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

TEST(Shelllink, TheProgramsAndDesktopFoldersLieInsideTheWinePrefix) {
  TShellLink shell;
  Text programs, desktop;
  ASSERT_TRUE(shell.GetSpecialFolderPath(nullptr, CSIDL_PROGRAMS, programs));
  ASSERT_TRUE(shell.GetSpecialFolderPath(nullptr, CSIDL_DESKTOPDIRECTORY, desktop));
  EXPECT_NE(programs, desktop);
  for (const Text& folder : {programs, desktop}) {
    SCOPED_TRACE(folder);
    EXPECT_GT(folder.size(), 3u);
    EXPECT_EQ(folder.substr(1, 2), ":\\");
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    char prefix[MAX_PATH] = {};
    if (GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix) > 0) {
      const std::string unix = UnixName(folder);
      EXPECT_EQ(unix.compare(0, std::strlen(prefix), prefix), 0) << unix << " is outside " << prefix;
    }
  }
}

TEST(Shelllink, AFolderWithoutAFileSystemPathLeavesThePathUntouched) {
  TShellLink shell;
  Text path = "unchanged";
  EXPECT_FALSE(shell.GetSpecialFolderPath(nullptr, CSIDL_DRIVES, path)) << "the computer itself";
  EXPECT_EQ(path, "unchanged");
  EXPECT_FALSE(shell.GetSpecialFolderPath(nullptr, 0x7E, path)) << "no such folder";
  EXPECT_EQ(path, "unchanged");
}

}  // namespace
