// tavo_gen: writes test and benchmark data - a large segmentation dictionary
// or a folder of RUTE braille documents. See Usage() for the command line;
// the formats are described in gen/DictGen.h and gen/RuteGen.h.
//
// Exit status: 0 done, 1 a file could not be written, 2 bad arguments,
// 128 + signal number when interrupted (no partial file is left behind).
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/gen/AtomicFile.h"
#include "tools/gen/DictGen.h"
#include "tools/gen/Interrupt.h"
#include "tools/gen/RuteGen.h"

namespace {

using tavo::gen::InterruptSignal;

constexpr uint64_t kMaxMegabytes = uint64_t{1} << 20;  // 1 TiB

// For the terminal: UTF-8 like the source.
const char kUsage[] =
    "usage:\n"
    "  tavo_gen dict <path> <megabytes> [--hits <word> <every-n-lines> |\n"
    "           --hits-hex <cp932-hex> <every-n-lines>] [--seed N]\n"
    "  tavo_gen rute <folder> <files> <lines-per-file> [--subfolders K]\n"
    "           [--lines-per-page L] [--seed N]\n"
    "\n"
    "dict  writes a CP932 segmentation dictionary of <megabytes> MiB (1 MiB =\n"
    "      1048576 bytes; the file ends at the next line end), CR LF lines of\n"
    "      every kind: compounds with □ between their parts, '%' comments, '#'\n"
    "      lines, group lines '*' with members '+' and '+,', code parts\n"
    "      (\"K0123/...\") and \"heading:form\" lines.\n"
    "      No line contains ね (82 CB): a search for ねこ (82 CB 82 B1), ねずみ,\n"
    "      きつね or any word with ね finds nothing, unless it is the hit word.\n"
    "      --hits-hex 82CB82B1 5  every 5th line is a hit for ねこ (CP932 bytes in hex)\n"
    "      --hits ABC 5           the same for a word of printable ASCII\n"
    "rute  writes <files> RUTE braille documents (doc0001.RUT, doc0002.rut, ...)\n"
    "      of <lines-per-file> braille lines each into <folder>, dealt in turn to\n"
    "      the folder and K nested subfolders (default 0), with L lines per page\n"
    "      (1-99, default 18) in their headers, plus memo.txt in every folder,\n"
    "      which is no RUTE document.\n"
    "--seed N  the same seed gives the same bytes (default 1).\n"
    "Files are written under a temporary name and renamed when complete.\n";

// Thrown for a bad command line; main prints it with the usage.
struct UsageError {
  std::string Message;
};

std::optional<uint64_t> ParseNumber(std::string_view s) {
  uint64_t v = 0;
  const char* end = s.data() + s.size();
  const auto r = std::from_chars(s.data(), end, v);
  if (s.empty() || r.ec != std::errc() || r.ptr != end) return std::nullopt;
  return v;
}

uint64_t Number(std::string_view what, std::string_view s, uint64_t min, uint64_t max) {
  const auto v = ParseNumber(s);
  if (!v || *v < min || *v > max) {
    throw UsageError{std::string(what) + " must be a whole number from " + std::to_string(min) + " to " +
                     std::to_string(max) + ", not \"" + std::string(s) + "\""};
  }
  return *v;
}

std::optional<std::string> ParseHex(std::string_view s) {
  if (s.empty() || s.size() % 2 != 0) return std::nullopt;
  std::string out;
  for (size_t i = 0; i < s.size(); i += 2) {
    unsigned v = 0;
    const auto r = std::from_chars(s.data() + i, s.data() + i + 2, v, 16);
    if (r.ec != std::errc() || r.ptr != s.data() + i + 2) return std::nullopt;
    out += static_cast<char>(v);
  }
  return out;
}

// The arguments after the sub-command: positionals in order, options with
// the number of values each takes.
class Args {
 public:
  Args(int argc, char** argv) : args_(argv + (argc < 2 ? argc : 2), argv + argc) {}

  std::string_view Next(std::string_view what) {
    if (pos_ >= args_.size() || args_[pos_].starts_with("--")) throw UsageError{"missing " + std::string(what)};
    return args_[pos_++];
  }

  // The next option name, or "" at the end.
  std::string_view NextOption() {
    if (pos_ >= args_.size()) return "";
    if (!args_[pos_].starts_with("--")) throw UsageError{"unexpected argument \"" + args_[pos_] + "\""};
    return args_[pos_++];
  }

 private:
  std::vector<std::string> args_;
  size_t pos_ = 0;
};

int Fail(const std::string& message) {
  if (const int sig = InterruptSignal(); sig != 0) {
    std::fprintf(stderr, "tavo_gen: interrupted, no partial file left\n");
    return 128 + sig;
  }
  std::fprintf(stderr, "tavo_gen: %s\n", message.c_str());
  return 1;
}

int RunDict(Args& args) {
  const std::filesystem::path path(args.Next("<path>"));
  tavo::gen::DictOptions options;
  options.TargetBytes = Number("<megabytes>", args.Next("<megabytes>"), 1, kMaxMegabytes) << 20;
  bool hitsGiven = false;
  for (std::string_view opt = args.NextOption(); !opt.empty(); opt = args.NextOption()) {
    if (opt == "--hits" || opt == "--hits-hex") {
      if (hitsGiven) throw UsageError{"give --hits or --hits-hex once"};
      hitsGiven = true;
      const std::string_view word = args.Next("the word of " + std::string(opt));
      if (opt == "--hits") {
        for (unsigned char c : word) {
          if (c <= 0x20 || c >= 0x7F) throw UsageError{"--hits takes printable ASCII; give other words with --hits-hex"};
        }
        options.HitWord = word;
      } else {
        const auto bytes = ParseHex(word);
        if (!bytes) throw UsageError{"--hits-hex takes pairs of hex digits, not \"" + std::string(word) + "\""};
        options.HitWord = *bytes;
      }
      if (const std::string why = tavo::gen::CheckHitWord(options.HitWord); !why.empty()) throw UsageError{why};
      options.HitEvery = Number("<every-n-lines>", args.Next("<every-n-lines>"), 1, UINT64_MAX);
    } else if (opt == "--seed") {
      options.Seed = Number("--seed", args.Next("the value of --seed"), 0, UINT64_MAX);
    } else {
      throw UsageError{"unknown option " + std::string(opt) + " for dict"};
    }
  }

  tavo::gen::AtomicFile file(path);
  std::string error;
  if (!file.Open(error)) return Fail(error);
  const bool done = tavo::gen::GenerateDictionary(options, [&](std::string_view block) {
    return InterruptSignal() == 0 && file.Write(block, error);
  });
  if (!done || !file.Commit(error)) return Fail(error);
  return 0;
}

int RunRute(Args& args) {
  const std::filesystem::path folder(args.Next("<folder>"));
  tavo::gen::RuteOptions options;
  options.Files = static_cast<int>(Number("<files>", args.Next("<files>"), 1, 1000000));
  options.LinesPerFile = static_cast<int>(Number("<lines-per-file>", args.Next("<lines-per-file>"), 0, 100000000));
  for (std::string_view opt = args.NextOption(); !opt.empty(); opt = args.NextOption()) {
    if (opt == "--subfolders") {
      options.Subfolders = static_cast<int>(Number("--subfolders", args.Next("the value of --subfolders"), 0, 1000));
    } else if (opt == "--lines-per-page") {
      options.LinesPerPage =
          static_cast<int>(Number("--lines-per-page", args.Next("the value of --lines-per-page"), 1, 99));
    } else if (opt == "--seed") {
      options.Seed = Number("--seed", args.Next("the value of --seed"), 0, UINT64_MAX);
    } else {
      throw UsageError{"unknown option " + std::string(opt) + " for rute"};
    }
  }
  std::string error;
  if (!tavo::gen::GenerateRuteFolder(folder, options, error)) return Fail(error);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view command = argc >= 2 ? argv[1] : "";
  if (command == "-h" || command == "--help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  tavo::gen::InstallInterruptHandlers();
  try {
    Args args(argc, argv);
    if (command == "dict") return RunDict(args);
    if (command == "rute") return RunRute(args);
    throw UsageError{command.empty() ? "no sub-command" : "unknown sub-command \"" + std::string(command) + "\""};
  } catch (const UsageError& e) {
    std::fprintf(stderr, "tavo_gen: %s\n%s", e.Message.c_str(), kUsage);
    return 2;
  }
}
