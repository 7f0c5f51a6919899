#include "dictool/TavoRutFile.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system/SysUtils.h"
#include "platform/text/Cp932.h"
#include "tests/support/TestText.h"

namespace tavo {
namespace {

using test::sj;

// A header with valid number fields; callers overwrite what they test.
std::string Header(std::string_view linesPerPage = "40") {
  std::string h(512, '\0');
  h.replace(504, 4, "1234");
  h.replace(508, 2, "56");
  h.replace(510, 2, linesPerPage);
  return h;
}

int OpenDescriptors() {
  int n = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d) != nullptr) ++n;
    closedir(d);
  }
  return n;
}

class TRutFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tavo_rutXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    for (const auto& f : files_) std::remove(f.c_str());
    rmdir(dir_.c_str());
  }
  // Writes `bytes` to a new file and answers its CP932 path.
  std::string Write(const std::string& cp932Name, const std::string& bytes) {
    const std::string path = dir_ + "/" + *Cp932ToUtf8(cp932Name);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    if (f == nullptr) return {};
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    files_.push_back(path);
    return *Utf8ToCp932(path);
  }
  std::string dir_;
  std::vector<std::string> files_;
};

TEST_F(TRutFileTest, ReadsNumberFields) {
  struct Case {
    std::string digits;
    int32_t linesPerPage;
  };
  for (const Case& c : {Case{"40", 40}, Case{"09", 9}, Case{"18", 18}}) {
    TRutFile rut(Write("a.RUT", Header(c.digits)));
    ASSERT_TRUE(rut.ReadHeader());
    EXPECT_EQ(rut.GetLinesPerPage(), c.linesPerPage);
    EXPECT_EQ(rut.GetHeaderNumber1(), 1234);
    EXPECT_EQ(rut.GetHeaderNumber2(), 56);
  }
}

TEST_F(TRutFileTest, TextFieldsEndAtNulOrAtTheirSlot) {
  std::string h = Header();
  h.replace(10, 50, std::string(50, 'x'));  // full slot, directly followed by field 2
  h.replace(60, 2, "\0y", 2);               // NUL first: the rest is ignored
  const std::string neko = sj("ねこ");
  h.replace(358, neko.size(), neko);
  h.replace(338, 20, std::string(20, 'z'));
  const std::string path = Write(sj("点字.RUT"), h);
  TRutFile rut(path);
  ASSERT_TRUE(rut.ReadHeader());
  EXPECT_EQ(rut.GetFileName(), path);
  EXPECT_EQ(rut.GetHeaderText1(), std::string(50, 'x'));
  EXPECT_EQ(rut.GetHeaderText2(), "");
  EXPECT_EQ(rut.GetHeaderText9(), std::string(20, 'z'));
  EXPECT_EQ(rut.GetHeaderText10(), neko);
}

TEST_F(TRutFileTest, ShortFileKeepsWhatItHasAndFailsOnTheNumbers) {
  // 100 bytes: field 1 whole, field 2 in part (bytes 60-99), the rest absent.
  const std::string h = Header().replace(10, 90, std::string(90, 'x')).substr(0, 100);
  TRutFile rut(Write("short.rut", h));
  const int before = OpenDescriptors();
  try {
    rut.ReadHeader();
    FAIL() << "no conversion error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(std::string(e.what()), sj("'' は整数ではありません"));
  }
  EXPECT_EQ(OpenDescriptors(), before) << "file left open";
  EXPECT_EQ(rut.GetHeaderText1(), std::string(50, 'x'));
  EXPECT_EQ(rut.GetHeaderText2(), std::string(40, 'x'));
  EXPECT_EQ(rut.GetHeaderText3(), "");
  EXPECT_EQ(rut.GetHeaderText10(), "");
  EXPECT_EQ(rut.GetLinesPerPage(), 0);
}

TEST_F(TRutFileTest, BlankNumberFieldsReadAsZeroAndABadHeaderIsToldByKind) {
  // An editor leaves fields it does not use blank (spaces or NULs).
  TRutFile rut(Write("a.rut", Header("40")));
  ASSERT_TRUE(rut.ReadHeader());
  rut.SetFileName(Write("blank.rut", Header().replace(504, 8, std::string("    \0\0  ", 8))));
  EXPECT_EQ(rut.TryReadHeader(), TRutFile::HeaderRead::Read);
  EXPECT_EQ(rut.GetHeaderNumber1(), 0);
  EXPECT_EQ(rut.GetHeaderNumber2(), 0);
  EXPECT_EQ(rut.GetLinesPerPage(), 0);

  // What is wrong with a header that is no RUTE header, without a throw.
  TRutFile bad(Write("bad.rut", Header("x1")));
  EXPECT_EQ(bad.TryReadHeader(), TRutFile::HeaderRead::NotANumber);
  EXPECT_EQ(bad.GetHeaderNumber1(), 1234) << "the fields before it are read";
  TRutFile empty(Write("empty.rut", ""));
  EXPECT_EQ(empty.TryReadHeader(), TRutFile::HeaderRead::CutShort);
  TRutFile none(*Utf8ToCp932(dir_) + "/none.rut");
  EXPECT_EQ(none.TryReadHeader(), TRutFile::HeaderRead::NotRead);
}

TEST_F(TRutFileTest, MissingFileOrFolderReadsNothing) {
  TRutFile rut(Write("a.rut", Header("40")));
  ASSERT_TRUE(rut.ReadHeader());
  rut.SetFileName(*Utf8ToCp932(dir_) + "/none.rut");
  EXPECT_FALSE(rut.ReadHeader());
  EXPECT_EQ(rut.GetLinesPerPage(), 40);
  rut.SetFileName(*Utf8ToCp932(dir_));
  EXPECT_FALSE(rut.ReadHeader());
  EXPECT_EQ(rut.GetLinesPerPage(), 40);

  TRutFile fresh(*Utf8ToCp932(dir_) + "/none.rut");
  EXPECT_FALSE(fresh.ReadHeader());
  EXPECT_EQ(fresh.GetLinesPerPage(), 0);
}

}  // namespace
}  // namespace tavo
