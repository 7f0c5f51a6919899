// How the messages that refuse or leave out a value the settings file cannot
// hold put it: why, and the value itself, cut to what a message box shows.
// UI thread only.
#pragma once

#include <QString>

#include <string_view>

#include "platform/files/ProfileText.h"

namespace tavo {

// Why, as a clause that "ため" follows ("名前に改行を含む"); empty for kNone.
QString UnstorableReason(ProfileValueProblem problem);

// The CP932 value as a message shows it: at most `chars` characters and
// "…", a line break as "\n".
QString ShownValue(std::string_view cp932, int chars);

}  // namespace tavo
