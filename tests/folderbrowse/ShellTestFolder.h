// A fixture for the shell tests: a real scratch folder with its own home
// (HOME, XDG_CONFIG_HOME, XDG_DATA_HOME point into it, so the desktop and the
// Trash are the test's own), and a check that every item-ID list a test made
// was freed again.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/shell/ShellItemID.h"

namespace tavo::test {

// An owned list, freed when it goes out of scope.
class Pidl {
 public:
  Pidl() = default;
  explicit Pidl(PItemIDList p) : p_(p) {}
  ~Pidl();
  Pidl(const Pidl&) = delete;
  Pidl& operator=(const Pidl&) = delete;
  PItemIDList& ref() { return p_; }  // for out parameters (must be empty)
  PItemIDList get() const { return p_; }
  operator PCItemIDList() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  PItemIDList p_ = nullptr;
};

// While it lives, the calling thread is refused what file permissions
// refuse, also as root: root's thread gives up the capabilities that pass
// over them (other threads keep theirs), and takes them back at the end.
class PermissionsApply {
 public:
  PermissionsApply();
  ~PermissionsApply();
  PermissionsApply(const PermissionsApply&) = delete;
  PermissionsApply& operator=(const PermissionsApply&) = delete;

 private:
  bool dropped_ = false;
};

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // OS (UTF-8) path of a name inside the scratch folder; the folder's own
  // path is ASCII, so the CP932 form differs only in the name.
  std::string Os(std::string_view utf8Name) const { return root_ + "/" + std::string(utf8Name); }
  // CP932 path of a UTF-8 name inside the scratch folder.
  std::string Cp(std::string_view utf8Name) const;
  const std::string& Root() const { return root_; }
  const std::string& Home() const { return home_; }

  static void MakeDir(const std::string& osPath);
  static void MakeFile(const std::string& osPath, std::string_view bytes = "");
  // Gives the entry (a link itself, not what it leads to) a modification
  // and access time of `seconds` and `nanoseconds`.
  static void SetTimes(const std::string& osPath, long seconds, long nanoseconds);
  // Expects `copy` to have the modification time, the permission bits and
  // (for a link) the target of `original`, and so everything below it.
  static void ExpectSameTree(const std::string& original, const std::string& copy);
  // The names in a folder, sorted.
  static std::vector<std::string> Entries(const std::string& osFolder);
  // The bytes of a file ("" when it cannot be read).
  static std::string Read(const std::string& osPath);
  // Whether the entry is there (a link itself counts).
  static bool Exists(const std::string& osPath);

  // The absolute list of a CP932 path; fails the test when it does not parse.
  static PItemIDList ListOf(const std::string& cp932Path);
  // The CP932 in-folder names of a folder's children, in enumeration order.
  static std::vector<std::string> Names(const std::string& cp932Folder, std::uint32_t flags);

 private:
  std::string root_, home_;
  std::vector<std::pair<std::string, std::optional<std::string>>> savedEnv_;
  std::size_t blocksAtStart_ = 0;
};

}  // namespace tavo::test
