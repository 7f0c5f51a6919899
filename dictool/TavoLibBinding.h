// The program's binding to libTavo32Lib: the three functions it needs, and
// CnvSourceCells where the library has it, found by name when the program
// starts. The library is looked for beside the
// program first, then on the system's library path.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dictool/LineConverter.h"

namespace tavo {

// Loads the library and binds TavoLibInitialize, TavoLibTerminate and
// CnvNABCCtoKANA. False, with a message naming what is missing, when the
// library or one of the functions cannot be found. Called once at start.
bool BindTavoLib(std::string& error);

// The bound functions. Before a successful BindTavoLib they do nothing and
// convert to an empty text.
bool TavoLibInitialize();
bool TavoLibTerminate();
// Option of the program's conversions: cells composed (low byte 0), high
// byte 1.
inline constexpr uint16_t kCnvOption = 0x0100;

// The bound CnvNABCCtoKANA with the program's option, called directly by
// the searches; before a successful BindTavoLib it converts every line to an
// empty text. The result is the library's own text, valid until the next
// call into the library (LineConverter.h).
LineConverter BoundLineConverter();

}  // namespace tavo
