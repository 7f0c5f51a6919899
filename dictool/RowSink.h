// Where a search puts its result rows: a result grid in the window, a vector
// in tests and benchmarks.
#pragma once

#include <string_view>

#include "dictool/HitLine.h"

namespace tavo {

class RowSink {
 public:
  virtual ~RowSink() = default;
  // Appends one row: its text (CP932, as shown) and, for the grid whose rows
  // carry one, its hit record; nullptr for the dictionary grid. Both are
  // copied.
  virtual void AddRow(std::string_view text, const THitLine* record) = 0;
};

}  // namespace tavo
