#include "archive/ByteStreams.h"

#include <algorithm>
#include <cstring>

namespace archive {

// ---- FileReader ----

FileReader::BlockReadCall FileReader::ReadBlock = &FileReader::ReadBlockFromFile;

std::size_t FileReader::ReadBlockFromFile(std::FILE* file, void* buffer, std::size_t count, bool& failed) {
  const std::size_t got = std::fread(buffer, 1, count, file);
  failed = got < count && std::ferror(file) != 0;
  return got;
}

FileReader::FileReader()
    : buffer_(new unsigned char[kBufferSize]), next_(buffer_), end_(buffer_) {}

FileReader::~FileReader() {
  Close();
  delete[] buffer_;
}

bool FileReader::Open(const Text& path) {
  Close();
  return Adopt(std::fopen(path.c_str(), "rb"));
}

bool FileReader::Adopt(std::FILE* file) {
  Close();
  file_ = file;
  return file_ != nullptr;
}

void FileReader::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  next_ = end_ = buffer_;
  base_ = 0;
  failed_ = false;
}

int FileReader::Refill() {
  base_ += static_cast<std::uint64_t>(end_ - buffer_);
  next_ = end_ = buffer_;
  if (file_ == nullptr) return kEndOfInput;
  bool error = false;
  const std::size_t got = ReadBlock(file_, buffer_, kBufferSize, error);
  if (error) failed_ = true;
  if (got == 0) return kEndOfInput;
  end_ = buffer_ + got;
  if (observer_ != nullptr) observer_(observerContext_, base_ + got);
  return *next_++;
}

std::size_t FileReader::Read(void* destination, std::size_t count) {
  auto* out = static_cast<unsigned char*>(destination);
  std::size_t done = 0;
  while (done < count) {
    if (next_ == end_) {
      // A large request bypasses the buffer; a small one refills it.
      if (count - done >= kBufferSize && file_ != nullptr) {
        base_ += static_cast<std::uint64_t>(end_ - buffer_);
        next_ = end_ = buffer_;
        bool error = false;
        const std::size_t got = ReadBlock(file_, out + done, count - done, error);
        base_ += got;
        done += got;
        if (error) failed_ = true;
        if (observer_ != nullptr) observer_(observerContext_, base_);
        break;
      }
      const int c = Refill();
      if (c == kEndOfInput) break;
      out[done++] = static_cast<unsigned char>(c);
      continue;
    }
    const std::size_t run = std::min(count - done, static_cast<std::size_t>(end_ - next_));
    std::memcpy(out + done, next_, run);
    next_ += run;
    done += run;
  }
  return done;
}

bool FileReader::SeekTo(int origin) {
  if (file_ == nullptr) return false;
  next_ = end_ = buffer_;
  std::clearerr(file_);
  // 64-bit offsets: fseek and ftell take a long, which has 32 bits on Windows, so an
  // archive of 2 GiB or more would report a wrong size there.
#ifdef _WIN32
  if (_fseeki64(file_, 0, origin) != 0) return false;
  const long long at = _ftelli64(file_);
#else
  if (fseeko(file_, 0, origin) != 0) return false;
  const off_t at = ftello(file_);
#endif
  if (at < 0) return false;
  base_ = static_cast<std::uint64_t>(at);
  return true;
}

bool FileReader::SeekToEnd() { return SeekTo(SEEK_END); }

bool FileReader::Rewind() { return SeekTo(SEEK_SET); }

// ---- FileWriter ----

FileWriter::FileWriter()
    : buffer_(new unsigned char[kBufferSize]), next_(buffer_), end_(buffer_ + kBufferSize) {}

FileWriter::~FileWriter() {
  Close();
  delete[] buffer_;
}

bool FileWriter::Open(const Text& path) {
  Close();
  return Adopt(std::fopen(path.c_str(), "wb"));
}

bool FileWriter::Adopt(std::FILE* file) {
  Close();
  failed_ = false;
  base_ = 0;
  next_ = buffer_;
  file_ = file;
  return file_ != nullptr;
}

void FileWriter::OpenConsumer(Consumer consumer, void* context) {
  Close();
  failed_ = false;
  base_ = 0;
  next_ = buffer_;
  consumer_ = consumer;
  consumerContext_ = context;
}

bool FileWriter::Drain() {
  const std::size_t pending = static_cast<std::size_t>(next_ - buffer_);
  next_ = buffer_;
  if (pending == 0) return !failed_;
  if (consumer_ != nullptr) {
    consumer_(consumerContext_, buffer_, pending);
    base_ += pending;
    return !failed_;
  }
  if (file_ == nullptr) {
    failed_ = true;
    return false;
  }
  const std::size_t put = std::fwrite(buffer_, 1, pending, file_);
  base_ += put;
  if (put != pending) failed_ = true;
  return !failed_;
}

void FileWriter::Spill() { Drain(); }

void FileWriter::Write(const void* source, std::size_t count) {
  const auto* in = static_cast<const unsigned char*>(source);
  while (count > 0) {
    if (next_ == end_) Spill();
    const std::size_t run = std::min(count, static_cast<std::size_t>(end_ - next_));
    std::memcpy(next_, in, run);
    next_ += run;
    in += run;
    count -= run;
  }
}

bool FileWriter::Flush() {
  Drain();
  if (file_ != nullptr && std::fflush(file_) != 0) failed_ = true;
  return !failed_;
}

bool FileWriter::Close() {
  if (consumer_ != nullptr) {
    Drain();
    consumer_ = nullptr;
    return !failed_;
  }
  if (file_ == nullptr) {
    const bool lost = next_ != buffer_;
    next_ = buffer_;
    if (lost) failed_ = true;
    return !failed_;
  }
  Drain();
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  return !failed_;
}

// ---- MemoryReader ----

std::size_t MemoryReader::Read(void* destination, std::size_t count) {
  const std::size_t run = std::min(count, Remaining());
  if (run > 0) std::memcpy(destination, next_, run);
  next_ += run;
  return run;
}

}  // namespace archive
