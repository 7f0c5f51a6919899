#include "platform/shell/ShellAllocator.h"

#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>

namespace tavo {
namespace {

// One ordered map answers both a block's own start and a pointer into a
// block. Callers that keep their lists' sizes (UniquePIDL) do not ask it.
struct Table {
  std::mutex lock;
  std::map<std::uintptr_t, std::size_t> blocks;  // start -> size
};

// Never destroyed: lists may still be freed while static objects go away.
Table& TheTable() {
  static Table* table = new Table;
  return *table;
}

}  // namespace

void* ShellAlloc(std::size_t size) {
  if (size == 0) return nullptr;
  void* p = std::malloc(size);
  if (p == nullptr) return nullptr;
  Table& t = TheTable();
  std::lock_guard<std::mutex> guard(t.lock);
  t.blocks.emplace_hint(t.blocks.end(), reinterpret_cast<std::uintptr_t>(p), size);
  return p;
}

bool ShellFree(void* block) {
  if (block == nullptr) return true;
  Table& t = TheTable();
  {
    std::lock_guard<std::mutex> guard(t.lock);
    if (t.blocks.erase(reinterpret_cast<std::uintptr_t>(block)) == 0) return false;
  }
  std::free(block);
  return true;
}

std::size_t ShellBlockRoom(const void* p) {
  if (p == nullptr) return 0;
  const auto addr = reinterpret_cast<std::uintptr_t>(p);
  Table& t = TheTable();
  std::lock_guard<std::mutex> guard(t.lock);
  auto it = t.blocks.upper_bound(addr);
  if (it == t.blocks.begin()) return 0;
  --it;
  const std::uintptr_t end = it->first + it->second;
  return addr < end ? end - addr : 0;
}

std::size_t ShellLiveBlocks() {
  Table& t = TheTable();
  std::lock_guard<std::mutex> guard(t.lock);
  return t.blocks.size();
}

}  // namespace tavo
