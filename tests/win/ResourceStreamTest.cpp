// The read-only stream over this test program's own resources (win_tests.rc), and
// writing it whole to a file.
#include <gtest/gtest.h>

#include <cstdint>
#include <type_traits>

#include "ExpectThrow.h"
#include "TempFolder.h"
#include "base/Exceptions.h"
#include "app/ResourceStream.h"

namespace {

static_assert(std::is_base_of_v<TCustomMemoryStream, TResourceStream>);
static_assert(std::is_base_of_v<TStream, TCustomMemoryStream>);
static_assert(std::is_base_of_v<Exception, ERegistryException>);
static_assert(std::is_base_of_v<Exception, EResNotFound>);
static_assert(std::is_base_of_v<EStreamError, EFCreateError>);
static_assert(std::is_base_of_v<Exception, EStreamError>);
static_assert(std::is_base_of_v<EFilerError, EWriteError>);
static_assert(std::is_base_of_v<EStreamError, EFilerError>);

// The bytes of data/sample.bin, which the resource TESTSAMPLE carries.
const std::string kSample = "resource bytes of the tests\n";

HINSTANCE Self() { return GetModuleHandleA(nullptr); }

std::string AllBytes(TResourceStream& stream) {
  std::string bytes(static_cast<std::size_t>(stream.Size()), '\0');
  stream.SetPosition(0);
  const std::int64_t n = stream.Read(bytes.data(), stream.Size());
  bytes.resize(static_cast<std::size_t>(n));
  return bytes;
}

TEST(ResourceStream, FoundByTypeAndNameRegardlessOfCase) {
  TResourceStream exact(Self(), "TESTSAMPLE", "TESTDATA");
  EXPECT_EQ(AllBytes(exact), kSample);
  TResourceStream lower(Self(), "testsample", "testdata");
  EXPECT_EQ(lower.Size(), static_cast<std::int64_t>(kSample.size()));
  EXPECT_EQ(AllBytes(lower), kSample);
  TResourceStream mixed(Self(), "TestSample", "TestData");
  EXPECT_EQ(mixed.Memory(), exact.Memory()) << "the module's own bytes, not a copy";
  ExpectThrowWithMessage<EStreamError>([&] { mixed.Write("x", 1); },
                                       "読み込み専用リソース ストリームには書き込めません");

  // The position stays inside the resource, so no read reaches past either end.
  const std::int64_t size = mixed.Size();
  EXPECT_EQ(mixed.Seek(-10, TSeekOrigin::Beginning), 0);
  char first[3] = {};
  EXPECT_EQ(mixed.Read(first, 3), 3);
  EXPECT_EQ(std::string(first, 3), kSample.substr(0, 3));
  EXPECT_EQ(mixed.Seek(-100, TSeekOrigin::Current), 0);
  EXPECT_EQ(mixed.Seek(size + 100, TSeekOrigin::Beginning), size);
  EXPECT_EQ(mixed.Read(first, 3), 0);
  EXPECT_EQ(mixed.Seek(5, TSeekOrigin::End), size);
  EXPECT_EQ(mixed.Seek(-2, TSeekOrigin::End), size - 2);
  EXPECT_EQ(mixed.Seek(INT64_MIN, TSeekOrigin::End), 0);
  EXPECT_EQ(mixed.Seek(INT64_MAX, TSeekOrigin::Current), size);
}

TEST(ResourceStream, AMissingResourceThrowsWithTheNameAsPassed) {
  for (const char* name : {"NoSuchThing", "korvanislip", "ない"}) {
    ExpectThrowWithMessage<EResNotFound>([&] { TResourceStream stream(Self(), name, "TESTDATA"); },
                                         Text(name) + " リソースが見つかりません");
  }
  // The right name under another type is not found either.
  EXPECT_THROW(TResourceStream(Self(), "TestSample", "tlz"), EResNotFound);
}

TEST(ResourceStream, WriteToFileWritesEveryByteWhateverThePosition) {
  TempFolder temp;
  const Text path = temp / "work.tmp";
  ASSERT_TRUE(WriteTestFile(path, std::string(1000, 'z')));  // replaced, not overwritten in part
  TResourceStream stream(Self(), "testsample", "testdata");
  char buffer[5];
  ASSERT_EQ(stream.Read(buffer, 5), 5);
  EXPECT_EQ(std::string(buffer, 5), kSample.substr(0, 5));
  EXPECT_EQ(stream.Position(), 5);
  stream.WriteToFile(path);
  EXPECT_EQ(ReadTestFile(path), kSample);
  // The file is closed afterwards: it can be opened without sharing.
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

TEST(ResourceStream, AnEmptyResourceGivesAnEmptyFile) {
  TempFolder temp;
  const Text path = temp / "empty.tmp";
  ASSERT_TRUE(WriteTestFile(path, "old content"));
  TResourceStream stream(Self(), "TESTEMPTY", "TESTDATA");
  EXPECT_EQ(stream.Size(), 0);
  stream.WriteToFile(path);
  EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u) << "the file exists";
  EXPECT_EQ(ReadTestFile(path), "");
}

TEST(ResourceStream, WriteToFileIntoAMissingFolderNamesThePath) {
  TempFolder temp;
  const Text path = temp / "ない\\表示ソ\\work.tmp";
  TResourceStream stream(Self(), "TESTSAMPLE", "TESTDATA");
  ExpectThrowWithMessage<EFCreateError>([&] { stream.WriteToFile(path); }, "ファイル " + path + " を作成できません");
  EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(ResourceStream, WriteToFileOntoAFileOpenWithoutSharingThrows) {
  TempFolder temp;
  const Text path = temp / "busy.tmp";
  ASSERT_TRUE(WriteTestFile(path, "busy"));
  HANDLE busy = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(busy, INVALID_HANDLE_VALUE);
  TResourceStream stream(Self(), "TESTSAMPLE", "TESTDATA");
  ExpectThrowWithMessage<EFCreateError>([&] { stream.WriteToFile(path); }, "ファイル " + path + " を作成できません");
  CloseHandle(busy);
  EXPECT_EQ(ReadTestFile(path), "busy") << "left as it was";
}

// Writes only the first half of what it is given, as a full disk would.
BOOL WINAPI WriteHalf(HANDLE file, LPCVOID bytes, DWORD count, LPDWORD written, LPOVERLAPPED overlapped) {
  return WriteFile(file, bytes, count / 2, written, overlapped);
}

TEST(ResourceStream, AShortWriteThrowsAndLeavesThePartialFileClosed) {
  TempFolder temp;
  const Text path = temp / "short.tmp";
  TResourceStream stream(Self(), "TESTSAMPLE", "TESTDATA");
  TResourceStream::WriteFileCall = &WriteHalf;
  ExpectThrowWithMessage<EWriteError>([&] { stream.WriteToFile(path); }, "ストリームへの書き込みエラー");
  TResourceStream::WriteFileCall = &WriteFile;
  EXPECT_EQ(ReadTestFile(path), kSample.substr(0, kSample.size() / 2)) << "the partial file stays";
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(h, INVALID_HANDLE_VALUE) << "closed also when the write failed";
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

}  // namespace
