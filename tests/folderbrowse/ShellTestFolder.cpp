#include "tests/folderbrowse/ShellTestFolder.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "folderbrowse/ZuShellIDFunc.h"
#include "platform/shell/ShellAllocator.h"
#include "tests/support/TestText.h"

namespace tavo::test {

Pidl::~Pidl() { FreePIDL(p_); }

namespace {

constexpr std::uint32_t kPermissionCaps = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

bool SetEffectiveCaps(bool on) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2] = {};
  if (::syscall(SYS_capget, &header, data) != 0) return false;
  if (on) data[0].effective |= kPermissionCaps & data[0].permitted;
  else data[0].effective &= ~kPermissionCaps;
  return ::syscall(SYS_capset, &header, data) == 0;
}

}  // namespace

PermissionsApply::PermissionsApply() {
  if (::geteuid() == 0) {
    dropped_ = SetEffectiveCaps(false);
    EXPECT_TRUE(dropped_) << "root keeps its way past file permissions";
  }
}

PermissionsApply::~PermissionsApply() {
  if (dropped_) SetEffectiveCaps(true);
}

void ShellTest::SetUp() {
  blocksAtStart_ = ShellLiveBlocks();
  const char* tmp = std::getenv("TMPDIR");
  std::string templ = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tavo-shell-XXXXXX";
  ASSERT_NE(::mkdtemp(templ.data()), nullptr);
  root_ = templ;
  home_ = root_ + "/home";
  MakeDir(home_);
  for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
    const char* v = std::getenv(name);
    savedEnv_.emplace_back(name, v != nullptr ? std::optional<std::string>(v) : std::nullopt);
  }
  ::setenv("HOME", home_.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (home_ + "/.config").c_str(), 1);
  ::setenv("XDG_DATA_HOME", (home_ + "/.local/share").c_str(), 1);
}

void ShellTest::TearDown() {
  std::error_code ec;
  std::filesystem::permissions(root_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(root_, ec);
  for (const auto& [name, value] : savedEnv_) {
    if (value) {
      ::setenv(name.c_str(), value->c_str(), 1);
    } else {
      ::unsetenv(name.c_str());
    }
  }
  EXPECT_EQ(ShellLiveBlocks(), blocksAtStart_) << "item-ID lists were not freed";
}

std::string ShellTest::Cp(std::string_view utf8Name) const { return root_ + "/" + sj(utf8Name); }

void ShellTest::MakeDir(const std::string& osPath) {
  std::error_code ec;
  std::filesystem::create_directories(osPath, ec);
  ASSERT_FALSE(ec) << osPath;
}

void ShellTest::MakeFile(const std::string& osPath, std::string_view bytes) {
  std::ofstream out(osPath, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << osPath;
}

void ShellTest::SetTimes(const std::string& osPath, long seconds, long nanoseconds) {
  const struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
  ASSERT_EQ(::utimensat(AT_FDCWD, osPath.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << osPath;
}

void ShellTest::ExpectSameTree(const std::string& original, const std::string& copy) {
  struct stat a {}, b {};
  ASSERT_EQ(::lstat(original.c_str(), &a), 0) << original;
  ASSERT_EQ(::lstat(copy.c_str(), &b), 0) << copy;
  EXPECT_EQ(a.st_mode, b.st_mode) << copy;
  EXPECT_EQ(a.st_mtim.tv_sec, b.st_mtim.tv_sec) << copy;
  EXPECT_EQ(a.st_mtim.tv_nsec, b.st_mtim.tv_nsec) << copy;
  if (S_ISLNK(a.st_mode)) {
    EXPECT_EQ(std::filesystem::read_symlink(original), std::filesystem::read_symlink(copy)) << copy;
  } else if (S_ISREG(a.st_mode)) {
    EXPECT_EQ(a.st_size, b.st_size) << copy;
  } else if (S_ISDIR(a.st_mode)) {
    const std::vector<std::string> names = Entries(original);
    EXPECT_EQ(names, Entries(copy)) << copy;
    for (const std::string& n : names) ExpectSameTree(original + "/" + n, copy + "/" + n);
  }
}

std::vector<std::string> ShellTest::Entries(const std::string& osFolder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(osFolder, ec)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string ShellTest::Read(const std::string& osPath) {
  std::ifstream in(osPath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool ShellTest::Exists(const std::string& osPath) {
  struct stat st {};
  return ::lstat(osPath.c_str(), &st) == 0;
}

PItemIDList ShellTest::ListOf(const std::string& cp932Path) {
  PItemIDList p = nullptr;
  EXPECT_TRUE(PathToPIDL(cp932Path, p)) << hex(cp932Path);
  return p;
}

std::vector<std::string> ShellTest::Names(const std::string& cp932Folder, std::uint32_t flags) {
  std::vector<std::string> names;
  Pidl folderList(ListOf(cp932Folder));
  ShellFolderPtr folder = ShellGetDesktopFolder()->BindToObject(folderList);
  if (!folder) {
    ADD_FAILURE() << "cannot bind " << cp932Folder;
    return names;
  }
  auto e = folder->EnumObjects(flags);
  if (!e) return names;
  PItemIDList item = nullptr;
  while (e->Next(item, nullptr)) {
    std::string name;
    EXPECT_TRUE(folder->GetDisplayNameOf(item, SHGDN_INFOLDER, name));
    names.push_back(name);
    FreePIDL(item);
  }
  return names;
}

}  // namespace tavo::test
