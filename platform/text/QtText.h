// The CP932 edge towards Qt. The program's own strings stay CP932; Qt sees
// QString only at this border.
#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace tavo {

// Display form of CP932 text. Bytes that are no valid CP932 never vanish:
// each shows as U+FFFD. Braille cell characters (F0 40..F0 7E, F0 80) become
// the Unicode braille pattern of their cell, so that assistive technology
// (a braille display, a screen reader) gets the cell, not a private code.
QString FromCp932(std::string_view cp932);

// The same, but cell characters keep their CP932 meaning as private-use code
// points (U+E000 + offset), for places that must round-trip the text.
QString FromCp932Exact(std::string_view cp932);

// Display form of a file name or path in its CP932 form (Cp932Name.h): the
// text as FromCp932Exact shows it, and each run of escapes as the bytes it
// stands for, read as UTF-8 (U+FFFD for each byte that is no UTF-8). So a
// folder named 한국 shows as 한국; ToCp932 refuses that text again, as every
// name the program cannot write as CP932 text.
QString FromCp932Path(std::string_view cp932);

// CP932 bytes of a QString; std::nullopt when a character has no CP932 form
// (the caller then refuses the text instead of altering it).
std::optional<std::string> ToCp932(const QString& text);

}  // namespace tavo
