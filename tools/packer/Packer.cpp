#include "Packer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iomanip>
#include <ostream>
#include <sstream>
#include <system_error>

#include "NameCodec.h"
#include "OutputFile.h"
#include "archive/ArchiveReader.h"
#include "archive/ArchiveWriter.h"
#include "archive/ByteStreams.h"
#include "archive/EntryKey.h"
#include "archive/EntryName.h"
#include "archive/LzssDecoder.h"
#include "archive/LzssEncoder.h"

namespace fs = std::filesystem;
using archive::DecodeStatus;
using archive::EntryHeader;
using archive::FileReader;
using archive::FileWriter;
using archive::HeaderStatus;
using archive::RingBuffer;

namespace packer {

namespace {

constexpr std::uint64_t kProgressThreshold = 4u << 20;  // inputs larger than this show progress

// A percentage line on the error stream, rewritten in place and erased at the end.
class Progress {
 public:
  Progress(Console& console, std::string label, std::uint64_t total)
      : console_(console), label_(std::move(label)), total_(total),
        enabled_(console.progress && total > kProgressThreshold) {}
  ~Progress() {
    if (shown_) console_.err << '\r' << std::string(label_.size() + 8, ' ') << '\r' << std::flush;
  }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void Update(std::uint64_t done) {
    if (!enabled_) return;
    const int percent = static_cast<int>(done * 100 / total_);
    if (percent == percent_) return;
    percent_ = percent;
    shown_ = true;
    console_.err << '\r' << label_ << ": " << std::setw(3) << percent << '%' << std::flush;
  }

 private:
  Console& console_;
  std::string label_;
  std::uint64_t total_;
  bool enabled_;
  bool shown_ = false;
  int percent_ = -1;
};

// Has `reader` tell `progress` how far it has got, each time it refills its buffer, for
// as long as this object lives. The coding loops see a plain FileReader.
class ProgressWatch {
 public:
  ProgressWatch(FileReader& reader, Progress& progress) : reader_(reader) {
    reader_.Observe([](void* context, std::uint64_t offset) {
      static_cast<Progress*>(context)->Update(offset);
    }, &progress);
  }
  ~ProgressWatch() { reader_.Observe(nullptr, nullptr); }
  ProgressWatch(const ProgressWatch&) = delete;
  ProgressWatch& operator=(const ProgressWatch&) = delete;

 private:
  FileReader& reader_;
};

// A FileWriter whose bytes go, a buffer at a time, into a count and a 64-bit hash
// instead of a file: the decoder runs exactly as it does into a file.
class HashWriter {
 public:
  HashWriter() {
    writer_.OpenConsumer([](void* context, const std::uint8_t* bytes, std::size_t count) {
      static_cast<HashWriter*>(context)->Add(bytes, count);
    }, this);
  }
  FileWriter& Writer() { return writer_; }
  // The hash of everything written; call once, after the last write.
  std::uint64_t Hash() {
    writer_.Flush();
    return hash_;
  }

 private:
  // FNV-1a over 64-bit words with a final byte-wise tail: a fingerprint, not a checksum
  // anyone stores, so its only duty is to tell two outputs apart.
  void Add(const std::uint8_t* bytes, std::size_t count) {
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
      std::uint64_t word;
      std::memcpy(&word, bytes + i, sizeof word);
      hash_ = (hash_ ^ word) * 0x100000001B3ull;
    }
    for (; i < count; ++i) hash_ = (hash_ ^ bytes[i]) * 0x100000001B3ull;
  }

  FileWriter writer_;
  std::uint64_t hash_ = 0xCBF29CE484222325ull;
};

Text ToText(const std::string& path) { return Text(path); }

std::uint64_t FileSize(FileReader& in) {
  in.SeekToEnd();
  const std::uint64_t size = in.Tell();
  in.Rewind();
  return size;
}

std::size_t DisplayWidth(const Text& name) {
  std::string utf8;
  return SjisToUtf8(name, utf8) ? name.size() : Printable(name).size();
}

std::string Quoted(const Text& name) { return "\"" + Printable(name) + "\""; }

// "entry 3 "name" at offset 123"
std::string Where(std::size_t index, const EntryHeader& header, std::uint64_t offset) {
  std::ostringstream s;
  s << "entry " << index;
  if (!header.name.empty()) s << ' ' << Quoted(header.name);
  s << " at offset " << offset;
  return s.str();
}

// One entry met while walking an archive as the installer does.
struct Walked {
  std::size_t index = 0;       // 1-based
  std::uint64_t offset = 0;    // of the header's first byte
  HeaderStatus headerStatus = HeaderStatus::EndOfArchive;
  EntryHeader header;
  std::uint64_t streamLength = 0;
  DecodeStatus decodeStatus = DecodeStatus::Complete;
  std::uint64_t produced = 0;
};

// Reads the next header; for an entry that carries a stream, decodes it into `out`.
// True when the walk may go on after this entry.
bool WalkEntry(FileReader& in, RingBuffer& ring, Walked& entry, FileWriter& out) {
  entry.offset = in.Tell();
  entry.headerStatus = archive::ReadEntryHeader(in, entry.header);
  if (entry.headerStatus != HeaderStatus::Entry || entry.header.IsTerminator()) return false;
  const std::uint64_t streamStart = in.Tell();
  const std::uint64_t before = out.Tell();
  entry.decodeStatus = archive::DecodeEntry(ring, entry.header.size, in, out);
  entry.produced = out.Tell() - before;
  entry.streamLength = in.Tell() - streamStart;
  return entry.decodeStatus == DecodeStatus::Complete;
}

// The complaint for a walk that stopped at `entry`, or "" when it simply ended.
std::string WalkProblem(const Walked& entry) {
  const std::string where = Where(entry.index, entry.header, entry.offset);
  switch (entry.headerStatus) {
    case HeaderStatus::EndOfArchive:
      return "";
    case HeaderStatus::EndInName:
      return where + ": the archive ends inside the entry's name";
    case HeaderStatus::EndInSize:
      return where + ": the archive ends inside the entry's size field";
    case HeaderStatus::Entry:
      break;
  }
  if (entry.header.IsTerminator()) return "";
  if (entry.decodeStatus == DecodeStatus::InputEnded) {
    std::ostringstream s;
    s << where << ": the stream ends early: " << entry.produced << " of " << entry.header.size
      << " bytes decoded from " << entry.streamLength << " stream bytes";
    return s.str();
  }
  return "";
}

// The message of the last failed system call.
std::string ErrorText() { return std::error_code(errno, std::generic_category()).message(); }

int CannotCreate(const std::string& path, Console& console) {
  console.err << "tlzpack: cannot create " << path << ": " << ErrorText() << '\n';
  return kBadInput;
}

bool OpenArchive(FileReader& in, const std::string& path, Console& console) {
  if (in.Open(ToText(path))) return true;
  console.err << "tlzpack: cannot open " << path << ": " << ErrorText() << '\n';
  return false;
}

}  // namespace

PackInput ParsePackInput(const std::string& argument) {
  const std::size_t equals = argument.find('=');
  if (equals != std::string::npos) {
    return {argument.substr(0, equals), argument.substr(equals + 1)};
  }
  return {fs::path(argument).filename().string(), argument};
}

int Pack(const std::string& archivePath, const std::vector<PackInput>& inputs, Console& console,
         Coding coding) {
  if (inputs.empty()) {
    console.err << "tlzpack pack: no input files\n";
    return kBadUsage;
  }
  // Check everything before writing anything.
  struct Planned {
    Text name;
    std::string path;
    std::uint64_t size;
  };
  std::vector<Planned> plan;
  bool refused = false;
  std::vector<std::string> keys;  // of the names in plan, in step
  for (const PackInput& input : inputs) {
    const std::string what = "tlzpack: " + input.path + " as \"" + input.name + "\": ";
    Text name;
    if (!Utf8ToSjis(input.name, name)) {
      console.err << what << "the name cannot be written in Shift-JIS\n";
      refused = true;
      continue;
    }
    // Windows reads the stored bytes through code page 932. A character that has no
    // Shift-JIS form of its own is stored as another one, "¥" as the "\" that separates
    // folders, "〜" as "～": the installed name would not be the one given.
    std::string asRead;
    if (!SjisToUtf8(name, asRead) || asRead != input.name) {
      console.err << what << "the name has no exact Shift-JIS form; Windows would read it as \""
                  << asRead << "\"\n";
      refused = true;
      continue;
    }
    std::error_code ec;
    const fs::file_status status = fs::status(input.path, ec);
    if (ec || !fs::exists(status)) {
      console.err << what << "no such file\n";
      refused = true;
      continue;
    }
    if (!fs::is_regular_file(status)) {
      console.err << what << "not a regular file\n";
      refused = true;
      continue;
    }
    const std::uint64_t size = fs::file_size(input.path, ec);
    if (ec) {
      console.err << what << ec.message() << '\n';
      refused = true;
      continue;
    }
    const archive::EntryProblem problem = archive::CheckEntry(name, size);
    if (problem != archive::EntryProblem::Storable) {
      console.err << what << archive::Describe(problem);
      if (problem == archive::EntryProblem::UnsafeName) {
        console.err << ": " << archive::EntryNameFault(name);
      }
      console.err << '\n';
      refused = true;
      continue;
    }
    if (fs::exists(archivePath) && fs::equivalent(archivePath, input.path, ec)) {
      console.err << what << "this is the archive being written\n";
      refused = true;
      continue;
    }
    // Windows takes two names for one file when their keys are equal, and a file
    // cannot also be a folder that another name passes through.
    const std::string key = archive::EntryKey(asRead);
    std::string clash;
    for (std::size_t k = 0; k < keys.size() && clash.empty(); ++k) {
      const std::string& other = keys[k];
      if (other == key) {
        clash = "it has the same name on Windows as " + Quoted(plan[k].name) +
                " (NTFS compares names with every letter in upper case; trailing dots and "
                "spaces dropped)";
      } else if (other.size() < key.size() && key.compare(0, other.size(), other) == 0 &&
                 key[other.size()] == '\\') {
        clash = "it needs a folder where " + Quoted(plan[k].name) + " is a file";
      } else if (key.size() < other.size() && other.compare(0, key.size(), key) == 0 &&
                 other[key.size()] == '\\') {
        clash = "it is a file where " + Quoted(plan[k].name) + " needs a folder";
      }
    }
    if (!clash.empty()) {
      console.err << what << clash << '\n';
      refused = true;
      continue;
    }
    keys.push_back(key);
    plan.push_back({name, input.path, size});
  }
  if (refused) {
    console.err << "tlzpack: nothing written\n";
    return kBadInput;
  }

  OutputFile output;
  if (!output.Open(archivePath)) return CannotCreate(archivePath, console);
  FileWriter& out = output.Writer();
  // Returning drops the unfinished archive.
  auto fail = [&](const std::string& message) {
    console.err << "tlzpack: " << message << "; nothing written\n";
    return kBadInput;
  };
  archive::LzssEncoder encoder;
  FileReader in;
  std::uint64_t totalSize = 0;
  for (const Planned& entry : plan) {
    if (!in.Open(ToText(entry.path))) return fail("cannot open " + entry.path);
    const std::uint64_t offset = out.Tell();
    archive::WriteEntryHeader(out, entry.name, static_cast<std::uint32_t>(entry.size));
    const std::uint64_t streamStart = out.Tell();
    std::uint64_t read;
    {
      Progress progress(console, "packing " + entry.path, entry.size);
      ProgressWatch watch(in, progress);
      read = coding == Coding::Smallest ? encoder.EncodeSmallest(in, out) : encoder.Encode(in, out);
    }
    if (in.ReadFailed()) return fail("cannot read " + entry.path);
    if (read != entry.size) return fail(entry.path + " changed while it was being packed");
    if (out.Failed()) return fail("cannot write " + archivePath);
    console.out << Printable(entry.name) << ": " << entry.size << " bytes, stream "
                << out.Tell() - streamStart << " bytes at offset " << offset << '\n';
    totalSize += entry.size;
  }
  in.Close();
  const std::uint64_t archiveSize = out.Tell();
  if (!output.Commit()) return fail("cannot write " + archivePath + ": " + ErrorText());
  console.out << archivePath << ": " << plan.size() << " entries, " << totalSize << " bytes in "
              << archiveSize << " bytes\n";
  return kSuccess;
}

int List(const std::string& archivePath, Console& console) {
  FileReader in;
  if (!OpenArchive(in, archivePath, console)) return kBadInput;
  const std::uint64_t archiveSize = FileSize(in);
  Progress progress(console, "reading " + archivePath, archiveSize);
  ProgressWatch watch(in, progress);
  RingBuffer ring = {};
  std::vector<Walked> entries;
  Walked last;
  for (std::size_t index = 1;; ++index) {
    Walked entry;
    entry.index = index;
    HashWriter sink;
    const bool more = WalkEntry(in, ring, entry, sink.Writer());
    if (entry.headerStatus == HeaderStatus::Entry) entries.push_back(entry);
    if (!more) {
      last = entry;
      break;
    }
  }

  // A name takes as many terminal columns as it has Shift-JIS bytes (double-byte
  // characters are double-width), so pad by that rather than by its UTF-8 length.
  std::size_t width = 4;
  for (const Walked& e : entries) width = std::max(width, DisplayWidth(e.header.name));
  console.out << "NAME" << std::string(width - 4, ' ') << std::setw(12) << "SIZE"
              << std::setw(12) << "STREAM" << std::setw(12) << "OFFSET" << '\n';
  std::uint64_t total = 0;
  for (const Walked& e : entries) {
    console.out << Printable(e.header.name)
                << std::string(width - DisplayWidth(e.header.name), ' ') << std::setw(12)
                << e.header.size << std::setw(12)
                << e.streamLength << std::setw(12) << e.offset;
    if (e.header.IsTerminator()) console.out << "  (terminator entry)";
    console.out << '\n';
    total += e.header.size;
  }
  console.out << "total: " << entries.size() << " entries, " << total << " bytes, archive "
              << archiveSize << " bytes\n";
  const std::string problem = WalkProblem(last);
  if (!problem.empty()) {
    console.err << "tlzpack: " << archivePath << ": " << problem << '\n';
    return kBadInput;
  }
  return kSuccess;
}

int Verify(const std::string& archivePath, Console& console) {
  // The archive is walked twice in step: once with the ring the installer would have,
  // once with the bytes that carry over from the previous entry (ring positions 4078 to
  // 4095) inverted. Both walks read the same tokens; when their outputs differ, a stream
  // has read carried-over bytes before writing them, and the file it yields depends on
  // the entry before it.
  FileReader in;
  FileReader shadow;
  if (!OpenArchive(in, archivePath, console) || !OpenArchive(shadow, archivePath, console)) {
    return kBadInput;
  }
  const std::uint64_t archiveSize = FileSize(in);
  Progress progress(console, "verifying " + archivePath, archiveSize);
  ProgressWatch watch(in, progress);
  RingBuffer ring = {};
  RingBuffer otherRing = {};
  std::vector<std::string> problems;
  std::size_t count = 0;
  std::uint64_t total = 0;
  for (std::size_t index = 1;; ++index) {
    for (unsigned i = archive::kFirstWritePosition; i < archive::kRingSize; ++i) {
      otherRing[i] = static_cast<std::uint8_t>(~ring[i]);
    }
    Walked entry;
    Walked other;
    entry.index = other.index = index;
    HashWriter output;
    HashWriter otherOutput;
    const bool more = WalkEntry(in, ring, entry, output.Writer());
    WalkEntry(shadow, otherRing, other, otherOutput.Writer());
    const std::string where = Where(index, entry.header, entry.offset);

    if (entry.headerStatus == HeaderStatus::EndOfArchive) {
      if (index == 1) problems.push_back("the archive holds no entry");
      break;
    }
    if (entry.headerStatus == HeaderStatus::Entry) {
      if (entry.header.name.size() != entry.header.nameLength) {
        problems.push_back(where + ": the stored name holds a zero byte; the installer " +
                           "takes only the text before it");
      }
      if (!entry.header.name.empty() && !archive::IsSafeEntryName(entry.header.name)) {
        problems.push_back(where + ": the installer would refuse the name: " +
                           archive::EntryNameFault(entry.header.name));
      }
      if (entry.header.IsTerminator()) {
        const std::uint64_t after = archiveSize - in.Tell();
        if (after > 0) {
          std::ostringstream s;
          s << where << ": a terminator entry (" << (entry.header.name.empty() ? "empty name" : "size 0")
            << ") ends the archive for the installer, but " << after << " more bytes follow";
          problems.push_back(s.str());
        } else {
          console.out << where << ": terminator entry at the end of the archive\n";
        }
        break;
      }
    }
    const std::string problem = WalkProblem(entry);
    if (!problem.empty()) {
      problems.push_back(problem);
      break;
    }
    if (output.Hash() != otherOutput.Hash()) {
      problems.push_back(where + ": the stream reads ring positions 4078 to 4095 before " +
                         "writing them, so its output depends on the entry before it");
    }
    ++count;
    total += entry.produced;
    if (!more) break;
  }
  if (!problems.empty()) {
    for (const std::string& p : problems) console.err << "tlzpack: " << archivePath << ": " << p << '\n';
    return kBadInput;
  }
  console.out << archivePath << ": OK, " << count << " entries, " << total
              << " bytes decoded, archive " << archiveSize << " bytes\n";
  return kSuccess;
}

int Extract(const std::string& archivePath, const std::string& folder, Console& console) {
  FileReader in;
  if (!OpenArchive(in, archivePath, console)) return kBadInput;
  const std::uint64_t archiveSize = FileSize(in);
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder)) {
    console.err << "tlzpack: cannot create the folder " << folder << '\n';
    return kBadInput;
  }
  Progress progress(console, "extracting " + archivePath, archiveSize);
  ProgressWatch watch(in, progress);
  RingBuffer ring = {};
  FileWriter out;
  std::size_t count = 0;
  for (std::size_t index = 1;; ++index) {
    Walked entry;
    entry.index = index;
    entry.offset = in.Tell();
    entry.headerStatus = archive::ReadEntryHeader(in, entry.header);
    const std::string where = Where(index, entry.header, entry.offset);
    if (entry.headerStatus != HeaderStatus::Entry) {
      const std::string problem = WalkProblem(entry);
      if (!problem.empty()) {
        console.err << "tlzpack: " << archivePath << ": " << problem << '\n';
        return kBadInput;
      }
      break;
    }
    if (entry.header.IsTerminator()) {
      console.err << "tlzpack: " << where << ": terminator entry; extraction ends here\n";
      break;
    }
    if (!archive::IsSafeEntryName(entry.header.name)) {
      console.err << "tlzpack: " << where << ": refused, as the name would leave the folder "
                  << "or cannot be created: " << archive::EntryNameFault(entry.header.name) << '\n';
      return kBadInput;
    }
    std::string relative;
    if (!SjisToUtf8(entry.header.name, relative)) {
      console.err << "tlzpack: " << where << ": the name is not valid Shift-JIS\n";
      return kBadInput;
    }
    for (char& c : relative) {
      if (c == '\\') c = '/';
    }
    const fs::path target = fs::path(folder) / relative;
    fs::create_directories(target.parent_path(), ec);
    if (!out.Open(ToText(target.string()))) {
      console.err << "tlzpack: " << where << ": cannot create " << target.string() << '\n';
      return kBadInput;
    }
    const std::uint64_t streamStart = in.Tell();
    entry.decodeStatus = archive::DecodeEntry(ring, entry.header.size, in, out);
    entry.produced = out.Tell();
    entry.streamLength = in.Tell() - streamStart;
    if (!out.Close()) {
      console.err << "tlzpack: cannot write " << target.string() << '\n';
      return kBadInput;
    }
    const std::string problem = WalkProblem(entry);
    if (!problem.empty()) {
      console.err << "tlzpack: " << archivePath << ": " << problem << '\n';
      return kBadInput;
    }
    console.out << target.string() << '\n';
    ++count;
  }
  console.out << count << " files extracted to " << folder << '\n';
  return kSuccess;
}

int EncodeFile(const std::string& inputPath, const std::string& outputPath, Console& console,
               Coding coding) {
  FileReader in;
  if (!OpenArchive(in, inputPath, console)) return kBadInput;
  const std::uint64_t size = FileSize(in);
  OutputFile output;
  if (!output.Open(outputPath)) return CannotCreate(outputPath, console);
  FileWriter& out = output.Writer();
  archive::LzssEncoder encoder;
  std::uint64_t read;
  {
    Progress progress(console, "encoding " + inputPath, size);
    ProgressWatch watch(in, progress);
    read = coding == Coding::Smallest ? encoder.EncodeSmallest(in, out) : encoder.Encode(in, out);
  }
  const std::uint64_t written = out.Tell();
  if (in.ReadFailed()) {
    console.err << "tlzpack: cannot read " << inputPath << "; nothing written\n";
    return kBadInput;
  }
  if (!output.Commit()) {
    console.err << "tlzpack: cannot write " << outputPath << ": " << ErrorText()
                << "; nothing written\n";
    return kBadInput;
  }
  console.out << inputPath << ": " << read << " bytes encoded to " << written << " bytes\n";
  return kSuccess;
}

int DecodeFile(const std::string& inputPath, const std::string& outputPath, std::uint32_t size,
               Console& console) {
  FileReader in;
  if (!OpenArchive(in, inputPath, console)) return kBadInput;
  const std::uint64_t streamSize = FileSize(in);
  FileWriter out;
  if (!out.Open(ToText(outputPath))) {
    console.err << "tlzpack: cannot create " << outputPath << '\n';
    return kBadInput;
  }
  RingBuffer ring = {};
  DecodeStatus status;
  {
    Progress progress(console, "decoding " + inputPath, streamSize);
    ProgressWatch watch(in, progress);
    status = archive::DecodeEntry(ring, size, in, out);
  }
  const std::uint64_t produced = out.Tell();
  const std::uint64_t consumed = in.Tell();
  if (!out.Close()) {
    console.err << "tlzpack: cannot write " << outputPath << '\n';
    return kBadInput;
  }
  if (status == DecodeStatus::InputEnded) {
    console.err << "tlzpack: " << inputPath << ": the stream ends early: " << produced << " of "
                << size << " bytes decoded\n";
    return kBadInput;
  }
  if (consumed != streamSize) {
    console.err << "tlzpack: " << inputPath << ": " << streamSize - consumed
                << " bytes follow the end of the stream at offset " << consumed << '\n';
    return kBadInput;
  }
  console.out << inputPath << ": " << consumed << " bytes decoded to " << produced << " bytes\n";
  return kSuccess;
}

}  // namespace packer
