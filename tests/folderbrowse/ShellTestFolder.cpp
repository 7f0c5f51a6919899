#include "tests/folderbrowse/ShellTestFolder.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "folderbrowse/ZuShellIDFunc.h"
#include "platform/shell/ShellAllocator.h"
#include "tests/support/TestText.h"

namespace tavo::test {

Pidl::~Pidl() { FreePIDL(p_); }

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
