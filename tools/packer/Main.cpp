// tlzpack: the command-line tool that makes and checks the installer's payload archives.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "Packer.h"

namespace {

struct Command {
  const char* name;
  const char* usage;
  const char* help;
};

const Command kCommands[] = {
    {"pack", "tlzpack pack [--best] [--inputs LIST] [--] ARCHIVE INPUT...",
     "Writes ARCHIVE with one entry per INPUT, in the given order. An INPUT is FILE,\n"
     "stored under its own file name, or NAME=FILE, stored as NAME; NAME may hold folder\n"
     "names joined with \"\\\" (\"data\\\\a.txt\" in a shell). An INPUT with \"=\" is always\n"
     "read as NAME=FILE. Names are given in UTF-8 and stored in Shift-JIS.\n"
     "--inputs LIST reads more INPUTs from the file LIST, one a line (UTF-8), before those\n"
     "of the command line; empty lines are skipped.\n"
     "--best chooses the tokens that make each stream smallest (never larger than the\n"
     "default), working through 8 MiB of a file at a time in under 100 MB of memory;\n"
     "the installer decodes both alike. The default writes the streams of the\n"
     "classic binary-tree encoder, byte for byte. Put \"--\" before a file whose name\n"
     "starts with \"-\" (\"-h\", \"--help\").\n"
     "Refused, with nothing written: a name over 255 bytes in Shift-JIS, or with a\n"
     "character Shift-JIS holds only as another one (a yen sign would become \"\\\");\n"
     "a name that the installer would refuse (leading \"\\\", a drive or any \":\", any\n"
     "\"/\", \".\" or \"..\" components, empty components, a folder name ending in a\n"
     "dot or a space, control characters, device names such as CON); two names that\n"
     "are one file on Windows (equal with every letter in upper case, as NTFS compares\n"
     "them: Latin, Greek, Cyrillic, full-width, Roman numerals and all others; and\n"
     "trailing dots and spaces are dropped); a file where another name needs a folder;\n"
     "an empty file; a file over 4 GiB - 1 bytes.\n"},
    {"list", "tlzpack list ARCHIVE",
     "Prints one line per entry: name, size, stream length and offset, then a total.\n"
     "The stream lengths are found by decoding.\n"},
    {"verify", "tlzpack verify ARCHIVE",
     "Decodes every entry as the installer would and checks that each stream completes,\n"
     "that the archive ends right after the last stream, that every name is one the\n"
     "installer accepts, and that no stream depends on the entry before it. Says what\n"
     "is wrong and where (entry and offset) otherwise.\n"},
    {"extract", "tlzpack extract ARCHIVE FOLDER",
     "Writes the entries below FOLDER (created when missing), \"\\\" in names becoming\n"
     "folders. A name that would leave FOLDER stops the extraction with an error.\n"},
    {"encode", "tlzpack encode [--best] INPUT OUTPUT",
     "Writes the bare LZSS stream of INPUT (no entry header) to OUTPUT; --best as for\n"
     "pack.\n"},
    {"decode", "tlzpack decode INPUT OUTPUT SIZE",
     "Decodes the bare LZSS stream in INPUT to OUTPUT, which is to be SIZE bytes long.\n"
     "Fails when the stream ends early or when bytes follow the end of the stream.\n"},
};

const char kExitCodes[] =
    "Exit codes: 0 success, 1 bad input (a file or an archive that cannot be used),\n"
    "2 bad usage.\n";

const Command* FindCommand(const std::string& name) {
  for (const Command& c : kCommands) {
    if (name == c.name) return &c;
  }
  return nullptr;
}

void PrintOverview(std::ostream& out) {
  out << "tlzpack: makes and checks the installer's payload archives (entries of a name,\n"
         "a size and an LZSS stream).\n\nUsage:\n";
  for (const Command& c : kCommands) out << "  " << c.usage << '\n';
  out << "  tlzpack COMMAND --help\n\n"
         "pack and encode write their output under a temporary name beside it and move it\n"
         "into place when it is whole: when they fail (out of memory too), nothing is left.\n"
         "Large inputs show a progress line when the error output is a terminal.\n"
      << kExitCodes;
}

void PrintCommandHelp(const Command& command, std::ostream& out) {
  out << "Usage: " << command.usage << "\n\n" << command.help << '\n' << kExitCodes;
}

int Usage(const std::string& message, const Command* command) {
  std::cerr << "tlzpack: " << message << '\n';
  if (command != nullptr) {
    std::cerr << "Usage: " << command->usage << '\n';
  } else {
    std::cerr << "Run \"tlzpack --help\" for the commands.\n";
  }
  return packer::kBadUsage;
}

bool IsHelp(const std::string& argument) {
  return argument == "--help" || argument == "-h" || argument == "help";
}

// A decimal size of at most 4294967295.
bool ParseSize(const std::string& text, std::uint32_t& size) {
  if (text.empty() || text.size() > 10) return false;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value > 0xFFFFFFFFu) return false;
  size = static_cast<std::uint32_t>(value);
  return true;
}

int Run(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintOverview(std::cerr);
    return packer::kBadUsage;
  }
  if (IsHelp(args[0])) {
    if (args.size() > 1) {
      const Command* command = FindCommand(args[1]);
      if (command == nullptr) return Usage("unknown command \"" + args[1] + "\"", nullptr);
      PrintCommandHelp(*command, std::cout);
      return packer::kSuccess;
    }
    PrintOverview(std::cout);
    return packer::kSuccess;
  }
  const Command* command = FindCommand(args[0]);
  if (command == nullptr) return Usage("unknown command \"" + args[0] + "\"", nullptr);
  std::vector<std::string> operands(args.begin() + 1, args.end());
  // "--" ends the options, so that a file named "-h" or "--help" can be an operand.
  for (const std::string& operand : operands) {
    if (operand == "--") break;
    if (operand == "--help" || operand == "-h") {
      PrintCommandHelp(*command, std::cout);
      return packer::kSuccess;
    }
  }
  const std::string name = command->name;
  bool dashDash = false;
  bool best = false;
  std::string inputList;
  std::vector<std::string> plain;
  for (std::size_t i = 0; i < operands.size(); ++i) {
    const std::string& operand = operands[i];
    if (!dashDash && operand == "--") {
      dashDash = true;
    } else if (!dashDash && operand == "--best" && (name == "pack" || name == "encode")) {
      best = true;
    } else if (!dashDash && operand == "--inputs" && name == "pack") {
      if (i + 1 == operands.size()) return Usage("--inputs needs a file", command);
      inputList = operands[++i];
    } else if (!dashDash && operand.size() > 1 && operand[0] == '-') {
      return Usage("unknown option \"" + operand + "\"", command);
    } else {
      plain.push_back(operand);
    }
  }

  packer::Console console{std::cout, std::cerr, isatty(STDERR_FILENO) != 0};
  const packer::Coding coding = best ? packer::Coding::Smallest : packer::Coding::Classic;
  if (name == "pack") {
    std::vector<std::string> arguments;
    if (!inputList.empty()) {
      std::ifstream list(inputList, std::ios::binary);
      if (!list) {
        std::cerr << "tlzpack: cannot open the input list " << inputList << '\n';
        return packer::kBadInput;
      }
      for (std::string line; std::getline(list, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) arguments.push_back(line);
      }
    }
    if (plain.empty()) return Usage("pack needs an archive and at least one input", command);
    arguments.insert(arguments.end(), plain.begin() + 1, plain.end());
    if (arguments.empty()) return Usage("pack needs an archive and at least one input", command);
    std::vector<packer::PackInput> inputs;
    for (const std::string& argument : arguments) {
      packer::PackInput input = packer::ParsePackInput(argument);
      if (input.name.empty() || input.path.empty()) {
        return Usage("\"" + argument + "\" is not FILE or NAME=FILE", command);
      }
      inputs.push_back(input);
    }
    return packer::Pack(plain[0], inputs, console, coding);
  }
  if (name == "list" || name == "verify") {
    if (plain.size() != 1) return Usage(name + " needs one archive", command);
    return name == "list" ? packer::List(plain[0], console) : packer::Verify(plain[0], console);
  }
  if (name == "extract") {
    if (plain.size() != 2) return Usage("extract needs an archive and a folder", command);
    return packer::Extract(plain[0], plain[1], console);
  }
  if (name == "encode") {
    if (plain.size() != 2) return Usage("encode needs an input and an output", command);
    return packer::EncodeFile(plain[0], plain[1], console, coding);
  }
  // decode
  if (plain.size() != 3) return Usage("decode needs an input, an output and a size", command);
  std::uint32_t size = 0;
  if (!ParseSize(plain[2], size)) {
    return Usage("the size must be a decimal number from 0 to 4294967295", command);
  }
  return packer::DecodeFile(plain[0], plain[1], size, console);
}

}  // namespace

int main(int argc, char** argv) {
  // A command that cannot go on (out of memory above all: --best on a large file) ends
  // with a message; the output file it was writing is removed on the way out.
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::cerr << "tlzpack: not enough memory; nothing written\n";
  } catch (const std::exception& e) {
    std::cerr << "tlzpack: " << e.what() << "; nothing written\n";
  }
  return packer::kBadInput;
}
