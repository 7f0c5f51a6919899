// The settings file on real files: what a save writes and what it leaves to
// other programs, and that a crash, a kill, a full disk or a second copy of
// the program never leaves a mixture of two lists.
#include "dictool/SettingsFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "dictool/Cp932Texts.h"
#include "platform/files/IniFile.h"
#include "platform/files/PrivateProfile.h"
#include "platform/text/Cp932.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"

namespace tavo::test {
namespace {

using Paths = std::vector<std::string>;

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

TSettings Loaded(const std::string& file) {
  TSettings s;
  EXPECT_EQ(TSettingsFile(file).Load(s), 0);
  return s;
}

// Saves `s` as a program that started on the file as it is now would.
void SaveOver(const std::string& file, const std::function<void(TSettings&)>& change) {
  TSettingsFile f(file);
  TSettings s;
  ASSERT_EQ(f.Load(s), 0);
  change(s);
  f.Save(s);
}

std::string SaveError(TSettingsFile& f, const TSettings& s) {
  try {
    f.Save(s);
  } catch (const EIniFileException& e) {
    return e.what();
  }
  return "";
}

bool HasTemporaries(const std::string& folder) {
  bool found = false;
  if (DIR* d = ::opendir(folder.c_str())) {
    while (dirent* e = ::readdir(d)) found |= std::string(e->d_name).find(".~tavo") != std::string::npos;
    ::closedir(d);
  }
  return found;
}

// Runs `body` in a child process, which answers by its exit code (gtest's
// checks do not cross a fork; an exception exits with 99).
pid_t Spawn(const std::function<int()>& body) {
  pid_t pid = ::fork();
  if (pid == 0) {
    int rc = 99;
    try {
      rc = body();
    } catch (const std::exception&) {
    }
    ::_exit(rc);
  }
  return pid;
}

int ExitCode(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Paths Numbered(const std::string& prefix, int n) {
  Paths out;
  for (int i = 0; i < n; ++i) out.push_back(prefix + std::to_string(i) + ".dic");
  return out;
}

// What a first run writes: every key, in the order of loading and saving.
const std::string kFirstRunFile = sj(
    "[検索対象辞書ファイル]\r\nファイル数=0\r\n[検索対象外辞書ファイル]\r\nファイル数=0\r\n"
    "[書込対象辞書ファイル]\r\nファイル名=\r\n"
    "[デスクトップ]\r\nTop=128\r\nLeft=191\r\nHeight=521\r\nWidth=811\r\n[表示色]\r\nColor=1\r\n"
    "[フォント]\r\nName=ＭＳ ゴシック\r\nSize=16\r\nBold=0\r\nItalic=0\r\nUnderline=0\r\nStrikeOut=0\r\n"
    "[ヒント表示]\r\nHint=1\r\n"
    "[外部ファイル選択]\r\n最後に参照したパス=/opt/tavodic/bin\r\n表示位置TOP=123\r\n表示位置LEFT=159\r\n"
    "表示サイズ幅=729\r\n表示サイズ高さ=482\r\n名前カラム幅=180\r\nサイズカラム幅=50\r\n種類カラム幅=100\r\n"
    "更新日時カラム幅=120\r\n属性カラム幅=38\r\n履歴最大保持数=20\r\n履歴数=0\r\n下層フォルダ検索フラグ=0\r\n"
    "TreeView幅=217\r\n表示方法=詳細\r\n"
    "[外部ファイル選択フォント]\r\nName=ＭＳ Ｐゴシック\r\nSize=9\r\nColor=9\r\nBold=0\r\nItalic=0\r\n"
    "Underline=0\r\nStrikeOut=0\r\n");

// A file with another value than the default for every key, among lines
// that are not the program's, and what it reads as.
const std::string kEveryKeyFile = sj(
    "; written by hand\r\n[検索対象辞書ファイル]\r\nファイル数=2\r\nファイル名0=/d/a.dic\r\nファイル名1=/d/b.dic\r\n"
    "[検索対象外辞書ファイル]\r\nファイル数=1\r\nファイル名0=/d/c.dic\r\n[書込対象辞書ファイル]\r\nファイル名=/d/a.dic\r\n"
    "[他のプログラム]\r\n鍵=値\r\n\r\n"
    "[デスクトップ]\r\nTop=10\r\nLeft=20\r\nHeight=300\r\nWidth=400\r\n[表示色]\r\nColor=3\r\n"
    "[フォント]\r\nName=IPAGothic\r\nSize=12\r\nBold=1\r\nItalic=1\r\nUnderline=1\r\nStrikeOut=1\r\n"
    "[ヒント表示]\r\nHint=0\r\n"
    "[外部ファイル選択]\r\n最後に参照したパス=/home/u/点字\r\n表示位置TOP=5\r\n表示位置LEFT=6\r\n"
    "表示サイズ幅=700\r\n表示サイズ高さ=500\r\n名前カラム幅=181\r\nサイズカラム幅=51\r\n種類カラム幅=101\r\n"
    "更新日時カラム幅=121\r\n属性カラム幅=39\r\n履歴最大保持数=5\r\n履歴数=2\r\n検索開始フォルダ履歴1=/home/u\r\n"
    "検索開始フォルダ履歴2=/home/u/点字\r\n下層フォルダ検索フラグ=1\r\nTreeView幅=250\r\n表示方法=一覧\r\n"
    "[外部ファイル選択フォント]\r\nName=DejaVu Sans\r\nSize=11\r\nColor=11\r\nBold=1\r\nItalic=1\r\n"
    "Underline=1\r\nStrikeOut=1\r\n[パス]\r\nTAVO=/opt/tavo/tavo\r\n");

TSettings EveryKeySettings() {
  TSettings s;
  s.SearchDicList = {"/d/a.dic", "/d/b.dic"};
  s.NotSearchDicList = {"/d/c.dic"};
  s.WriteDic = "/d/a.dic";
  s.Top = 10, s.Left = 20, s.Height = 300, s.Width = 400;
  s.ColorScheme = 3;
  s.GridFontName = "IPAGothic";
  s.GridFontSize = 12;
  s.GridFontBold = s.GridFontItalic = s.GridFontUnderline = s.GridFontStrikeOut = true;
  s.HintVisible = false;
  s.LastFolder = sj("/home/u/点字");
  s.DialogTop = 5, s.DialogLeft = 6, s.DialogWidth = 700, s.DialogHeight = 500;
  s.NameColumnWidth = 181, s.SizeColumnWidth = 51, s.TypeColumnWidth = 101, s.ModifiedColumnWidth = 121;
  s.AttributesColumnWidth = 39;
  s.HistoryMax = 5;
  s.FolderHistory = {"/home/u", sj("/home/u/点字")};
  s.SearchSubfolders = true;
  s.TreeWidth = 250;
  s.ViewStyle = svList;
  s.FolderFontName = "DejaVu Sans";
  s.FolderFontSize = 11;
  s.FolderFontBold = s.FolderFontItalic = s.FolderFontUnderline = s.FolderFontStrikeOut = true;
  s.EditorPath = "/opt/tavo/tavo";
  return s;
}

TEST(SettingsFileTest, ASaveWritesWhatChangedAndWhatIsMissingAndLeavesTheRest) {
  TempDir dir;
  const std::string file = dir / "tavodic.ini";
  // First run: every default, and every setting is written as it is; the
  // editor's path is not.
  TSettings first;
  first.LastFolder = "/opt/tavodic/bin";
  ASSERT_EQ(TSettingsFile(file).Load(first), 0);
  TSettings defaults;
  defaults.LastFolder = "/opt/tavodic/bin";
  EXPECT_EQ(first, defaults);
  TSettingsFile(file).Save(first);
  EXPECT_EQ(Read(file), kFirstRunFile);

  // Two copies start on one file; the editor writes its key meanwhile.
  TSettingsFile a(file), b(file);
  TSettings sa, sb;
  ASSERT_EQ(a.Load(sa), 0);
  ASSERT_EQ(b.Load(sb), 0);
  ASSERT_TRUE(WritePrivateProfileString(sj("パス"), "TAVO", "/opt/tavo/tavo", file));
  sa.SearchDicList = {"/d/a.dic", "/d/b.dic", "/d/c.dic", "/d/d.dic", "/d/e.dic"};
  a.Save(sa);
  sb.WriteDic = "/d/w.dic";
  b.Save(sb);  // changed only the write dictionary: a's list stays
  b.Save(sb);  // and a second save of b writes nothing of its stale list
  TSettings now = Loaded(file);
  EXPECT_EQ(now.SearchDicList, sa.SearchDicList);
  EXPECT_EQ(now.WriteDic, "/d/w.dic");
  EXPECT_EQ(GetPrivateProfileString(sj("パス"), "TAVO", "", file), "/opt/tavo/tavo");

  // A shorter list keeps the numbered keys beyond its count, which no load reads.
  sa.SearchDicList = {"/d/e.dic", "/d/a.dic"};
  a.Save(sa);
  EXPECT_EQ(GetPrivateProfileString(sj("検索対象辞書ファイル"), sj("ファイル名4"), "", file), "/d/e.dic");
  EXPECT_EQ(Loaded(file).SearchDicList, (Paths{"/d/e.dic", "/d/a.dic"}));

  // A key someone removed is written again although this copy kept its value.
  Write(file, sj("[検索対象辞書ファイル]\r\nファイル数=3\r\nファイル名0=/d/x.dic\r\nファイル名1=\r\nファイル名2= /d/y.dic \r\n"));
  a.Save(sa);
  now = Loaded(file);
  EXPECT_EQ(now.SearchDicList, (Paths{"/d/x.dic", "/d/y.dic"})) << "empty items skipped, blanks trimmed";
  EXPECT_EQ(now.WriteDic, "");
  EXPECT_EQ(now.NotSearchDicList, Paths{});

  // A value too long for the file names another file when read cut: it is
  // no entry at all.
  Write(file, sj("[検索対象辞書ファイル]\r\nファイル数=2\r\nファイル名0=/") + std::string(2100, 'x') +
                  sj("\r\nファイル名1=/d/z.dic\r\n[書込対象辞書ファイル]\r\nファイル名=/") + std::string(2100, 'w') + "\r\n");
  now = Loaded(file);
  EXPECT_EQ(now.SearchDicList, (Paths{"/d/z.dic"}));
  EXPECT_EQ(now.WriteDic, "");
}

TEST(SettingsFileTest, EveryKeyIsReadAndAnUnchangedSaveLeavesTheFileByteForByte) {
  TempDir dir;
  const std::string file = dir / "tavodic.ini";
  Write(file, kEveryKeyFile);
  TSettingsFile f(file);
  TSettings s;
  s.LastFolder = "/program";
  ASSERT_EQ(f.Load(s), 0);
  EXPECT_EQ(s, EveryKeySettings());
  f.Save(s);
  EXPECT_EQ(Read(file), kEveryKeyFile);

  // The editor's path is never written; every other value comes back as saved.
  s.EditorPath = "/elsewhere";
  s.ViewStyle = svLargeIcons;
  s.FolderHistory.push_back("/tmp");
  s.FolderFontSize = 14;
  f.Save(s);
  TSettings again = Loaded(file);
  EXPECT_EQ(again.EditorPath, "/opt/tavo/tavo");
  again.EditorPath = s.EditorPath;
  EXPECT_EQ(again, s);
  EXPECT_EQ(GetPrivateProfileString(sj("外部ファイル選択フォント"), "Color", "", file), "14");
  EXPECT_EQ(GetPrivateProfileString(sj("外部ファイル選択"), sj("表示方法"), "", file), sj("大きいアイコン"));
  EXPECT_EQ(GetPrivateProfileString(sj("他のプログラム"), sj("鍵"), "", file), sj("値"));

  // History keys beyond the count stay in the file and are not read.
  s.FolderHistory = {"/only"};
  f.Save(s);
  EXPECT_EQ(GetPrivateProfileString(sj("外部ファイル選択"), sj("検索開始フォルダ履歴3"), "", file), "/tmp");
  EXPECT_EQ(Loaded(file).FolderHistory, Paths{"/only"});
}

TEST(SettingsFileTest, DamagedValuesLoadSafely) {
  TempDir dir;
  const std::string file = dir / "tavodic.ini";
  Write(file, sj("[検索対象辞書ファイル]\r\nファイル数=2147483647\r\nファイル名0=/d/a.dic\r\n"
                 "[デスクトップ]\r\nTop=0x\r\nLeft=0x1F\r\nHeight=tall\r\nWidth= 300 \r\n[表示色]\r\nColor=7\r\n"
                 "[フォント]\r\nSize=0\r\nBold=2\r\nItalic=-1\r\n[ヒント表示]\r\nHint=5\r\n"
                 "[外部ファイル選択]\r\n最後に参照したパス=\r\n履歴数=0x7FFFFFFF\r\n検索開始フォルダ履歴2=/b\r\n"
                 "表示方法=ichiran\r\n"
                 "[外部ファイル選択フォント]\r\nSize=12\r\nColor=201\r\nUnderline=1\r\n"));
  TSettingsFile f(file);
  TSettings s;
  s.LastFolder = "/program";
  ASSERT_EQ(f.Load(s), 0);
  EXPECT_EQ(s.SearchDicList, Paths{"/d/a.dic"});
  EXPECT_EQ(s.Top, 128);
  EXPECT_EQ(s.Left, 31);
  EXPECT_EQ(s.Height, 521);
  EXPECT_EQ(s.Width, 300);
  EXPECT_EQ(s.ColorScheme, 1);
  EXPECT_EQ(s.GridFontSize, 16);
  EXPECT_FALSE(s.GridFontBold);
  EXPECT_FALSE(s.GridFontItalic);
  EXPECT_TRUE(s.HintVisible);
  EXPECT_EQ(s.LastFolder, "/program");
  // As many items as the section has keys at most; missing ones are empty.
  ASSERT_LE(s.FolderHistory.size(), 4u);
  ASSERT_GE(s.FolderHistory.size(), 2u);
  EXPECT_EQ(s.FolderHistory[0], "");
  EXPECT_EQ(s.FolderHistory[1], "/b");
  EXPECT_EQ(s.ViewStyle, svDetails);
  EXPECT_EQ(s.FolderFontSize, 9) << "the size again under Color decides, and 201 points is none";
  EXPECT_TRUE(s.FolderFontUnderline);

  // A save writes what it loaded in place of the damaged keys it differs
  // from, and both font sizes as the one in use.
  f.Save(s);
  EXPECT_EQ(GetPrivateProfileString(sj("外部ファイル選択フォント"), "Size", "", file), "9");
  EXPECT_EQ(GetPrivateProfileString(sj("外部ファイル選択フォント"), "Color", "", file), "201") << "read as 9";
  EXPECT_EQ(Loaded(file).FolderFontSize, 9);
}

TEST(SettingsFileTest, AFileTheUserMadeReadOnlyOrLinkedOrUnreadableIsKeptAsItIs) {
  TempDir dir;
  const std::string file = dir / "tavodic.ini";
  SaveOver(file, [](TSettings& s) { s.SearchDicList = {"/d/a.dic"}; });
  const std::string before = Read(file);

  // Read-only: not replaced, and the save says why.
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  TSettingsFile ro(file);
  TSettings s;
  ASSERT_EQ(ro.Load(s), 0);
  s.SearchDicList.push_back("/d/b.dic");
  EXPECT_EQ(hex(SaveError(ro, s)), hex(file + sj(" に書き込めません\nアクセスが許可されていません")));
  EXPECT_EQ(Read(file), before);
  ASSERT_EQ(::chmod(file.c_str(), 0644), 0);

  // Linked: written through to the target, and still a link.
  ASSERT_EQ(::mkdir((dir / "dotfiles").c_str(), 0700), 0);
  ASSERT_EQ(::rename(file.c_str(), (dir / "dotfiles/tavodic.ini").c_str()), 0);
  ASSERT_EQ(::symlink("dotfiles/tavodic.ini", file.c_str()), 0);
  ro.Save(s);
  struct stat st {};
  ASSERT_EQ(::lstat(file.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(Loaded(dir / "dotfiles/tavodic.ini").SearchDicList, (Paths{"/d/a.dic", "/d/b.dic"}));

  // Unreadable at start: the defaults, an error, and the file is left alone.
  const std::string fifo = dir / "fifo.ini";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  TSettingsFile blocked(fifo);
  TSettings empty;
  EXPECT_EQ(blocked.Load(empty), EINVAL);
  EXPECT_EQ(SaveError(blocked, empty), "") << "an unchanged close writes nothing";
  empty.WriteDic = "/d/a.dic";
  EXPECT_EQ(hex(SaveError(blocked, empty)), hex(fifo + sj(" に書き込めません\n") + std::string(sj::NotReadAtStart)));
  ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// A value the file cannot hold (a blank at its end, more than 2047 bytes, a
// line break) is left out and named, once; every other setting is saved.
TEST(SettingsFileTest, AValueTheFileCannotHoldCostsNoOtherSetting) {
  TempDir dir;
  const std::string file = dir / "tavodic.ini";
  SaveOver(file, [](TSettings& s) {
    s.LastFolder = "/home/u";
    s.FolderHistory = {"/home/u"};
  });
  TSettingsFile f(file);
  TSettings s;
  ASSERT_EQ(f.Load(s), 0);
  const std::string blank = "/home/u/old ", long3000 = "/" + std::string(2999, 'x'), broken = "/a\nb";
  s.FolderHistory = {"/home/u", blank, long3000, "/tmp"};
  s.LastFolder = blank;
  s.NotSearchDicList = {broken, "/d/n.dic"};
  s.ColorScheme = 3;
  s.Width = 700;
  const std::string notSearched = sj("検索対象外の辞書"), lastFolder = sj("最後に検索したフォルダ"),
                    history = sj("検索フォルダの履歴");
  const std::vector<TUnkeptSetting> expected = {
      {notSearched, broken, ProfileValueProblem::kLineBreak},
      {lastFolder, blank, ProfileValueProblem::kBlankAtEnd},
      {history, blank, ProfileValueProblem::kBlankAtEnd},
      {history, long3000, ProfileValueProblem::kTooLong},
  };
  EXPECT_EQ(f.Save(s), expected);
  TSettings now = Loaded(file);
  EXPECT_EQ(now.ColorScheme, 3);
  EXPECT_EQ(now.Width, 700);
  EXPECT_EQ(now.LastFolder, "/home/u") << "a text keeps what the file held";
  EXPECT_EQ(now.FolderHistory, (Paths{"/home/u", "/tmp"})) << "a list is saved without it";
  EXPECT_EQ(now.NotSearchDicList, Paths{"/d/n.dic"});

  // Told once: the next save leaves them out without a word, and writes nothing.
  const std::string before = Read(file);
  EXPECT_EQ(f.Save(s), std::vector<TUnkeptSetting>{});
  EXPECT_EQ(Read(file), before);
  s.FolderHistory.push_back(blank + "2 ");
  EXPECT_EQ(f.Save(s), (std::vector<TUnkeptSetting>{{history, blank + "2 ", ProfileValueProblem::kBlankAtEnd}}));
}

// A file in UTF-8 is read as such and at once written back whole in CP932; a
// file that is no text is moved aside untouched and the defaults are used.
TEST(SettingsFileTest, AUtf8FileIsRewrittenInCp932AndAFileThatIsNoTextIsKeptAside) {
  TempDir dir;
  const std::string file = dir / "tavodic.ini";
  Write(file, *Cp932ToUtf8(kEveryKeyFile));
  TSettingsFile f(file);
  TSettings s;
  s.LastFolder = "/program";
  ASSERT_EQ(f.Load(s), 0);
  EXPECT_EQ(s, EveryKeySettings());
  EXPECT_EQ(f.LoadNote().text, ProfileFileText::kUtf8);
  EXPECT_TRUE(f.LoadNote().rewritten);
  EXPECT_EQ(hex(Read(file)), hex(kEveryKeyFile)) << "the whole file, and nothing but CP932";
  s.ColorScheme = 2;
  f.Save(s);
  EXPECT_EQ(Loaded(file).ColorScheme, 2);

  std::string junk;
  for (int i = 0; i < 3000; ++i) junk += static_cast<char>((i * 7919 + 13) % 256);
  for (const std::string& bytes : {junk, *Cp932ToUtf8(sj("[パス]\r\nTAVO=/opt/t\r\n")) + "Name=caf\xC3\xA9\r\n"}) {
    SCOPED_TRACE(bytes == junk ? "junk" : "UTF-8 beyond CP932");
    Write(file, bytes);
    TSettingsFile g(file);
    TSettings t;
    t.LastFolder = "/program";
    ASSERT_EQ(g.Load(t), 0);
    TSettings defaults;
    defaults.LastFolder = "/program";
    EXPECT_EQ(t, defaults);
    EXPECT_EQ(g.LoadNote().text, bytes == junk ? ProfileFileText::kNeither : ProfileFileText::kUtf8NotCp932);
    ASSERT_FALSE(g.LoadNote().keptAs.empty());
    EXPECT_EQ(Read(g.LoadNote().keptAs), bytes);
    EXPECT_FALSE(std::ifstream(file).good()) << "moved, not copied";
    t.ColorScheme = 3;
    g.Save(t);
    EXPECT_EQ(Loaded(file).ColorScheme, 3);
    EXPECT_EQ(Read(g.LoadNote().keptAs), bytes);
  }
}

// A link that another user planted in a shared settings folder is never
// written through, and the save says why.
TEST(SettingsFileTest, ALinkPlantedInASharedFolderIsNotWrittenThrough) {
  TempDir dir;
  const std::string victim = dir.Write("notes.txt", "my notes\n");
  const std::string planted = dir.PlantForeignLink("tavodic.ini", victim);
  if (planted.empty()) GTEST_SKIP() << "links cannot be given away here";
  TSettingsFile f(planted);
  TSettings s;
  ASSERT_EQ(f.Load(s), 0);
  s.ColorScheme = 3;
  EXPECT_EQ(hex(SaveError(f, s)),
            hex(planted + sj(" に書き込めません\nほかのユーザーのシンボリックリンクです（ほかのユーザーも書き込めるフォルダにあるため、"
                             "たどって書き込みません）")));
  EXPECT_EQ(Read(victim), "my notes\n");
}

TEST(SettingsFileTest, TheFileIsNamedAfterTheProgram) {
  EXPECT_EQ(SettingsFileNameFor("tavodic"), "tavodic.ini");
  EXPECT_EQ(SettingsFileNameFor("tavodic-test.bin"), "tavodic-test.ini");
  EXPECT_EQ(SettingsFileNameFor(""), "tavodic.ini");
}

// A disk that fills up during a save: the old list stays whole, the save
// says why, and the next save after room was made writes the new list.
TEST(SettingsFileTest, AFullDiskLeavesTheOldListWhole) {
  TempDir dir;
  const std::string small = dir / "small";
  ASSERT_EQ(::mkdir(small.c_str(), 0700), 0);
  constexpr int kSkip = 77;
  const int rc = ExitCode(Spawn([&] {
    // A file system of its own, seen only by this process.
    if (::unshare(CLONE_NEWNS) != 0 || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tavo-test", small.c_str(), "tmpfs", 0, "size=64k") != 0)
      return kSkip;
    const std::string file = small + "/tavodic.ini";
    const Paths abc = {"/d/A" + std::string(1500, 'a'), "/d/B" + std::string(1500, 'b'), "/d/C" + std::string(1500, 'c')};
    SaveOver(file, [&](TSettings& s) { s.SearchDicList = abc; });
    // Fill what is left.
    int fd = ::open((small + "/filler").c_str(), O_WRONLY | O_CREAT, 0600);
    const std::string block(4096, 'f');
    for (size_t n = block.size(); n > 0; n /= 2)
      while (::write(fd, block.data(), n) > 0) {
      }
    ::close(fd);

    TSettingsFile f(file);
    TSettings s;
    f.Load(s);
    s.SearchDicList = {abc[2], abc[0], abc[1]};
    if (SaveError(f, s) != file + sj(" に書き込めません\nディスクに空きがありません")) return 1;
    if (Loaded(file).SearchDicList != abc) return 2;
    if (HasTemporaries(small)) return 3;
    ::unlink((small + "/filler").c_str());
    f.Save(s);
    return Loaded(file).SearchDicList == s.SearchDicList ? 0 : 4;
  }));
  if (rc == kSkip) GTEST_SKIP() << "no small tmpfs can be mounted here (needs root or a mount namespace)";
  EXPECT_EQ(rc, 0) << "1 the save did not report a full disk, 2 the old list was lost, 3 a temporary was left, "
                      "4 the next save failed";
}

// A save killed at many points: every outcome loads as the old list or the
// new one, and the next save removes the temporaries that kills left.
TEST(SettingsFileTest, ASaveKilledAnywhereLeavesTheOldListOrTheNew) {
  TempDir dir;
  const std::string file = dir / "tavodic.ini";
  const Paths oldList = Numbered("/old/", 150), newList = Numbered("/new/", 140);
  SaveOver(file, [&](TSettings& s) { s.SearchDicList = oldList; });
  const std::string oldBytes = Read(file);
  auto startSave = [&] {
    Write(file, oldBytes);
    return Spawn([&] {
      SaveOver(file, [&](TSettings& s) { s.SearchDicList = newList; });
      return 0;
    });
  };
  // The kills are spread over the time a whole save takes here.
  const auto t0 = std::chrono::steady_clock::now();
  ::waitpid(startSave(), nullptr, 0);
  const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0);
  int olds = 0, news = 0;
  constexpr int kRounds = 80;
  for (int round = 0; round < kRounds; ++round) {
    const pid_t pid = startSave();
    std::this_thread::sleep_for(whole * 6 / 5 * round / kRounds);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    const Paths got = Loaded(file).SearchDicList;
    ASSERT_TRUE(got == oldList || got == newList) << "round " << round << ": a mixture of " << got.size();
    (got == oldList ? olds : news)++;
  }
  std::printf("killed saves: %d left the old list, %d the new\n", olds, news);
  SaveOver(file, [](TSettings& s) { s.WriteDic = "/d/w.dic"; });
  EXPECT_FALSE(HasTemporaries(dir.path()));
}

// Two copies of the program save different lists over and over while a
// third loads: every load sees one whole list, and no save fails.
TEST(SettingsFileTest, ConcurrentSavesAndLoadsNeverMixLists) {
  TempDir dir;
  const std::string file = dir / "tavodic.ini", done = dir / "done";
  const Paths lists[] = {Numbered("/start/", 30), Numbered("/a1/", 40), Numbered("/a2/", 20),
                         Numbered("/b1/", 35), Numbered("/b2/", 25)};
  SaveOver(file, [&](TSettings& s) { s.SearchDicList = lists[0]; });
  auto saver = [&](int first) {
    return [&, first] {
      for (int i = 0; i < 60; ++i) SaveOver(file, [&](TSettings& s) { s.SearchDicList = lists[first + i % 2]; });
      return 0;
    };
  };
  const pid_t loader = Spawn([&] {
    int loads = 0;
    for (; ::access(done.c_str(), F_OK) != 0 || loads == 0; ++loads) {
      TSettings s;
      if (TSettingsFile(file).Load(s) != 0) return 2;
      if (std::find(std::begin(lists), std::end(lists), s.SearchDicList) == std::end(lists)) return 1;
    }
    return 0;
  });
  const pid_t savers[] = {Spawn(saver(1)), Spawn(saver(3))};
  for (pid_t pid : savers) EXPECT_EQ(ExitCode(pid), 0) << "a save failed";
  Write(done, "");
  EXPECT_EQ(ExitCode(loader), 0) << "a load saw a mixture (1) or failed (2)";
}

}  // namespace
}  // namespace tavo::test
