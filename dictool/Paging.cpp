#include "dictool/Paging.h"

namespace tavo {

int RowsThatFit(int clientHeight, int rowHeight, int gridLineWidth) {
  if (rowHeight < 1) rowHeight = 1;
  if (clientHeight < 0) clientHeight = 0;
  return (clientHeight - (clientHeight / rowHeight - 1) * gridLineWidth) / rowHeight;
}

}  // namespace tavo
