#include "platform/shell/ShellItemID.h"

#include <cstring>

#include "platform/shell/ShellAllocator.h"

namespace tavo {

std::size_t ValidIDListSize(PCItemIDList p, std::size_t available) {
  if (p == nullptr) return 0;
  if (available > kMaxIDListSize) available = kMaxIDListSize;
  std::size_t pos = 0;
  for (;;) {
    if (available - pos < 2) return 0;
    const std::size_t cb = static_cast<std::size_t>(p[pos] | (p[pos + 1] << 8));
    if (cb == 0) return pos + 2;
    if (cb < 3 || cb > available - pos) return 0;
    pos += cb;
  }
}

std::size_t ValidIDListSize(PCItemIDList p) { return ValidIDListSize(p, ShellBlockRoom(p)); }

int CountItemIDs(PCItemIDList validList) {
  int n = 0;
  for (PCItemIDList q = validList; CbOf(q) != 0; q += CbOf(q)) ++n;
  return n;
}

PItemIDList MakeItemID(ItemTag tag, std::string_view body) {
  const std::size_t cb = body.size() + 3;
  if (cb + 2 > kMaxIDListSize) return nullptr;
  auto* p = static_cast<PItemIDList>(ShellAlloc(cb + 2));
  if (p == nullptr) return nullptr;
  p[0] = static_cast<std::uint8_t>(cb & 0xFF);
  p[1] = static_cast<std::uint8_t>(cb >> 8);
  p[2] = static_cast<std::uint8_t>(tag);
  if (!body.empty()) std::memcpy(p + 3, body.data(), body.size());
  p[cb] = 0;
  p[cb + 1] = 0;
  return p;
}

PItemIDList IDListFromBytes(const void* bytes, std::size_t size) {
  const auto* src = static_cast<PCItemIDList>(bytes);
  const std::size_t n = ValidIDListSize(src, size);
  if (n == 0) return nullptr;
  auto* p = static_cast<PItemIDList>(ShellAlloc(n));
  if (p != nullptr) std::memcpy(p, src, n);
  return p;
}

}  // namespace tavo
