// The program's help pages: HTML files built and installed with it. A built
// program finds them beside its own folder (../Help/TavoDic_html/html/), an
// installed one also in its data folder (share/tavodic/help/, reached from
// the program's folder, so that the install prefix may move). Page names
// and paths are CP932. UI thread only.
#pragma once

#include <string>

class QWidget;

namespace tavo {

// The absolute path of the first copy of `page` that exists, "" when none.
std::string FindHelpPage(const std::string& page);

// Opens `page` with the desktop's opener, or a web browser where there is
// none; tells the user in a message box when the page is missing, or when
// no program could be started to show it or the one started failed (told
// once it has ended; the window stays live meanwhile).
void OpenHelpPage(QWidget* owner, const std::string& page);

}  // namespace tavo
