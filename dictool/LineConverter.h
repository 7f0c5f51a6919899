// How the searches convert a braille line of a RUTE document to kana.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tavo {

// Converts one NABCC braille line (up to its first NUL) to CP932 kana. The
// result may be the converter's own text, valid only until the next
// conversion: the searches copy it at once, into buffers they keep from line
// to line, so that a line costs no allocation.
using LineConverter = std::function<std::string_view(const std::string& line)>;

}  // namespace tavo
