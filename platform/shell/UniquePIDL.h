// An owning handle of one item-identifier list (ShellItemID.h): the list is
// freed with the shell allocator when the handle goes or takes another, so
// no list is freed by hand. The handle keeps the list's validated size and
// hands the list on as an IDListSpan, which needs no look into the
// allocator's shared block table. Move-only; a handle belongs to one thread
// at a time.
#pragma once

#include <cstddef>
#include <utility>

#include "platform/shell/ShellItemID.h"

namespace tavo {

class UniquePIDL {
 public:
  UniquePIDL() = default;
  // Takes `list` over (nullptr: none). A list that is malformed or lies in
  // no live block is freed at once and the handle stays empty.
  explicit UniquePIDL(PItemIDList list) { reset(list); }
  ~UniquePIDL() { reset(); }
  UniquePIDL(UniquePIDL&& other) noexcept : p_(other.p_), size_(other.size_) {
    other.p_ = nullptr;
    other.size_ = 0;
  }
  UniquePIDL& operator=(UniquePIDL&& other) noexcept {
    if (this != &other) {
      reset();
      std::swap(p_, other.p_);
      std::swap(size_, other.size_);
    }
    return *this;
  }
  UniquePIDL(const UniquePIDL&) = delete;
  UniquePIDL& operator=(const UniquePIDL&) = delete;

  // Takes over a list that begins a block of the shell allocator of
  // `list.room` bytes, which its maker knows (a list just made): it is
  // validated within those bytes, without a look into the block table.
  static UniquePIDL Adopt(IDListSpan list);
  // A handle of a new copy of `list`; empty for nullptr or a malformed list.
  static UniquePIDL CopyOf(PCItemIDList list);
  static UniquePIDL CopyOf(IDListSpan list);

  PItemIDList get() const { return p_; }
  // The list's bytes, terminator included; 0 when empty.
  std::size_t size() const { return size_; }
  IDListSpan span() const { return {p_, size_}; }
  explicit operator bool() const { return p_ != nullptr; }

  // Frees the list held and takes `list` over.
  void reset(PItemIDList list = nullptr);
  // Gives the list up without freeing it.
  PItemIDList release() {
    PItemIDList p = p_;
    p_ = nullptr;
    size_ = 0;
    return p;
  }

 private:
  PItemIDList p_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace tavo
