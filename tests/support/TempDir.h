// A fresh folder for one test, removed with everything in it when the test
// ends. It also points TAVO_WINDIR at a "windir" folder inside it (not
// created), so that no test touches the real settings folder.
#pragma once

#include <string>
#include <string_view>

namespace tavo::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder's path; ASCII, so the same bytes in CP932 and on disk.
  const std::string& path() const { return path_; }
  // path() + "/" + name.
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }
  // Writes a file of these bytes in the folder; returns its path.
  std::string Write(std::string_view name, std::string_view bytes) const;
  // Makes "shared", a folder everyone may write to (sticky, as /tmp), and in
  // it `name`, a link to the file `target` that another user owns, as that
  // user would plant it; returns the link's path, "" when links cannot be
  // given away here (without root).
  std::string PlantForeignLink(std::string_view name, const std::string& target) const;

 private:
  std::string path_;
};

// Makes a chain of folders below `folder` (one that exists) so deep that the
// path of its last one is longer than the system opens (PATH_MAX): a folder
// that no user can list, root included. Returns that path. TempDir removes
// such a chain with everything else.
std::string MakeFolderTooDeepToList(const std::string& folder);

}  // namespace tavo::test
