#include "tests/platform/TestFiles.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <dirent.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tavo::test {

void WriteBytes(const std::string& osPath, std::string_view bytes) {
  std::ofstream out(osPath, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << osPath;
}

std::string ReadBytes(const std::string& osPath) {
  std::ifstream in(osPath, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> Entries(const std::string& osFolder) {
  std::vector<std::string> names;
  if (DIR* d = ::opendir(osFolder.c_str())) {
    while (dirent* e = ::readdir(d))
      if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
    ::closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

int RunWithFileSizeLimit(rlim_t limit, int (*body)(const std::string&), const std::string& arg) {
  pid_t pid = ::fork();
  if (pid == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit rl{limit, limit};
    ::setrlimit(RLIMIT_FSIZE, &rl);
    ::_exit(body(arg));
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace tavo::test
