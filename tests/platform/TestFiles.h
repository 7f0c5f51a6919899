// Scratch files for the platform tests: real folders under $TMPDIR, and
// helpers that look at them without the code under test.
#pragma once

#include <sys/resource.h>

#include <string>
#include <string_view>

namespace tavo::test {

// A fresh folder for one test, removed with everything in it when the test
// ends; also points TAVO_WINDIR at a "windir" folder inside it (not created),
// so that no test touches the real settings folder.
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

 private:
  std::string path_;
};

// Whole-file helpers on OS (UTF-8) paths, independent of the code under test.
void WriteBytes(const std::string& osPath, std::string_view bytes);
std::string ReadBytes(const std::string& osPath);  // "<missing>" when absent

// Runs body(arg) in a child process whose files may not grow past `limit`
// bytes, so that a write fails part way (EFBIG) as on a full disk. Returns
// the child's exit status (body's result), or -1 when it did not exit.
int RunWithFileSizeLimit(rlim_t limit, int (*body)(const std::string&), const std::string& arg);

}  // namespace tavo::test
