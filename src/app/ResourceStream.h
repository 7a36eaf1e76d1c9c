#pragma once
// Streams of bytes, and the read-only stream over an embedded resource of a module,
// which can be written whole to a file.
#include <windows.h>

#include <cstdint>

#include "base/Handle.h"
#include "base/Text.h"

enum class TSeekOrigin { Beginning, Current, End };

// A sequence of bytes with a read and write position.
class TStream {
 public:
  virtual ~TStream() = default;
  // Copies up to `count` bytes from the position on; returns how many.
  virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  // Writes `count` bytes at the position; returns how many were written.
  virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
  // Moves the position; returns the new position. Memory streams keep it between 0 and
  // their size.
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
  virtual std::int64_t Size() const = 0;
  std::int64_t Position() { return Seek(0, TSeekOrigin::Current); }
  void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::Beginning); }
};

// A stream over bytes in memory that it does not own.
class TCustomMemoryStream : public TStream {
 public:
  const void* Memory() const { return memory_; }
  std::int64_t Size() const override { return size_; }
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;

 protected:
  void SetPointer(const void* memory, std::int64_t size) {
    memory_ = memory;
    size_ = size;
    position_ = 0;
  }

 private:
  const void* memory_ = nullptr;
  std::int64_t size_ = 0;
  std::int64_t position_ = 0;
};

// The bytes of a resource as loaded with the module; never copied, never freed.
class TResourceStream : public TCustomMemoryStream {
 public:
  // Finds the resource by type and name, both without regard to case; throws
  // EResNotFound naming the resource as passed when the module has none.
  TResourceStream(HINSTANCE module, const Text& name, const Text& type);
  // Throws EStreamError: the stream is read-only.
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  // Creates the file new in place of whatever had its name (NewFiles.h: a link of that
  // name is removed itself, never its target, and the file is checked from its handle
  // to be the one `path` names in its folder) and writes every byte of the resource
  // into it, from the first whatever the position. Throws EFCreateError when the file
  // cannot be created so and EWriteError on a short write (the partial file stays,
  // closed). Returns the file still open and shared with nobody: while the caller
  // holds it, no other program can open, change, replace or remove it.
  UniqueFile WriteToFile(const Text& path);

  // The call that writes the bytes into the file. Tests replace it to see a short
  // write, which no file system at hand gives on demand.
  using FileWriteCall = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
  static FileWriteCall WriteFileCall;
};
