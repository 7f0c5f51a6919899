#include "platform/shell/ShellSortKeys.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tavo {
namespace {

struct Entry {
  std::uint64_t head;  // the 8 key bytes after the prefix all keys share, big-endian
  std::uint32_t begin, size, index;
  bool keyed;
};

}  // namespace

std::vector<std::size_t> ShellSortOrder(ShellFolder& folder, int column, std::span<const IDListSpan> items,
                                        bool descending) {
  // All keys in one buffer: a folder of 100,000 items makes one allocation
  // for them, not one each.
  std::string keys;
  keys.reserve(items.size() * 40);
  std::vector<Entry> entries(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    const std::size_t begin = keys.size();
    entries[i].keyed = folder.SortKey(column, items[i], keys);
    entries[i].begin = static_cast<std::uint32_t>(begin);
    entries[i].size = static_cast<std::uint32_t>(keys.size() - begin);
    entries[i].index = static_cast<std::uint32_t>(i);
  }
  // Keys of one folder mostly begin alike ("file0..."): the bytes after the
  // common prefix, read as one number, decide most comparisons at once.
  std::size_t common = entries.empty() ? 0 : entries[0].size;
  for (const Entry& e : entries) {
    const std::size_t n = std::min<std::size_t>(common, e.size);
    std::size_t k = 0;
    while (k < n && keys[entries[0].begin + k] == keys[e.begin + k]) ++k;
    common = k;
  }
  for (Entry& e : entries) {
    std::uint64_t head = 0;
    for (std::size_t k = 0; k < 8; ++k) {
      const std::size_t at = common + k;
      head = (head << 8) | (at < e.size ? static_cast<unsigned char>(keys[e.begin + at]) : 0u);
    }
    e.head = head;
  }
  // The keys, then the original position: a total order, so the sort is
  // defined and keeps items of equal keys in their order.
  const char* base = keys.data();
  auto keyLess = [&](const Entry& x, const Entry& y) {
    if (x.head != y.head) return x.head < y.head;
    return std::string_view(base + x.begin, x.size) < std::string_view(base + y.begin, y.size);
  };
  std::sort(entries.begin(), entries.end(), [&](const Entry& x, const Entry& y) {
    if (x.keyed != y.keyed) return x.keyed != descending;
    if (descending ? keyLess(y, x) : keyLess(x, y)) return true;
    if (descending ? keyLess(x, y) : keyLess(y, x)) return false;
    return x.index < y.index;
  });
  std::vector<std::size_t> order(entries.size());
  for (std::size_t k = 0; k < entries.size(); ++k) order[k] = entries[k].index;
  return order;
}

}  // namespace tavo
