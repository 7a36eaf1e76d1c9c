// Throughput of the LZSS codec on a mixed corpus: encode and decode MB/s and the
// compression ratio, with a plain getc/putc decoder measured in the same run for
// comparison, and the smallest encoding's speed and gain. Given the programs, it also
// times whole processes on the corpus as one file: tlzpack encode, encode --best and
// decode beside the baseline program's encode and decode, and a plain copy. Figures
// only: nothing here passes or fails on time.
//
// Usage: codec_bench [--megabytes N] [--runs N] [--dir FOLDER]
//                    [--tlzpack PROGRAM --baseline PROGRAM]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "BaselineDecoder.h"
#include "archive/ByteStreams.h"
#include "archive/LzssDecoder.h"
#include "archive/LzssEncoder.h"

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

namespace {

struct Part {
  std::string kind;
  Bytes data;
  std::uint64_t streamSize = 0;
  std::uint64_t smallestSize = 0;
  double encodeSeconds = 0;
  double smallestSeconds = 0;
  double decodeSeconds = 1e30;
  double baselineSeconds = 1e30;
  double memorySeconds = 1e30;
};

// Words made of syllables, some Japanese (Shift-JIS), drawn with a skewed distribution
// so that common words repeat as in real text.
Bytes MakeText(std::size_t size, std::mt19937& rng) {
  static const char* const syllables[] = {"ka", "ri", "to", "ne", "sa", "mu", "ol", "er",
                                          "in", "th", "ou", "an", "st", "re", "di", "le"};
  static const char* const japanese[] = {"領収書", "発行", "セットアップ", "ファイル",
                                         "フォルダ", "を", "の", "に", "は", "作成",
                                         "できませんでした", "。", "、", "表示"};
  std::vector<std::string> vocabulary;
  for (int i = 0; i < 600; ++i) {
    std::string w;
    const int n = 1 + static_cast<int>(rng() % 4);
    for (int k = 0; k < n; ++k) w += syllables[rng() % 16];
    vocabulary.push_back(w);
  }
  for (const char* j : japanese) vocabulary.push_back(j);
  Bytes text;
  std::size_t line = 1;
  while (text.size() < size) {
    const std::string number = std::to_string(line++) + ": ";
    text.insert(text.end(), number.begin(), number.end());
    const int words = 4 + static_cast<int>(rng() % 10);
    for (int k = 0; k < words; ++k) {
      // Skewed: small indexes far more often.
      const double u = std::generate_canonical<double, 32>(rng);
      const auto index = static_cast<std::size_t>(u * u * u * static_cast<double>(vocabulary.size()));
      const std::string& w = vocabulary[index];
      text.insert(text.end(), w.begin(), w.end());
      text.push_back(' ');
    }
    text.push_back('\r');
    text.push_back('\n');
  }
  text.resize(size);
  return text;
}

Bytes ReadWhole(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void WriteWhole(const std::string& path, const Bytes& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<Part> MakeCorpus(std::size_t megabytes, const std::string& self) {
  std::mt19937 rng(20240601);
  const std::size_t unit = megabytes * 1000000 / 16;
  std::vector<Part> parts(4);
  parts[0].kind = "text";
  parts[0].data = MakeText(unit * 6, rng);

  parts[1].kind = "binary";
  Bytes program = ReadWhole(self);
  if (program.empty()) program = MakeText(100000, rng);
  while (parts[1].data.size() < unit * 5) {
    parts[1].data.insert(parts[1].data.end(), program.begin(), program.end());
  }
  parts[1].data.resize(unit * 5);

  parts[2].kind = "zeros";
  parts[2].data.assign(unit * 2, 0);
  for (std::size_t i = unit * 3 / 2; i < parts[2].data.size(); i += 1 + rng() % 128) {
    parts[2].data[i] = static_cast<std::uint8_t>(rng());
  }

  parts[3].kind = "random";
  parts[3].data.resize(unit * 3);
  for (auto& b : parts[3].data) b = static_cast<std::uint8_t>(rng());
  return parts;
}

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

double MBps(std::uint64_t bytes, double seconds) { return bytes / 1e6 / seconds; }

// One whole process: wall-clock and processor seconds (user + system), the best of runs.
struct ProcessTime {
  double wall = 1e30;
  double cpu = 1e30;
  bool failed = false;
};

void RunProcess(const std::vector<std::string>& argv, ProcessTime& time) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  std::fflush(stdout);
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDOUT_FILENO);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    time.failed = true;
    return;
  }
  const double wall = Seconds(start);
  const double cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 +
                     usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
  time.wall = std::min(time.wall, wall);
  time.cpu = std::min(time.cpu, cpu);
}

// Whole processes on the corpus as one file, each command run `runs` times in turn with
// the others, so that a busy moment of the machine spreads over all of them.
bool WholeProcesses(const std::vector<Part>& parts, const fs::path& dir, int runs,
                    const std::string& tlzpack, const std::string& baseline) {
  Bytes corpus;
  for (const Part& p : parts) corpus.insert(corpus.end(), p.data.begin(), p.data.end());
  const std::string in = (dir / "corpus").string();
  const std::string reference = (dir / "reference.lzs").string();
  const std::string ours = (dir / "tlzpack.lzs").string();
  const std::string smallest = (dir / "best.lzs").string();
  const std::string out = (dir / "decoded").string();
  const std::string size = std::to_string(corpus.size());
  WriteWhole(in, corpus);

  struct Step {
    const char* label;
    std::vector<std::string> argv;
    bool writesOut;
    ProcessTime time;
  };
  std::vector<Step> steps = {
      {"baseline encode", {baseline, "encode", in, reference}, false, {}},
      {"tlzpack encode", {tlzpack, "encode", in, ours}, false, {}},
      {"tlzpack encode --best", {tlzpack, "encode", "--best", in, smallest}, false, {}},
      {"baseline decode", {baseline, "decode", reference, out, size}, true, {}},
      {"tlzpack decode", {tlzpack, "decode", ours, out, size}, true, {}},
      {"cp (copy floor)", {"cp", in, out}, true, {}},
  };
  bool same = true;
  for (int run = 0; run < runs; ++run) {
    for (Step& step : steps) {
      // A new output file each time: truncating the last one costs time of its own.
      if (step.writesOut) fs::remove(out);
      RunProcess(step.argv, step.time);
      if (run == 0 && step.writesOut && ReadWhole(out) != corpus) same = false;
    }
  }
  const bool identical = ReadWhole(reference) == ReadWhole(ours);
  const std::uint64_t bestSize = fs::file_size(smallest);
  fs::remove(out);
  std::printf("\nWhole processes on the %.2f MB corpus as one file, best of %d runs each "
              "(wall = elapsed, cpu = user + system):\n", corpus.size() / 1e6, runs);
  std::printf("%-24s %9s %9s %10s %10s\n", "command", "wall s", "cpu s", "wall MB/s",
              "x baseline");
  const ProcessTime& baselineEncode = steps[0].time;
  const ProcessTime& baselineDecode = steps[3].time;
  for (const Step& step : steps) {
    if (step.time.failed) {
      std::printf("%-24s FAILED\n", step.label);
      same = false;
      continue;
    }
    const bool encodes = &step < &steps[3];
    const ProcessTime& base = encodes ? baselineEncode : baselineDecode;
    std::printf("%-24s %9.3f %9.3f %10.1f  %4.2fx wall %4.2fx cpu\n", step.label,
                step.time.wall, step.time.cpu, MBps(corpus.size(), step.time.wall),
                base.wall / step.time.wall, base.cpu / step.time.cpu);
  }
  std::printf("tlzpack encode's stream is %s the baseline's; --best's is %.2f%% smaller "
              "(%llu against %llu bytes); decoded outputs %s the corpus\n",
              identical ? "byte for byte" : "NOT", 100.0 * (1.0 - double(bestSize) / double(fs::file_size(ours))),
              static_cast<unsigned long long>(bestSize),
              static_cast<unsigned long long>(fs::file_size(ours)), same ? "match" : "DO NOT MATCH");
  return identical && same;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t megabytes = 16;
  int runs = 5;
  fs::path dir = fs::temp_directory_path();
  std::string tlzpack;
  std::string baseline;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--megabytes") == 0) megabytes = std::strtoul(argv[i + 1], nullptr, 10);
    else if (std::strcmp(argv[i], "--runs") == 0) runs = std::atoi(argv[i + 1]);
    else if (std::strcmp(argv[i], "--dir") == 0) dir = argv[i + 1];
    else if (std::strcmp(argv[i], "--tlzpack") == 0) tlzpack = argv[i + 1];
    else if (std::strcmp(argv[i], "--baseline") == 0) baseline = argv[i + 1];
  }
  if (megabytes < 1) megabytes = 1;
  if (runs < 1) runs = 1;
  dir /= "codec-bench-" + std::to_string(std::random_device()());
  fs::create_directories(dir);
  const std::string in = (dir / "in").string();
  const std::string stream = (dir / "stream").string();
  const std::string out = (dir / "out").string();

  std::vector<Part> parts = MakeCorpus(megabytes, argv[0]);
  bool allMatch = true;
  archive::LzssEncoder encoder;
  static archive::RingBuffer ring = {};
  static std::uint8_t baselineRing[4096] = {};

  for (Part& part : parts) {
    WriteWhole(in, part.data);
    const auto size = static_cast<std::uint32_t>(part.data.size());
    {  // Encode: file to file.
      archive::FileReader reader;
      archive::FileWriter writer;
      const auto start = Clock::now();
      reader.Open(in);
      writer.Open(stream);
      encoder.Encode(reader, writer);
      writer.Close();
      part.encodeSeconds = Seconds(start);
    }
    part.streamSize = fs::file_size(stream);
    {  // The smallest stream, memory to memory; it must decode to the part.
      Bytes smallest;
      archive::MemoryReader reader(part.data);
      archive::VectorWriter writer(smallest);
      const auto start = Clock::now();
      encoder.EncodeSmallest(reader, writer);
      part.smallestSeconds = Seconds(start);
      part.smallestSize = smallest.size();
      Bytes decoded(part.data.size());
      archive::MemoryReader check(smallest);
      archive::BufferWriter into(decoded.data(), decoded.size());
      if (archive::DecodeEntry(ring, size, check, into) != archive::DecodeStatus::Complete ||
          decoded != part.data) {
        allMatch = false;
      }
    }
    const Bytes streamBytes = ReadWhole(stream);
    Bytes decoded(part.data.size());
    for (int run = 0; run < runs; ++run) {
      // Each timed decode writes a new file: truncating the last run's output would cost
      // both decoders the same, large, time and only blur the comparison.
      fs::remove(out);
      {  // The codec's decoder: buffered file streams.
        archive::FileReader reader;
        archive::FileWriter writer;
        const auto start = Clock::now();
        reader.Open(stream);
        writer.Open(out);
        archive::DecodeEntry(ring, size, reader, writer);
        writer.Close();
        part.decodeSeconds = std::min(part.decodeSeconds, Seconds(start));
      }
      if (run == 0 && ReadWhole(out) != part.data) allMatch = false;
      fs::remove(out);
      {  // The baseline: getc and putc.
        const auto start = Clock::now();
        std::FILE* reader = std::fopen(stream.c_str(), "rb");
        std::FILE* writer = std::fopen(out.c_str(), "wb");
        BaselineDecode(baselineRing, size, reader, writer);
        std::fclose(reader);
        std::fclose(writer);
        part.baselineSeconds = std::min(part.baselineSeconds, Seconds(start));
      }
      if (run == 0 && ReadWhole(out) != part.data) allMatch = false;
      {  // The decoder alone: memory to memory.
        archive::MemoryReader reader(streamBytes);
        archive::BufferWriter writer(decoded.data(), decoded.size());
        const auto start = Clock::now();
        archive::DecodeEntry(ring, size, reader, writer);
        part.memorySeconds = std::min(part.memorySeconds, Seconds(start));
        if (run == 0 && decoded != part.data) allMatch = false;
      }
    }
  }
  std::printf("LZSS codec benchmark: %zu MB corpus, best of %d decode runs, MB = 10^6 bytes of "
              "decoded data\n\n", megabytes, runs);
  std::printf("%-8s %8s %8s %6s %10s %10s %10s %8s %10s %8s %7s\n", "part", "MB", "stream", "ratio",
              "encode", "decode", "baseline", "speedup", "in-memory", "--best", "gain");
  std::printf("%-8s %8s %8s %6s %10s %10s %10s %8s %10s %8s %7s\n", "", "", "MB", "", "MB/s", "MB/s",
              "MB/s", "", "MB/s", "MB/s", "%");
  Part total;
  total.kind = "total";
  total.decodeSeconds = total.baselineSeconds = total.memorySeconds = 0;
  std::uint64_t totalSize = 0;
  auto row = [](const Part& p, std::uint64_t size) {
    std::printf("%-8s %8.2f %8.2f %6.3f %10.1f %10.1f %10.1f %7.2fx %10.1f %8.1f %7.2f\n",
                p.kind.c_str(), size / 1e6, p.streamSize / 1e6,
                static_cast<double>(p.streamSize) / size, MBps(size, p.encodeSeconds),
                MBps(size, p.decodeSeconds), MBps(size, p.baselineSeconds),
                p.baselineSeconds / p.decodeSeconds, MBps(size, p.memorySeconds),
                MBps(size, p.smallestSeconds),
                100.0 * (1.0 - static_cast<double>(p.smallestSize) / p.streamSize));
  };
  for (const Part& p : parts) {
    row(p, p.data.size());
    totalSize += p.data.size();
    total.streamSize += p.streamSize;
    total.encodeSeconds += p.encodeSeconds;
    total.smallestSeconds += p.smallestSeconds;
    total.smallestSize += p.smallestSize;
    total.decodeSeconds += p.decodeSeconds;
    total.baselineSeconds += p.baselineSeconds;
    total.memorySeconds += p.memorySeconds;
  }
  row(total, totalSize);
  std::printf("\ndecode = the codec's DecodeEntry between buffered files; baseline = getc/putc "
              "decoder between C runtime files;\nspeedup = decode over baseline; in-memory = "
              "DecodeEntry from memory to memory;\n--best = EncodeSmallest from memory to "
              "memory, gain = how much smaller its stream is than encode's.\n"
              "decoded outputs %s the inputs\n",
              allMatch ? "match" : "DO NOT MATCH");
  if (!tlzpack.empty() && !baseline.empty()) {
    if (!WholeProcesses(parts, dir, runs, tlzpack, baseline)) allMatch = false;
  }
  fs::remove_all(dir);
  return allMatch ? 0 : 1;
}
