#include "platform/files/TextFile.h"

#include <errno.h>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <vector>

#include "tests/platform/TestFiles.h"
#include "tests/support/TestText.h"

namespace tavo {
namespace {

using test::ReadBytes;
using test::sj;
using test::TempDir;
using test::WriteBytes;

constexpr size_t K = TextFile::kBufferSize;

std::vector<std::string> ReadAllLines(const std::string& path) {
  TextFile f;
  EXPECT_EQ(f.OpenRead(path), 0);
  std::vector<std::string> lines;
  std::string line = "stale";
  while (!f.Eof()) {
    EXPECT_EQ(f.ReadLine(line), 0);
    lines.push_back(line);
  }
  EXPECT_EQ(f.ReadLine(line), 0);  // past the end: an empty line, no error
  EXPECT_EQ(line, "");
  EXPECT_EQ(f.Close(), 0);
  return lines;
}

std::string Summary(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& l : lines) s.append("[").append(l.size() > 40 ? std::to_string(l.size()) + " bytes" : test::hex(l)).append("]");
  return s;
}

struct Case {
  const char* what;
  std::string bytes;
  std::vector<std::string> lines;
};

TEST(TextFile, SplitsLinesAndStopsAt1A) {
  const std::string x(K - 1, 'x');
  const Case cases[] = {
      {"CR LF", "a\r\nb\r\n", {"a", "b"}},
      {"LF", "a\nb\n", {"a", "b"}},
      {"no final line break", "a\r\nb", {"a", "b"}},
      {"empty file", "", {}},
      {"blank lines", "\r\n\n", {"", ""}},
      {"lone CR is data", "a\rb\r\n", {"a\rb"}},
      {"CR before CR LF", "a\r\r\n", {"a\r"}},
      {"final lone CR", "a\r", {"a\r"}},
      {"1A ends the file", "a\r\n\x1A" "b\r\n", {"a"}},
      {"1A inside a line", "ab\x1A" "cd\r\n", {"ab"}},
      {"1A first", "\x1A" "a\r\n", {}},
      {"NUL is data", std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
      {"CP932 with 5C trail bytes", sj("表示\r\nソ\\\r\n"), {sj("表示"), sj("ソ\\")}},
      {"CR LF split between blocks", x + "\r\ny", {x, "y"}},
      {"lone CR at a block's end", x + "\rz\n", {x + "\rz"}},
      {"LF first in a block", x + "x\nq", {x + "x", "q"}},
      {"1A first in a block", x + "\n\x1A" "more\n", {x}},
      {"1 MiB line", std::string(1 << 20, 'm') + "\r\nshort\r\n", {std::string(1 << 20, 'm'), "short"}},
  };
  TempDir dir;
  for (const auto& c : cases) {
    WriteBytes(dir / "t.dic", c.bytes);
    EXPECT_EQ(Summary(ReadAllLines(dir / "t.dic")), Summary(c.lines)) << c.what;
  }
}

TEST(TextFile, ReportsFailuresAsCodes) {
  TempDir dir;
  TextFile f;
  std::string line = "stale";
  EXPECT_FALSE(f.IsOpen());
  EXPECT_TRUE(f.Eof());
  EXPECT_EQ(f.ReadLine(line), EBADF);
  EXPECT_EQ(line, "");
  EXPECT_EQ(f.Close(), EBADF);

  EXPECT_EQ(f.OpenRead(dir / "missing.dic"), ENOENT);
  EXPECT_FALSE(f.IsOpen());
  EXPECT_EQ(f.OpenRead(dir.path()), EISDIR);
  EXPECT_FALSE(f.IsOpen());
  EXPECT_EQ(f.OpenRead(dir.path() + "/\x82"), ENOENT);  // no OS form
  EXPECT_NE(f.ReadLine(line), 0);

  // A file that opens but cannot be read: a reading loop must not take the
  // failure for the end of the file.
  ASSERT_EQ(f.OpenRead("/proc/self/mem"), 0);
  EXPECT_FALSE(f.Eof());
  EXPECT_EQ(f.ReadLine(line), EIO);
  EXPECT_EQ(f.ReadLine(line), EIO) << "the error stays";
  EXPECT_FALSE(f.Eof());
}

TEST(TextFile, OpensJapaneseNamesAndReopens) {
  TempDir dir;
  WriteBytes(dir / "一.dic", "a1\r\na2\r\n");
  WriteBytes(dir / "二.dic", "b1\r\n");
  TextFile f;
  std::string line;
  ASSERT_EQ(f.OpenRead(dir.path() + sj("/一.dic")), 0);
  ASSERT_EQ(f.ReadLine(line), 0);
  EXPECT_EQ(line, "a1");
  ASSERT_EQ(f.OpenRead(dir.path() + sj("/二.dic")), 0);  // closes the first
  ASSERT_EQ(f.ReadLine(line), 0);
  EXPECT_EQ(line, "b1");
  EXPECT_TRUE(f.Eof());
  EXPECT_EQ(f.Close(), 0);
  EXPECT_TRUE(f.Eof());
}

TEST(AppendLine, StartsANewLineAndKeeps1ALast) {
  const struct {
    const char* what;
    std::string before, text, after;
  } cases[] = {
      {"after CR LF", "a\r\n", "w", "a\r\nw\r\n"},
      {"after LF", "a\n", "w", "a\nw\r\n"},
      {"no final line break", "a", "w", "a\r\nw\r\n"},
      {"final lone CR", "a\r", "w", "a\r\r\nw\r\n"},
      {"empty file", "", "w", "w\r\n"},
      {"empty word", "a\r\n", "", "a\r\n\r\n"},
      {"ends with 1A", "a\r\n\x1A", "w", "a\r\nw\r\n\x1A"},
      {"1A after an open line", "a\x1A", "w", "a\r\nw\r\n\x1A"},
      {"only 1A", "\x1A", "w", "w\r\n\x1A"},
      {"1A before junk", "a\r\n\x1Ajunk", "w", "a\r\nw\r\n\x1Ajunk"},
      {"Japanese word", "a\r\n", sj("点字□辞書"), "a\r\n" + sj("点字□辞書") + "\r\n"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    WriteBytes(dir / "w.dic", c.before);
    EXPECT_EQ(AppendLine(dir / "w.dic", c.text), 0) << c.what;
    EXPECT_EQ(test::hex(ReadBytes(dir / "w.dic")), test::hex(c.after)) << c.what;
  }
  // The appended word is what a reader finds last.
  WriteBytes(dir / "w.dic", "a\r\nb\x1A");
  ASSERT_EQ(AppendLine(dir / "w.dic", "c"), 0);
  EXPECT_EQ(Summary(ReadAllLines(dir / "w.dic")), Summary({"a", "b", "c"}));
}

TEST(AppendLine, FailsWithoutCreatingOrDamaging) {
  TempDir dir;
  EXPECT_EQ(AppendLine(dir / "missing.dic", "w"), ENOENT);
  EXPECT_EQ(ReadBytes(dir / "missing.dic"), "<missing>");
  EXPECT_NE(AppendLine(dir.path(), "w"), 0);
  EXPECT_EQ(AppendLine(dir.path() + "/\x82", "w"), ENOENT);
}

// Three processes register 500 words each into one dictionary: every word
// lands whole, on a CR LF line of its own, and each call that reported
// success holds.
TEST(AppendLine, ConcurrentAppendsEachLandWholeOnALineOfTheirOwn) {
  TempDir dir;
  const std::string dic = dir / "shared.dic";
  WriteBytes(dic, sj("いぬ"));  // no final line break
  constexpr int kProcesses = 3, kWords = 500;
  auto word = [](int p, int i) { return sj("語") + std::to_string(p) + "-" + std::string(1 + (i * 7 + p) % 40, 'w') + std::to_string(i); };
  std::vector<pid_t> pids;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t pid = ::fork();
    if (pid == 0) {
      for (int i = 0; i < kWords; ++i)
        if (AppendLine(dic, word(p, i)) != 0) ::_exit(1);
      ::_exit(0);
    }
    pids.push_back(pid);
  }
  for (pid_t pid : pids) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::string bytes = ReadBytes(dic);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  std::multiset<std::string> lines, expected{sj("いぬ")};
  for (size_t pos = 0; pos < bytes.size();) {
    size_t end = bytes.find("\r\n", pos);
    ASSERT_NE(end, std::string::npos);
    lines.insert(bytes.substr(pos, end - pos));
    pos = end + 2;
  }
  for (int p = 0; p < kProcesses; ++p)
    for (int i = 0; i < kWords; ++i) expected.insert(word(p, i));
  EXPECT_EQ(lines.size(), expected.size());
  EXPECT_TRUE(lines == expected) << "a word was lost or torn";
}

int AppendLong(const std::string& path) {
  return AppendLine(path, std::string(5000, 'w')) == EFBIG ? 0 : 1;
}

TEST(AppendLine, PutsTheFileBackWhenTheWriteFails) {
  TempDir dir;
  const std::string original = "a\r\n\x1A" "tail";
  WriteBytes(dir / "w.dic", original);
  EXPECT_EQ(test::RunWithFileSizeLimit(100, AppendLong, dir / "w.dic"), 0);
  EXPECT_EQ(test::hex(ReadBytes(dir / "w.dic")), test::hex(original));
}

}  // namespace
}  // namespace tavo
