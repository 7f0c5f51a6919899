// How the searches convert a braille line of a RUTE document to kana.
#pragma once

#include <functional>
#include <string_view>

namespace tavo {

// Converts one NUL-terminated NABCC braille line to CP932 kana; the searches
// hand it lines where they lie in the file's buffer. The result may be the
// converter's own text, valid only until the next conversion: the searches
// use it at once and copy only what they keep, so that a line costs no
// allocation.
using LineConverter = std::function<std::string_view(const char* line)>;

}  // namespace tavo
