#include "platform/shell/ShellAllocator.h"

#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <unordered_map>

namespace tavo {
namespace {

// Every block is in both maps: the hash map answers a block's own start at
// once (the common question), the ordered one a pointer into a block.
struct Table {
  std::mutex lock;
  std::unordered_map<std::uintptr_t, std::size_t> starts;  // start -> size
  std::map<std::uintptr_t, std::size_t> blocks;            // start -> size
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
  t.starts.emplace(reinterpret_cast<std::uintptr_t>(p), size);
  t.blocks.emplace(reinterpret_cast<std::uintptr_t>(p), size);
  return p;
}

bool ShellFree(void* block) {
  if (block == nullptr) return true;
  Table& t = TheTable();
  {
    std::lock_guard<std::mutex> guard(t.lock);
    const auto addr = reinterpret_cast<std::uintptr_t>(block);
    if (t.starts.erase(addr) == 0) return false;
    t.blocks.erase(addr);
  }
  std::free(block);
  return true;
}

std::size_t ShellBlockRoom(const void* p) {
  if (p == nullptr) return 0;
  const auto addr = reinterpret_cast<std::uintptr_t>(p);
  Table& t = TheTable();
  std::lock_guard<std::mutex> guard(t.lock);
  if (auto s = t.starts.find(addr); s != t.starts.end()) return s->second;
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
