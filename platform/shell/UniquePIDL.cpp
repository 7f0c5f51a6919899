#include "platform/shell/UniquePIDL.h"

#include <cstring>

#include "platform/shell/ShellAllocator.h"

namespace tavo {

void UniquePIDL::reset(PItemIDList list) {
  if (p_ != nullptr && p_ != list) ShellFree(p_);
  p_ = nullptr;
  size_ = 0;
  if (list == nullptr) return;
  const std::size_t n = ValidIDListSize(list);
  if (n == 0) {
    ShellFree(list);
    return;
  }
  p_ = list;
  size_ = n;
}

UniquePIDL UniquePIDL::Adopt(IDListSpan list) {
  UniquePIDL h;
  if (list.p == nullptr) return h;
  const std::size_t n = ValidIDListSize(list);
  if (n == 0) {
    ShellFree(const_cast<PItemIDList>(list.p));
    return h;
  }
  h.p_ = const_cast<PItemIDList>(list.p);
  h.size_ = n;
  return h;
}

UniquePIDL UniquePIDL::CopyOf(IDListSpan list) {
  const std::size_t n = ValidIDListSize(list);
  UniquePIDL h;
  if (n == 0) return h;
  auto* p = static_cast<PItemIDList>(ShellAlloc(n));
  if (p == nullptr) return h;
  std::memcpy(p, list.p, n);
  h.p_ = p;
  h.size_ = n;
  return h;
}

UniquePIDL UniquePIDL::CopyOf(PCItemIDList list) { return CopyOf(SpanOf(list)); }

}  // namespace tavo
