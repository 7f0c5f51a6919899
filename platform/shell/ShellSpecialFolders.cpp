#include "platform/shell/ShellSpecialFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

#include "platform/text/Cp932.h"

namespace tavo {
namespace {

std::string AbsoluteEnv(const char* name) {
  const char* v = std::getenv(name);
  if (v == nullptr || v[0] != '/') return {};
  std::string s(v);
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

bool UsableFolder(const std::string& osPath) {
  struct stat st {};
  return !osPath.empty() && ::stat(osPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         Utf8ToCp932(osPath).has_value();
}

// The value of XDG_DESKTOP_DIR in a user-dirs file: "$HOME/..." or an
// absolute path, in double quotes, with backslash escapes.
std::string DesktopFromUserDirs(const std::string& home) {
  std::ifstream in(ConfigHomeOsPath() + "/user-dirs.dirs", std::ios::binary);
  if (!in) return {};
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string_view rest = text;
  std::string found;
  while (!rest.empty()) {
    std::size_t nl = rest.find('\n');
    std::string_view line = rest.substr(0, nl);
    rest = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    constexpr std::string_view kKey = "XDG_DESKTOP_DIR=\"";
    if (line.substr(0, kKey.size()) != kKey) continue;
    line.remove_prefix(kKey.size());
    std::string value;
    bool closed = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '\\' && i + 1 < line.size()) {
        value += line[++i];
      } else if (line[i] == '"') {
        closed = true;
        break;
      } else {
        value += line[i];
      }
    }
    if (!closed) continue;
    if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/')) {
      value = home + value.substr(5);
    } else if (value.empty() || value[0] != '/') {
      continue;
    }
    while (value.size() > 1 && value.back() == '/') value.pop_back();
    found = value;  // the last assignment wins, as when the shell reads it
  }
  return found;
}

std::string TrashOsPath();

}  // namespace

std::string HomeOsPath() {
  std::string home = AbsoluteEnv("HOME");
  if (!home.empty()) return home;
  std::vector<char> buf(16384);
  passwd pw{};
  passwd* result = nullptr;
  if (::getpwuid_r(::geteuid(), &pw, buf.data(), buf.size(), &result) == 0 && result != nullptr &&
      result->pw_dir != nullptr && result->pw_dir[0] == '/')
    return result->pw_dir;
  return "/";
}

std::string DesktopOsPath() {
  const std::string home = HomeOsPath();
  std::string desktop = DesktopFromUserDirs(home);
  if (desktop.empty()) desktop = home == "/" ? "/Desktop" : home + "/Desktop";
  if (UsableFolder(desktop)) return desktop;
  if (UsableFolder(home)) return home;
  return "/";
}

std::string ConfigHomeOsPath() {
  std::string dir = AbsoluteEnv("XDG_CONFIG_HOME");
  if (!dir.empty()) return dir;
  const std::string home = HomeOsPath();
  return home == "/" ? "/.config" : home + "/.config";
}

namespace {
std::string TrashOsPath() {
  std::string dir = AbsoluteEnv("XDG_DATA_HOME");
  if (dir.empty()) {
    const std::string home = HomeOsPath();
    dir = (home == "/" ? std::string() : home) + "/.local/share";
  }
  return dir + "/Trash";
}
}  // namespace

std::string TrashFilesOsPath() { return TrashOsPath() + "/files"; }
std::string TrashInfoOsPath() { return TrashOsPath() + "/info"; }

}  // namespace tavo
