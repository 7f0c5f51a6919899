// On-disk names in the program's CP932. A name on the disk is bytes (UTF-8
// by custom); most have a CP932 form that converts back to the same bytes.
// The others - Korean, Thai, emoji, bytes that are no UTF-8, and the
// characters whose CP932 form converts back to another character (WAVE DASH
// U+301C and FULLWIDTH TILDE U+FF5E share 81 60, YEN SIGN U+00A5 would turn
// into 5C) - are carried by escape characters: each byte of such a character,
// or each stray byte, becomes one character of the user-defined row F9
// (byte 80 is F9 40, ...). No other name the program sees holds a character
// of that row: a name that holds one on the disk (U+E69C..U+E757) has it
// escaped too. So every name has a CP932 form that reads back to its bytes,
// and a form without escapes is exactly the name as CP932 text.
//
// Pure functions, thread-safe. Cp932.h's strict conversions know nothing of
// escapes: they see them as the private-use characters they are.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tavo {

// The CP932 form of on-disk bytes (a name or a path), escapes where needed.
std::string Cp932FormOfOsBytes(std::string_view bytes);

// The on-disk bytes of a CP932 form: its text converted to UTF-8 and its
// escapes turned back into their bytes; nullopt for bytes that are no CP932.
std::optional<std::string> OsBytesOfCp932Form(std::string_view cp932);

// True when the text holds no escape: the name as it stands is CP932 text.
bool IsPlainCp932Name(std::string_view cp932);

// Walks a CP932 form in order: `plain` gets each run of CP932 text, `escaped`
// the bytes of each run of escapes.
void SplitCp932Form(std::string_view cp932, const std::function<void(std::string_view plain)>& plain,
                    const std::function<void(std::string_view bytes)>& escaped);

}  // namespace tavo
