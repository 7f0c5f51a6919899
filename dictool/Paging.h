// The paging arithmetic of the result grids. Pure; thread-safe.
#pragma once

namespace tavo {

// Rows that a page of a grid holds: (H - (H div R - 1) * W) div R for client
// height H, row height R and grid line width W. The line width is counted
// although no line is drawn, so a page can hold one row fewer than would
// fit. A row height below 1 counts as 1.
int RowsThatFit(int clientHeight, int rowHeight, int gridLineWidth);

}  // namespace tavo
