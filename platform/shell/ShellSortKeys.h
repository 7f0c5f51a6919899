// Sorting the children of one folder by a column of its CompareIDs: each
// child's key is built once (ShellFolder::SortKey) and a stable sort puts
// the keys in order, so that the order stays defined whatever a pairwise
// comparison would answer, and items of equal keys keep their order.
// Thread-safe, like the folders.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "platform/shell/ShellNamespace.h"

namespace tavo {

// The order of `items` (children of `folder`) by `column`: element k of the
// result is the index in `items` of the item that comes k-th. Descending
// reverses the order of the keys. Items the folder cannot key come after
// all others (before them when descending), in the order they had.
std::vector<std::size_t> ShellSortOrder(ShellFolder& folder, int column, std::span<const IDListSpan> items,
                                        bool descending);

}  // namespace tavo
