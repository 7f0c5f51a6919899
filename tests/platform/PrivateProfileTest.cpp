#include "platform/files/PrivateProfile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/files/Files.h"
#include "platform/text/Cp932.h"
#include "tests/platform/TestFiles.h"
#include "tests/support/TestText.h"

namespace tavo {
namespace {

using test::hex;
using test::ReadBytes;
using test::sj;
using test::TempDir;
using test::WriteBytes;

std::string Get(const std::string& file, std::string_view section, std::string_view key) {
  return GetPrivateProfileString(section, key, "<default>", file);
}

TEST(PrivateProfile, BareNameLivesInANewPrivateWindowsFolder) {
  TempDir dir;
  ASSERT_TRUE(WritePrivateProfileString(sj("検索対象辞書ファイル"), sj("ファイル数"), "2", "tavodic.ini"));
  ASSERT_TRUE(WritePrivateProfileString(sj("検索対象辞書ファイル"), sj("ファイル名0"), sj("/辞書/表.dic"),
                                        "tavodic.ini"));
  ASSERT_TRUE(WritePrivateProfileString(sj("外部ファイル選択"), sj("表示方法"), sj("詳細"), "tavodic.ini"));

  struct stat st {};
  ASSERT_EQ(::stat((dir / "windir").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(hex(ReadBytes(dir / "windir/tavodic.ini")),
            hex(sj("[検索対象辞書ファイル]\r\nファイル数=2\r\nファイル名0=/辞書/表.dic\r\n"
                   "[外部ファイル選択]\r\n表示方法=詳細\r\n")));
  EXPECT_EQ(GetPrivateProfileString(sj("検索対象辞書ファイル"), sj("ファイル名0"), "", "tavodic.ini"),
            sj("/辞書/表.dic"));
  EXPECT_EQ(GetPrivateProfileString(sj("外部ファイル選択"), sj("表示方法"), "", "tavodic.ini"), sj("詳細"));
}

TEST(PrivateProfile, PathWithSlashIsUsedAsItIs) {
  TempDir dir;
  ASSERT_TRUE(WritePrivateProfileString("s", "k", "v", dir / "own.ini"));
  EXPECT_EQ(ReadBytes(dir / "own.ini"), "[s]\r\nk=v\r\n");
  EXPECT_EQ(ReadBytes(dir / "windir/own.ini"), "<missing>");
  EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", dir / "missing/own.ini"));
  ASSERT_EQ(::mkdir((dir / "folder.ini").c_str(), 0700), 0);
  EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", dir / "folder.ini"));
}

TEST(PrivateProfile, WritesOneLineAndKeepsEveryOtherByte) {
  TempDir dir;
  const std::string file = dir / "t.ini";
  WriteBytes(file, sj("; comment\n"
                      "\r\n"
                      "[Other]\r\n"
                      "  x = 1 \r\n"
                      "junk line\r\n"
                      "[デスクトップ]\n"
                      "Top=1\n"
                      "; note\r\n"
                      "Left = 5\r\n"
                      "\r\n"
                      " \t\r\n"
                      "[末尾]\r\n"
                      "z=9"));
  EXPECT_EQ(Get(file, "Other", "x"), "1");
  ASSERT_TRUE(WritePrivateProfileString(sj("デスクトップ"), "Left", "7", file));
  ASSERT_TRUE(WritePrivateProfileString(sj("デスクトップ"), "Width", "811", file));
  ASSERT_TRUE(WritePrivateProfileString(sj("末尾"), "y", "2", file));
  ASSERT_TRUE(WritePrivateProfileString(sj("新"), "k", "", file));
  EXPECT_EQ(hex(ReadBytes(file)), hex(sj("; comment\n"
                                         "\r\n"
                                         "[Other]\r\n"
                                         "  x = 1 \r\n"
                                         "junk line\r\n"
                                         "[デスクトップ]\n"
                                         "Top=1\n"
                                         "; note\r\n"
                                         "Left =7\r\n"
                                         "Width=811\r\n"
                                         "\r\n"
                                         " \t\r\n"
                                         "[末尾]\r\n"
                                         "z=9\r\n"
                                         "y=2\r\n"
                                         "[新]\r\n"
                                         "k=\r\n")));
  EXPECT_EQ(Get(file, sj("新"), "k"), "");
  EXPECT_EQ(Get(file, sj("デスクトップ"), "Top"), "1");
}

TEST(PrivateProfile, FoldsAsciiCaseButNeverTrailBytes) {
  TempDir dir;
  const std::string file = dir / "t.ini";
  // ア is 83 41 and ヂ 83 61: a trail byte folded as 'A'/'a' would merge them.
  // ゾ is 83 5D and ゼ 83 5B: trail bytes that look like ']' and '['.
  WriteBytes(file, sj("[Desktop]\r\nTop=1\r\n[ヂ]\r\nk=ji\r\n[s]\r\nヂ=ji\r\n[ゾ]\r\nk=zo\r\n[ゼ]\r\nk=ze\r\n[ａ]\r\nk=fw\r\n"));
  EXPECT_EQ(Get(file, "DESKTOP", "top"), "1");
  EXPECT_EQ(Get(file, sj("ヂ"), "K"), "ji");
  EXPECT_EQ(Get(file, sj("ア"), "k"), "<default>");
  EXPECT_EQ(Get(file, "S", sj("ヂ")), "ji");
  EXPECT_EQ(Get(file, "s", sj("ア")), "<default>");
  EXPECT_EQ(Get(file, sj("ゾ"), "k"), "zo");
  EXPECT_EQ(Get(file, sj("ゼ"), "k"), "ze");
  EXPECT_EQ(Get(file, sj("Ａ"), "k"), "<default>");  // full-width letters are not ASCII

  const std::string before = ReadBytes(file);
  ASSERT_TRUE(WritePrivateProfileString("desktop", "TOP", "2", file));
  ASSERT_TRUE(WritePrivateProfileString(sj("ゾ"), "K", "zo2", file));
  ASSERT_TRUE(WritePrivateProfileString(sj("ア"), "k", "a", file));
  EXPECT_EQ(hex(ReadBytes(file)),
            hex(sj("[Desktop]\r\nTop=2\r\n[ヂ]\r\nk=ji\r\n[s]\r\nヂ=ji\r\n[ゾ]\r\nk=zo2\r\n[ゼ]\r\nk=ze\r\n"
                   "[ａ]\r\nk=fw\r\n[ア]\r\nk=a\r\n")));
}

TEST(PrivateProfile, MissingFileSectionOrKeyGivesTheDefault) {
  TempDir dir;
  const std::string file = dir / "t.ini";
  EXPECT_EQ(Get(file, "a", "k"), "<default>");
  EXPECT_EQ(GetPrivateProfileString("a", "k", "", "nothing.ini"), "");
  WriteBytes(file, "k=outside\r\n[a]\r\nk=1\r\nbare\r\n[b]\r\n[a]\r\nj=second\r\n");
  EXPECT_EQ(Get(file, "a", "k"), "1");
  EXPECT_EQ(Get(file, "b", "k"), "<default>");     // no leaking across sections
  EXPECT_EQ(Get(file, "c", "k"), "<default>");
  EXPECT_EQ(Get(file, "a", "bare"), "<default>");  // a line without '=' is no key
  EXPECT_EQ(Get(file, "a", "j"), "<default>");     // only the first [a] counts
  EXPECT_EQ(Get(dir.path(), "a", "k"), "<default>");
}

TEST(PrivateProfile, ValuesPast2047BytesAreRefusedAndReadCut) {
  TempDir dir;
  const std::string file = dir / "t.ini";
  const std::string ascii(3000, 'v');
  std::string kana;
  for (int i = 0; i < 1500; ++i) kana += sj("あ");

  // Written, they would read back cut and name another file.
  ASSERT_TRUE(WritePrivateProfileString("s", "max", ascii.substr(0, 2047), file));
  EXPECT_FALSE(WritePrivateProfileString("s", "ascii", ascii.substr(0, 2048), file));
  EXPECT_EQ(Get(file, "s", "max"), ascii.substr(0, 2047));

  // Another program's long values are read as through the 2048-byte buffer.
  WriteBytes(file, "[s]\r\nascii=" + ascii + "\r\nkana=" + kana + "\r\nodd=a" + kana + "\r\n");
  EXPECT_EQ(Get(file, "s", "ascii"), ascii.substr(0, 2047));
  std::string cut = Get(file, "s", "kana");
  EXPECT_EQ(cut, kana.substr(0, 2046));  // never half a character
  EXPECT_TRUE(Cp932ToUtf8(cut).has_value());
  EXPECT_EQ(Get(file, "s", "odd"), ("a" + kana).substr(0, 2047));
  EXPECT_EQ(GetPrivateProfileString("s", "none", ascii, file), ascii.substr(0, 2047));
  EXPECT_EQ(PrivateProfileBatch(file, PrivateProfileBatch::kRead).Value("s", "ascii"), ascii);
}

TEST(PrivateProfile, RefusesEntriesThatWouldNotReadBack) {
  TempDir dir;
  const std::string file = dir / "t.ini";
  const std::string start = "[s]\r\nk=1\r\n";
  WriteBytes(file, start);
  const struct {
    std::string section, key, value;
  } cases[] = {
      {"s", "k", "a\r\nb=c"}, {"s", "k", "a\nb"},  {"s", "k", " padded"}, {"s", "k", "padded\t"},
      {"s", "k=x", "v"},      {"s", ";k", "v"},    {"s", "[k]", "v"},     {"s", " k", "v"},
      {"s", "", "v"},         {"", "k", "v"},      {"a]b", "k", "v"},     {"s\r\n[t", "k", "v"},
      {"\x82", "k", "v"},  // a lead byte would swallow the ']' after it
      {"s", "k", "v\x80"},  // no CP932 text: the file would no longer read as text
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(WritePrivateProfileString(c.section, c.key, c.value, file)) << hex(c.section + "|" + c.key + "|" + c.value);
    EXPECT_EQ(ReadBytes(file), start);
  }
  EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", ""));
}

TEST(PrivateProfile, ABatchReadsOnceAndReplacesOnce) {
  TempDir dir;
  const std::string start = "; mine\r\n[a]\r\nx=1\r\n\r\n[b]\r\ny=2";
  WriteBytes(dir / "t.ini", start);
  WriteBytes(dir / "single.ini", start);
  WriteBytes(dir / ".t.ini.~tavo5-0.tmp", "left by a crash");
  auto section = [](int i) { return i % 2 ? "a" : "c"; };
  for (int i = 0; i < 200; ++i)
    ASSERT_TRUE(WritePrivateProfileString(section(i), "k" + std::to_string(i), "v" + std::to_string(i),
                                          dir / "single.ini"));
  const unsigned long long syncs = SyncCount();
  {
    PrivateProfileBatch batch(dir / "t.ini", PrivateProfileBatch::kWrite);
    ASSERT_EQ(batch.Error(), 0);
    for (int i = 0; i < 200; ++i)
      ASSERT_TRUE(batch.WriteString(section(i), "k" + std::to_string(i), "v" + std::to_string(i)));
    EXPECT_FALSE(batch.WriteString("b", "y", "trailing "));
    EXPECT_EQ(batch.Value("C", "K8"), "v8");
    EXPECT_EQ(ReadBytes(dir / "t.ini"), start) << "nothing reaches the disk before the commit";
    EXPECT_EQ(batch.Commit(), 0);
  }
  EXPECT_EQ(SyncCount() - syncs, 2u) << "one atomic replace: the file and its folder";
  EXPECT_EQ(hex(ReadBytes(dir / "t.ini")), hex(ReadBytes(dir / "single.ini")));
  EXPECT_EQ(ReadBytes(dir / ".t.ini.~tavo5-0.tmp"), "<missing>");

  // Nothing changed, nothing written; a reading batch writes nothing.
  const unsigned long long before = SyncCount();
  {
    PrivateProfileBatch same(dir / "t.ini", PrivateProfileBatch::kWrite);
    EXPECT_TRUE(same.WriteString("a", "x", "1"));
    EXPECT_EQ(same.Commit(), 0);
  }
  EXPECT_EQ(SyncCount(), before);
  PrivateProfileBatch reader(dir / "t.ini", PrivateProfileBatch::kRead);
  EXPECT_FALSE(reader.WriteString("a", "x", "2"));

  // A settings file that is no regular file is neither waited on nor replaced.
  ASSERT_EQ(::mkfifo((dir / "fifo.ini").c_str(), 0600), 0);
  {
    PrivateProfileBatch fifo(dir / "fifo.ini", PrivateProfileBatch::kWrite);
    EXPECT_EQ(fifo.Error(), EINVAL);
    EXPECT_FALSE(fifo.WriteString("a", "x", "1"));
    EXPECT_EQ(fifo.Commit(), EINVAL);
  }
  EXPECT_FALSE(WritePrivateProfileString("a", "x", "1", dir / "fifo.ini"));
  struct stat st {};
  ASSERT_EQ(::stat((dir / "fifo.ini").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// A file in UTF-8 is read as such and, at its first write, written back
// whole in CP932; one that is no text in either encoding is never written
// over, only kept aside on request.
TEST(PrivateProfile, AUtf8FileIsWrittenBackWholeInCp932AndOneThatIsNoTextIsNeverWrittenOver) {
  TempDir dir;
  const std::string file = dir / "t.ini";
  const std::string utf8 = "\xEF\xBB\xBF; 手で書いた\r\n[外部ファイル選択]\r\n表示方法=一覧\r\n[パス]\r\nTAVO=/opt/たぼー\r\n";
  WriteBytes(file, utf8);
  EXPECT_EQ(Get(file, sj("外部ファイル選択"), sj("表示方法")), sj("一覧"));
  EXPECT_EQ(ReadBytes(file), utf8) << "a read writes nothing";
  ASSERT_TRUE(WritePrivateProfileString(sj("パス"), "X", "1", file));
  EXPECT_EQ(hex(ReadBytes(file)), hex(sj("; 手で書いた\r\n[外部ファイル選択]\r\n表示方法=一覧\r\n[パス]\r\nTAVO=/opt/たぼー\r\nX=1\r\n")));
  {
    PrivateProfileBatch batch(file, PrivateProfileBatch::kWrite);
    EXPECT_EQ(batch.FileText(), ProfileFileText::kCp932);
  }
  // With nothing to change, a UTF-8 file is still written back.
  WriteBytes(file, "[a]\r\nk=\xE7\x82\xB9\r\n");
  {
    PrivateProfileBatch batch(file, PrivateProfileBatch::kWrite);
    EXPECT_EQ(batch.FileText(), ProfileFileText::kUtf8);
    EXPECT_EQ(batch.Commit(), 0);
  }
  EXPECT_EQ(hex(ReadBytes(file)), hex(sj("[a]\r\nk=点\r\n")));

  const std::string junk("[a]\r\nk=v\r\n\xFF\x00\x80", 12);
  for (const std::string& bytes : {junk, std::string("[a]\r\nk=\xF0\x9F\x98\x80\r\n")}) {
    SCOPED_TRACE(hex(bytes));
    WriteBytes(file, bytes);
    EXPECT_EQ(Get(file, "a", "k"), "<default>");
    EXPECT_FALSE(WritePrivateProfileString("a", "k", "w", file));
    EXPECT_EQ(ReadBytes(file), bytes);
    PrivateProfileBatch batch(file, PrivateProfileBatch::kWrite);
    EXPECT_EQ(batch.FileText(), bytes == junk ? ProfileFileText::kNeither : ProfileFileText::kUtf8NotCp932);
    EXPECT_EQ(batch.Error(), EILSEQ);
    EXPECT_FALSE(batch.WriteString("a", "k", "w"));
    EXPECT_EQ(batch.Commit(), EILSEQ);
    std::string aside;
    ASSERT_EQ(batch.KeepAside(aside), 0);
    EXPECT_EQ(aside, bytes == junk ? file + ".bak" : file + ".bak2") << "never over a file kept before";
    EXPECT_EQ(ReadBytes(aside), bytes);
    ASSERT_TRUE(batch.WriteString("a", "k", "w"));
    EXPECT_EQ(batch.Commit(), 0);
    EXPECT_EQ(ReadBytes(file), "[a]\r\nk=w\r\n");
  }
}

// A write follows a link only where nobody else could have planted it: a
// link in a folder that others can write to, made by another user, could
// point at any file of the user's.
TEST(PrivateProfile, AWriteFollowsALinkOnlyWhereNobodyElseCouldHavePlantedIt) {
  const unsigned me = 1000, other = 1001;
  const struct {
    LinkFacts facts;
    bool follows;
  } rules[] = {
      {{me, other, 01777, me}, true},      // the user's own link, in a shared folder
      {{0, other, 01777, me}, true},       // root's
      {{other, other, 01777, me}, false},  // another's, in a shared sticky folder
      {{other, me, 01777, me}, false},     // ... also in the user's own shared folder
      {{other, me, 0775, me}, false},      // a folder the group can write, sticky or not
      {{other, me, 0757, me}, false},
      {{other, me, 0755, me}, true},       // a folder only the user can write
      {{other, 0, 0755, me}, true},        // ... or only root
      {{other, other, 0755, me}, false},   // another's folder
  };
  for (const auto& r : rules)
    EXPECT_EQ(MayFollowLinkToWrite(r.facts), r.follows)
        << r.facts.linkOwner << " " << r.facts.folderOwner << " " << std::oct << r.facts.folderMode;

  // On real files: a folder that everyone may write to, with a link that
  // another user planted there towards a file of the user's.
  TempDir dir;
  const std::string victim = dir.Write("mine.txt", "my own text\n");
  const std::string planted = dir.PlantForeignLink("t.ini", victim);
  if (planted.empty()) GTEST_SKIP() << "links cannot be given away here";
  EXPECT_FALSE(WritePrivateProfileString("a", "k", "v", planted));
  {
    PrivateProfileBatch batch(planted, PrivateProfileBatch::kWrite);
    EXPECT_EQ(batch.Error(), kForeignLinkError);
  }
  EXPECT_EQ(WriteFileAtomic(planted, "x"), kForeignLinkError);
  EXPECT_EQ(ReadBytes(victim), "my own text\n");
  EXPECT_EQ(ReadBytes(planted), "my own text\n") << "the link stays";
  EXPECT_EQ(ReadBytes(victim + ".lock"), "<missing>");

  // The user's own link there is followed.
  ASSERT_EQ(::lchown(planted.c_str(), ::geteuid(), ::getegid()), 0);
  ASSERT_TRUE(WritePrivateProfileString("a", "k", "v", planted));
  EXPECT_EQ(ReadBytes(victim), "my own text\n[a]\r\nk=v\r\n");
}

// Two processes write different keys of one file at the same time while a
// third reads; a lost update or a half-written file would show.
TEST(PrivateProfile, ConcurrentWritersLoseNothing) {
  TempDir dir;
  const std::string file = dir / "shared.ini";
  WriteBytes(file, "[a]\r\n[b]\r\n[z]\r\nsentinel=ok\r\n");
  constexpr int kKeys = 150;

  auto spawn = [&](auto body) {
    pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    return pid;
  };
  auto writer = [&](const char* section) {
    return [=] {
      for (int i = 0; i < kKeys; ++i) {
        std::string key = std::string("k").append(std::to_string(i));
        if (!WritePrivateProfileString(section, key, std::string(section) + std::to_string(i), file)) return 1;
      }
      return 0;
    };
  };
  pid_t pids[] = {spawn(writer("a")), spawn(writer("b")), spawn([&] {
                    for (int i = 0; i < 3000; ++i)
                      if (GetPrivateProfileString("z", "sentinel", "", file) != "ok") return 1;
                    return 0;
                  })};
  for (pid_t pid : pids) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (int i = 0; i < kKeys; ++i) {
    std::string key = std::string("k").append(std::to_string(i));
    EXPECT_EQ(Get(file, "a", key), std::string("a").append(std::to_string(i)));
    EXPECT_EQ(Get(file, "b", key), std::string("b").append(std::to_string(i)));
  }
  // The writers locked the file itself: no lock file is left beside it, and
  // a writer that wrote nothing to a file that was missing leaves none.
  { PrivateProfileBatch nothing(dir / "none.ini", PrivateProfileBatch::kWrite); }
  EXPECT_EQ(test::Entries(dir.path()), std::vector<std::string>{"shared.ini"});
}

}  // namespace
}  // namespace tavo
