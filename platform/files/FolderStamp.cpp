#include "platform/files/FolderStamp.h"

#include <sys/stat.h>

#include "platform/text/OsPath.h"

namespace tavo {

FolderStamp StampOfFolder(std::string_view path) {
  auto os = ToOsPath(path);
  struct stat st;
  if (!os || ::stat(os->c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {};
  auto ns = [](const timespec& t) { return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec; };
  return {true, static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino), ns(st.st_mtim), ns(st.st_ctim)};
}

}  // namespace tavo
