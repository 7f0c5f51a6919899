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

IDListSpan SpanOf(PCItemIDList p) {
  const std::size_t room = ShellBlockRoom(p);
  return room == 0 ? IDListSpan{} : IDListSpan{p, room};
}

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

namespace {

template <class T>
void PutLE(std::string& out, T v) {
  for (std::size_t i = 0; i < sizeof(T); ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

template <class T>
T GetLE(const std::uint8_t* p) {
  T v = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) v |= static_cast<T>(p[i]) << (8 * i);
  return v;
}

}  // namespace

std::string FsBody(const FsItemFacts& facts, std::string_view name) {
  std::string body;
  body.reserve(kFsFactsSize + name.size());
  body += static_cast<char>((facts.known ? 1 : 0) | (facts.link ? 2 : 0));
  body += '\0';
  PutLE(body, facts.attributes);
  PutLE(body, facts.size);
  PutLE(body, facts.writeTime);
  body += name;
  return body;
}

PItemIDList MakeFsItemID(bool folder, std::string_view name, const FsItemFacts& facts) {
  // Written straight into the new list: enumeration makes one per entry.
  const std::size_t cb = 3 + kFsFactsSize + name.size();
  if (cb + 2 > kMaxIDListSize) return nullptr;
  auto* p = static_cast<PItemIDList>(ShellAlloc(cb + 2));
  if (p == nullptr) return nullptr;
  p[0] = static_cast<std::uint8_t>(cb & 0xFF);
  p[1] = static_cast<std::uint8_t>(cb >> 8);
  p[2] = static_cast<std::uint8_t>(folder ? ItemTag::FsFolder : ItemTag::FsFile);
  std::uint8_t* b = p + 3;
  b[0] = static_cast<std::uint8_t>((facts.known ? 1 : 0) | (facts.link ? 2 : 0));
  b[1] = 0;
  for (std::size_t i = 0; i < 4; ++i) b[2 + i] = static_cast<std::uint8_t>(facts.attributes >> (8 * i));
  for (std::size_t i = 0; i < 8; ++i) b[6 + i] = static_cast<std::uint8_t>(facts.size >> (8 * i));
  for (std::size_t i = 0; i < 8; ++i) b[14 + i] = static_cast<std::uint8_t>(facts.writeTime >> (8 * i));
  if (!name.empty()) std::memcpy(b + kFsFactsSize, name.data(), name.size());
  p[cb] = 0;
  p[cb + 1] = 0;
  return p;
}

std::string_view FsNameOf(PCItemIDList id) {
  const std::string_view body = BodyOf(id);
  return body.size() > kFsFactsSize ? body.substr(kFsFactsSize) : std::string_view();
}

FsItemFacts FsFactsOf(PCItemIDList id) {
  FsItemFacts f;
  if (BodyOf(id).size() <= kFsFactsSize) return f;
  const std::uint8_t* p = id + 3;
  f.known = (p[0] & 1) != 0;
  f.link = (p[0] & 2) != 0;
  f.attributes = GetLE<std::uint32_t>(p + 2);
  f.size = GetLE<std::uint64_t>(p + 6);
  f.writeTime = GetLE<std::uint64_t>(p + 14);
  return f;
}

bool WriteFsFacts(PItemIDList id, const FsEntryFacts& entry) {
  const ItemTag tag = TagOf(id);
  if ((tag != ItemTag::FsFile && tag != ItemTag::FsFolder) || BodyOf(id).size() <= kFsFactsSize) return false;
  id[2] = static_cast<std::uint8_t>(entry.folder ? ItemTag::FsFolder : ItemTag::FsFile);
  std::uint8_t* b = id + 3;
  const FsItemFacts& f = entry.facts;
  b[0] = static_cast<std::uint8_t>((f.known ? 1 : 0) | (f.link ? 2 : 0));
  for (std::size_t i = 0; i < 4; ++i) b[2 + i] = static_cast<std::uint8_t>(f.attributes >> (8 * i));
  for (std::size_t i = 0; i < 8; ++i) b[6 + i] = static_cast<std::uint8_t>(f.size >> (8 * i));
  for (std::size_t i = 0; i < 8; ++i) b[14 + i] = static_cast<std::uint8_t>(f.writeTime >> (8 * i));
  return true;
}

bool FsFactsPending(PCItemIDList id) {
  const ItemTag tag = TagOf(id);
  return (tag == ItemTag::FsFile || tag == ItemTag::FsFolder) && !FsFactsOf(id).known;
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
