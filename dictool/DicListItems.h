// List entries that hold a CP932 path: the bytes are kept as they are (the
// display text is only their reading), so a path goes back out unchanged.
#pragma once

#include <string>
#include <vector>

class QListWidget;

namespace tavo {

void AddPathItem(QListWidget* list, const std::string& cp932Path);
std::string PathOfItem(const QListWidget* list, int row);
std::vector<std::string> PathsOf(const QListWidget* list);
// The row of the entry whose path equals `cp932Path` exactly, or -1.
int FindPath(const QListWidget* list, const std::string& cp932Path);

}  // namespace tavo
