#include "platform/shell/ShellDataObject.h"

#include <cstring>

#include "platform/shell/ShellAllocator.h"
#include "platform/shell/ShellNamespace.h"
#include "platform/text/OsPath.h"

namespace tavo {
namespace {

void PutU32(std::string& s, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint32_t GetU32(std::string_view s, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
  return v;
}

bool Unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         c == '.' || c == '~' || c == '/';
}

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The OS path of a parent's absolute list joined with a relative one.
bool OsPathOf(PCItemIDList parent, PCItemIDList item, std::string& os) {
  const std::size_t ps = ValidIDListSize(parent), is = ValidIDListSize(item);
  if (ps == 0 || is == 0 || ps - 2 + is > kMaxIDListSize) return false;
  auto* joined = static_cast<PItemIDList>(ShellAlloc(ps - 2 + is));
  if (joined == nullptr) return false;
  std::memcpy(joined, parent, ps - 2);
  std::memcpy(joined + ps - 2, item, is);
  UniquePIDL owned = UniquePIDL::Adopt({joined, ps - 2 + is});
  std::string cp932;
  if (!ShellGetPathFromIDList(owned.get(), cp932)) return false;
  auto p = ToOsPath(cp932);
  if (!p) return false;
  os = std::move(*p);
  return true;
}

}  // namespace

void ShellDataObject::SetData(std::string_view format, std::string bytes) {
  for (auto& [f, b] : formats_) {
    if (f == format) {
      b = std::move(bytes);
      return;
    }
  }
  formats_.emplace_back(std::string(format), std::move(bytes));
}

const std::string* ShellDataObject::Data(std::string_view format) const {
  for (const auto& [f, b] : formats_)
    if (f == format) return &b;
  return nullptr;
}

std::string ShellIDListArrayBytes(PCItemIDList parent, std::span<const PCItemIDList> items) {
  std::string lists;
  std::vector<std::uint32_t> offsets;
  const std::size_t head = 4 + 4 * (items.size() + 1);
  auto add = [&](PCItemIDList p) {
    offsets.push_back(static_cast<std::uint32_t>(head + lists.size()));
    lists.append(reinterpret_cast<const char*>(p), ValidIDListSize(p));
  };
  add(parent);
  for (PCItemIDList p : items) add(p);
  std::string bytes;
  PutU32(bytes, static_cast<std::uint32_t>(items.size()));
  for (std::uint32_t o : offsets) PutU32(bytes, o);
  return bytes + lists;
}

bool ParseShellIDListArray(std::string_view bytes, UniquePIDL& parent, std::vector<UniquePIDL>& items) {
  if (bytes.size() < 8) return false;
  const std::uint32_t count = GetU32(bytes, 0);
  // Every list takes at least its two-byte terminator.
  if (count > (bytes.size() - 8) / 6) return false;
  const std::size_t head = 4 + 4 * (static_cast<std::size_t>(count) + 1);
  if (bytes.size() < head) return false;
  std::vector<UniquePIDL> lists;
  for (std::uint32_t i = 0; i <= count; ++i) {
    const std::uint32_t at = GetU32(bytes, 4 + 4 * static_cast<std::size_t>(i));
    if (at < head || at >= bytes.size()) return false;
    UniquePIDL list(IDListFromBytes(bytes.data() + at, bytes.size() - at));
    if (!list) return false;
    lists.push_back(std::move(list));
  }
  parent = std::move(lists.front());
  items.assign(std::make_move_iterator(lists.begin() + 1), std::make_move_iterator(lists.end()));
  return true;
}

ShellDataObject MakeShellDataObject(PCItemIDList parent, std::span<const PCItemIDList> items) {
  ShellDataObject data;
  if (ValidIDListSize(parent) == 0 || items.empty()) return data;
  std::vector<std::string> paths;
  for (PCItemIDList item : items) {
    if (ValidIDListSize(item) == 0) return data;
    std::string os;
    if (OsPathOf(parent, item, os)) paths.push_back(std::move(os));
  }
  data.SetData(kShellIDListFormat, ShellIDListArrayBytes(parent, items));
  if (!paths.empty()) data.SetData(kUriListFormat, UriListOf(paths));
  return data;
}

std::string UriListOf(const std::vector<std::string>& osPaths) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (const std::string& path : osPaths) {
    out += "file://";
    for (const char ch : path) {
      const auto c = static_cast<unsigned char>(ch);
      if (Unreserved(c)) {
        out += ch;
      } else {
        out += '%';
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
      }
    }
    out += "\r\n";
  }
  return out;
}

std::vector<std::string> OsPathsOfUriList(std::string_view uriList) {
  std::vector<std::string> paths;
  std::size_t i = 0;
  while (i < uriList.size()) {
    std::size_t j = uriList.find('\n', i);
    if (j == std::string_view::npos) j = uriList.size();
    std::string_view line = uriList.substr(i, j - i);
    i = j + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] == '#') continue;
    constexpr std::string_view kScheme = "file://";
    if (line.substr(0, kScheme.size()) != kScheme) continue;
    line.remove_prefix(kScheme.size());
    if (line.substr(0, 9) == "localhost") line.remove_prefix(9);
    if (line.empty() || line[0] != '/') continue;  // another host, or no path
    std::string path;
    bool ok = true;
    for (std::size_t k = 0; k < line.size(); ++k) {
      if (line[k] != '%') {
        path += line[k];
        continue;
      }
      if (k + 2 >= line.size() || Hex(line[k + 1]) < 0 || Hex(line[k + 2]) < 0) {
        ok = false;
        break;
      }
      path += static_cast<char>(Hex(line[k + 1]) * 16 + Hex(line[k + 2]));
      k += 2;
    }
    if (ok && path.find('\0') == std::string::npos) paths.push_back(std::move(path));
  }
  return paths;
}

std::vector<std::string> DataObjectOsPaths(const ShellDataObject& data) {
  if (const std::string* array = data.Data(kShellIDListFormat)) {
    UniquePIDL parent;
    std::vector<UniquePIDL> items;
    if (ParseShellIDListArray(*array, parent, items) && !items.empty()) {
      std::vector<std::string> paths;
      for (const UniquePIDL& item : items) {
        std::string os;
        if (!OsPathOf(parent.get(), item.get(), os)) break;
        paths.push_back(std::move(os));
      }
      if (paths.size() == items.size()) return paths;
    }
  }
  if (const std::string* uris = data.Data(kUriListFormat)) return OsPathsOfUriList(*uris);
  return {};
}

}  // namespace tavo
