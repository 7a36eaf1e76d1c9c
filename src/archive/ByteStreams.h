#pragma once
// Byte streams for the codec and the archive walker.
//
// The decoder and the encoder read and write one byte at a time, so the per-byte calls
// here are inline and touch only a buffer pointer: no lock, no virtual call, no
// allocation. The file streams keep their own buffer over fread/fwrite; their buffer is
// allocated once, when the stream object is made.
//
// Every reader has: int ReadByte() (a byte 0..255, or kEndOfInput), std::size_t
// Read(void*, std::size_t), std::uint64_t Tell() (bytes consumed so far, whatever was
// buffered). Every writer has: void WriteByte(std::uint8_t).
//
// The codec's loops go through ReadCursor and WriteCursor (at the end of this file):
// for the buffered streams they hold the buffer pointers in local variables for the
// length of an entry. Members would not do: every byte stored into the output buffer
// or the ring is a char store, which the compiler must assume may change any member,
// so it would reload the pointers from memory for every byte.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "base/Text.h"

namespace archive {

// What ReadByte returns when the input has no more bytes; distinct from every byte.
constexpr int kEndOfInput = -1;

// A file opened for binary reading ("rb"). Paths are narrow strings: Shift-JIS bytes on
// Windows, where the C runtime takes them in the ANSI code page.
class FileReader {
 public:
  static constexpr std::size_t kBufferSize = 64 * 1024;

  FileReader();
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  // Opens `path`, closing whatever was open before. False when it cannot be opened.
  bool Open(const Text& path);
  // Reads `file`, open for binary reading, from wherever it stands; the reader takes it
  // over and closes it. False for null.
  bool Adopt(std::FILE* file);
  bool IsOpen() const { return file_ != nullptr; }
  void Close();

  int ReadByte() {
    if (next_ != end_) return *next_++;
    return Refill();
  }
  // Reads up to `count` bytes; fewer only at the end of input (or on a read error).
  std::size_t Read(void* destination, std::size_t count);

  // Offset of the next byte that ReadByte would return, from the start of the file.
  std::uint64_t Tell() const {
    return base_ + static_cast<std::uint64_t>(next_ - buffer_);
  }
  // Moves to the end of the file: Tell() then gives the file's size.
  bool SeekToEnd();
  // Moves back to the first byte.
  bool Rewind();
  // True when the C runtime reported a read error (as opposed to the end of input).
  bool ReadFailed() const { return failed_; }

  // Calls `observer(context, offset)` each time the reader fetches more of the file (once
  // per buffer, never per byte), with the offset reached: a progress display costs the
  // per-byte path nothing. Null stops the calls. Kept across Open and Close.
  using Observer = void (*)(void* context, std::uint64_t offset);
  void Observe(Observer observer, void* context) {
    observer_ = observer;
    observerContext_ = context;
  }

  // The call that reads a block: up to `count` bytes, and `failed` set on a read error.
  // Tests replace it to see read errors, which no file system at hand gives on demand.
  using BlockReadCall = std::size_t (*)(std::FILE* file, void* buffer, std::size_t count, bool& failed);
  static BlockReadCall ReadBlock;
  static std::size_t ReadBlockFromFile(std::FILE* file, void* buffer, std::size_t count, bool& failed);

 private:
  template <class>
  friend class ReadCursor;
  int Refill();
  bool SeekTo(int origin);

  std::FILE* file_ = nullptr;
  unsigned char* buffer_;
  const unsigned char* next_;
  const unsigned char* end_;
  std::uint64_t base_ = 0;  // file offset of buffer_[0]
  bool failed_ = false;
  Observer observer_ = nullptr;
  void* observerContext_ = nullptr;
};

// A file opened for binary writing ("wb"), truncating what was there. Write errors are
// remembered: Failed() tells whether any byte was lost, and Close() whether everything
// written reached the file and the file was closed without error.
class FileWriter {
 public:
  static constexpr std::size_t kBufferSize = 64 * 1024;

  FileWriter();
  ~FileWriter();
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  // Creates or truncates `path`. False when it cannot be created.
  bool Open(const Text& path);
  // Writes into `file`, open for binary writing; the writer takes it over and closes it.
  // False for null.
  bool Adopt(std::FILE* file);
  // Instead of a file, hands the written bytes to `consumer(context, bytes, count)`, a
  // buffer at a time (for checks that look at a decoder's output without storing it).
  using Consumer = void (*)(void* context, const std::uint8_t* bytes, std::size_t count);
  void OpenConsumer(Consumer consumer, void* context);
  bool IsOpen() const { return file_ != nullptr || consumer_ != nullptr; }
  // Flushes and closes; true when every write and the close succeeded. Writing to a
  // writer that is not open counts as a failure.
  bool Close();

  void WriteByte(std::uint8_t byte) {
    if (next_ == end_) Spill();
    *next_++ = byte;
  }
  void Write(const void* source, std::size_t count);
  // Hands the buffered bytes to the C runtime and asks it to flush them.
  bool Flush();

  // Bytes written since Open.
  std::uint64_t Tell() const {
    return base_ + static_cast<std::uint64_t>(next_ - buffer_);
  }
  bool Failed() const { return failed_; }

 private:
  template <class>
  friend class WriteCursor;
  void Spill();
  bool Drain();

  std::FILE* file_ = nullptr;
  unsigned char* buffer_;
  unsigned char* next_;
  unsigned char* end_;
  std::uint64_t base_ = 0;  // bytes handed to the C runtime so far
  bool failed_ = false;
  Consumer consumer_ = nullptr;
  void* consumerContext_ = nullptr;
};

// Reads from bytes in memory (tests, fuzzing, the resource bytes of a program).
class MemoryReader {
 public:
  MemoryReader(const void* data, std::size_t size)
      : begin_(static_cast<const std::uint8_t*>(data)), next_(begin_), end_(begin_ + size) {}
  explicit MemoryReader(const std::vector<std::uint8_t>& bytes)
      : MemoryReader(bytes.data(), bytes.size()) {}

  int ReadByte() { return next_ != end_ ? *next_++ : kEndOfInput; }
  std::size_t Read(void* destination, std::size_t count);
  std::uint64_t Tell() const { return static_cast<std::uint64_t>(next_ - begin_); }
  std::size_t Remaining() const { return static_cast<std::size_t>(end_ - next_); }
  void SeekToEnd() { next_ = end_; }
  void Rewind() { next_ = begin_; }

 private:
  template <class>
  friend class ReadCursor;
  const std::uint8_t* begin_;
  const std::uint8_t* next_;
  const std::uint8_t* end_;
};

// Appends to a byte vector.
class VectorWriter {
 public:
  explicit VectorWriter(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
  void WriteByte(std::uint8_t byte) { bytes_.push_back(byte); }
  void Write(const void* source, std::size_t count) {
    const auto* p = static_cast<const std::uint8_t*>(source);
    bytes_.insert(bytes_.end(), p, p + count);
  }
  std::uint64_t Tell() const { return bytes_.size(); }
  bool Failed() const { return false; }

 private:
  std::vector<std::uint8_t>& bytes_;
};

// Writes into a fixed block of memory; bytes past its end are dropped, and Failed()
// then says so.
class BufferWriter {
 public:
  BufferWriter(void* data, std::size_t capacity)
      : begin_(static_cast<std::uint8_t*>(data)), next_(begin_), end_(begin_ + capacity) {}
  void WriteByte(std::uint8_t byte) {
    if (next_ != end_) {
      *next_++ = byte;
    } else {
      failed_ = true;
    }
  }
  std::uint64_t Tell() const { return static_cast<std::uint64_t>(next_ - begin_); }
  bool Failed() const { return failed_; }

 private:
  template <class>
  friend class WriteCursor;
  std::uint8_t* begin_;
  std::uint8_t* next_;
  std::uint8_t* end_;
  bool failed_ = false;
};

// Reads one byte at a time from any reader; see the specialisations below. A cursor
// over a buffer also lets its user look at the buffered bytes directly: Available()
// of them from Data() on, consumed with Skip(). A generic cursor has none.
template <class In>
class ReadCursor {
 public:
  explicit ReadCursor(In& in) : in_(in) {}
  int Get() { return in_.ReadByte(); }
  std::size_t Available() const { return 0; }
  const std::uint8_t* Data() const { return nullptr; }
  void Skip(std::size_t) {}

 private:
  In& in_;
};

// Writes one byte at a time to any writer. A cursor over a buffer also offers Room()
// bytes of it at Data(), filled directly and then committed with Advance().
template <class Out>
class WriteCursor {
 public:
  explicit WriteCursor(Out& out) : out_(out) {}
  void Put(std::uint8_t byte) { out_.WriteByte(byte); }
  std::size_t Room() const { return 0; }
  std::uint8_t* Data() { return nullptr; }
  void Advance(std::size_t) {}

 private:
  Out& out_;
};

template <>
class ReadCursor<FileReader> {
 public:
  explicit ReadCursor(FileReader& in) : in_(in), next_(in.next_), end_(in.end_) {}
  ~ReadCursor() { in_.next_ = next_; }
  ReadCursor(const ReadCursor&) = delete;
  ReadCursor& operator=(const ReadCursor&) = delete;

  int Get() {
    if (next_ != end_) return *next_++;
    in_.next_ = next_;
    const int c = in_.Refill();
    next_ = in_.next_;
    end_ = in_.end_;
    return c;
  }
  std::size_t Available() const { return static_cast<std::size_t>(end_ - next_); }
  const std::uint8_t* Data() const { return next_; }
  void Skip(std::size_t count) { next_ += count; }

 private:
  FileReader& in_;
  const unsigned char* next_;
  const unsigned char* end_;
};

template <>
class ReadCursor<MemoryReader> {
 public:
  explicit ReadCursor(MemoryReader& in) : in_(in), next_(in.next_), end_(in.end_) {}
  ~ReadCursor() { in_.next_ = next_; }
  ReadCursor(const ReadCursor&) = delete;
  ReadCursor& operator=(const ReadCursor&) = delete;

  int Get() { return next_ != end_ ? *next_++ : kEndOfInput; }
  std::size_t Available() const { return static_cast<std::size_t>(end_ - next_); }
  const std::uint8_t* Data() const { return next_; }
  void Skip(std::size_t count) { next_ += count; }

 private:
  MemoryReader& in_;
  const std::uint8_t* next_;
  const std::uint8_t* end_;
};

template <>
class WriteCursor<FileWriter> {
 public:
  explicit WriteCursor(FileWriter& out) : out_(out), next_(out.next_), end_(out.end_) {}
  ~WriteCursor() { out_.next_ = next_; }
  WriteCursor(const WriteCursor&) = delete;
  WriteCursor& operator=(const WriteCursor&) = delete;

  void Put(std::uint8_t byte) {
    if (next_ == end_) {
      out_.next_ = next_;
      out_.Spill();
      next_ = out_.next_;
    }
    *next_++ = byte;
  }
  std::size_t Room() const { return static_cast<std::size_t>(end_ - next_); }
  std::uint8_t* Data() { return next_; }
  void Advance(std::size_t count) { next_ += count; }

 private:
  FileWriter& out_;
  unsigned char* next_;
  unsigned char* end_;
};

template <>
class WriteCursor<BufferWriter> {
 public:
  explicit WriteCursor(BufferWriter& out) : out_(out), next_(out.next_), end_(out.end_) {}
  ~WriteCursor() { out_.next_ = next_; }
  WriteCursor(const WriteCursor&) = delete;
  WriteCursor& operator=(const WriteCursor&) = delete;

  void Put(std::uint8_t byte) {
    if (next_ != end_) {
      *next_++ = byte;
    } else {
      out_.failed_ = true;
    }
  }
  std::size_t Room() const { return static_cast<std::size_t>(end_ - next_); }
  std::uint8_t* Data() { return next_; }
  void Advance(std::size_t count) { next_ += count; }

 private:
  BufferWriter& out_;
  std::uint8_t* next_;
  std::uint8_t* end_;
};

}  // namespace archive
