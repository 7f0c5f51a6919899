// The line grammar of the segmentation dictionaries, and the row text shown
// for a dictionary line.
//
// A dictionary line's data is the line before its first '%' (the rest is a
// comment that never matches, but the shown row is always the whole line).
// By the first byte of the data:
//   (empty) or '#'   skipped
//   '*'              group line: records whether the pattern occurs in it;
//                    never a hit
//   '+' after a group line that matched      always a hit (member line)
//   '+' ',' otherwise                        skipped (member of another group)
//   anything else                            ordinary line: skipped in group
//                                            mode, else matched by pattern
// An ordinary line matches when the pattern occurs in its data and the
// pattern directly followed by ':' occurs nowhere in it; every occurrence is
// counted only where a character begins (SjisSearch.h).
//
// All texts are CP932 bytes. Line texts are given without their line end.
// Pure functions apart from the caller's group flag; thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace tavo {

// What a search word asks of the dictionary lines.
struct DicPattern {
  std::string Pattern;       // searched for in the data of each line
  std::string PatternColon;  // Pattern + ":", prepared once for the ':' rule
  bool RawMode = false;      // word began with '/': rows shown as read
  bool GroupMode = false;    // word began with '*' or "＊": member lines only
};

// `word` is the search word after SpaceToSquare. A leading '/' selects raw
// mode and is dropped from the pattern; a leading '*' or "＊" selects group
// mode and stays in it (group lines must contain the mark too). The word "/"
// alone leaves an empty pattern, which matches nothing.
DicPattern PrepareDicPattern(std::string_view word);

// Whether `line` is a hit. `inMatchedGroup` carries the state from one line of
// a dictionary to the next: start each dictionary with false. No allocation.
bool IsDicHit(std::string_view line, const DicPattern& pattern, bool& inMatchedGroup);

// The row text of a dictionary line outside raw mode: every single-byte
// character up to and including the first single-byte '/' becomes a blank
// (the code part of the line), double-byte characters stay; without a '/'
// every single-byte character becomes a blank. Heading rows, which begin
// "－使用辞書：", are returned unchanged.
std::string HideLineCode(std::string_view row);

// The path's extension is ".RUT" in any ASCII letter case: the dictionary is a
// RUTE braille document rather than a text dictionary.
bool IsRutFile(std::string_view path);

}  // namespace tavo
