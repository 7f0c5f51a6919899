// Matching of the search word in the kana text of RUTE braille lines, for
// the search over the documents of a folder.
//
// Texts are CP932 bytes; braille lines are NABCC bytes, where a blank (0x20)
// is the empty cell. Pure functions; thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace tavo {

// Whether `pattern` occurs in `text` beginning on a character boundary
// (FindOnBoundary); on success *position (when not null) receives the byte
// position of that occurrence counted from 1, otherwise it is left alone.
// An empty text or an empty pattern never matches. Texts are braille lines,
// far below INT_MAX bytes.
bool MatchSearchWord(std::string_view text, std::string_view pattern, int* position);

// Two consecutive raw braille lines joined so that a word running across the
// line end can be found: LineHead(a), one blank cell, then b, into `joined`.
// False (and `joined` left alone) when b begins with a blank cell: then b
// starts a new word and nothing runs across.
bool JoinLines(std::string_view a, std::string_view b, std::string& joined);

// What JoinLines keeps of the first line: a without its trailing blank
// cells, unless a is nothing but blanks (then there is no word end to tie
// to, and all of a is kept).
std::string_view LineHead(std::string_view a);

// Whether the kana of a joined line must be looked at for `pattern` at all.
// A joined hit begins in the first line's part, and that line's kana alone
// was no hit; the converter reads the end of a line (`head`: the first line
// as joined, without its cut blanks) as it reads a blank cell, cell by cell
// into two-byte characters, so the joined kana begins with the first line's
// kana and "□", and a hit that begins in it must run on across that "□".
// So it can only be one for a pattern that holds "□" (or ends in its first
// byte), or where the converter reads the first line on to the end of the
// joined one: a digit-separator cell ('\'') in a number (after '#')
// counts the digits up to the end of the line. (A NUL ends both texts where it stands: the
// joined kana is then the first line's own.)
bool JoinCanHit(std::string_view head, std::string_view pattern);

// The word without any "□" (81 A0, recognised where a character begins);
// the empty text when the word holds none, so the caller can tell that there
// was nothing to remove.
std::string RemoveBlankMarks(std::string_view word);

}  // namespace tavo
