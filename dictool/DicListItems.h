// List entries that hold a CP932 path: the bytes are kept as they are (the
// display text is only their reading), so a path goes back out unchanged.
// Both registration dialogs add their paths through here. UI thread only.
#pragma once

#include <string>
#include <vector>

class QListWidget;
class QString;
class QWidget;

namespace tavo {

void AddPathItem(QListWidget* list, const std::string& cp932Path);
std::string PathOfItem(const QListWidget* list, int row);
std::vector<std::string> PathsOf(const QListWidget* list);
// The row of the entry whose path equals `cp932Path` exactly, or -1.
int FindPath(const QListWidget* list, const std::string& cp932Path);

// Whether a dictionary path can be registered: the settings file must hold
// it as it is (no line break, no blanks at either end, at most 2047 bytes).
// When it cannot, the user is told why in a message box with `caption`.
bool AcceptDictionaryPath(QWidget* owner, const QString& caption, const std::string& cp932Path);

}  // namespace tavo
