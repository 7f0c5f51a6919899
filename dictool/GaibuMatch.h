// Matching of the search word in the kana text of RUTE braille lines, for
// the search over the documents of a folder.
//
// Texts are CP932 bytes; braille lines are NABCC bytes, where a blank (0x20)
// is the empty cell. Pure functions; thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// Whether the converter reads a first line (`head`: as joined, without its
// cut blanks) on to the end of the line it is joined with: a
// digit-separator cell ('\'') in a number (after the number sign) counts the
// digits up to the end of the line. Blank cells do not change it, so a line
// may be given with its trailing blanks.
bool ReadsOnIntoNextLine(std::string_view head);
// ReadsOnIntoNextLine is false for a line without both these bytes, so a
// reader that notes them can leave the others untested.
inline constexpr char kNumberSign = '#';
inline constexpr char kDigitSeparator = '\'';

// Which first lines of a join must be joined and converted at all, for one
// pattern. A joined hit begins in the first line's part and that line had no
// hit of its own; unless the converter reads the first line on to the end
// of the joined one (ReadsOnIntoNextLine), it reads the line's end as it
// reads a blank cell, cell by cell into two-byte characters, so the joined
// kana begins with the head's kana and "□". A hit that begins in the head's
// kana and does not lie wholly in it (that would have been the line's own
// hit) runs on across that "□": the pattern holds "□" (or ends in its first
// byte) at some byte q > 0, and its q bytes before it end the head's kana.
// Every other join is no hit. (A NUL ends both texts where it stands: the
// joined kana is then the first line's own, and no join of such a line is a
// hit either.) Keeps its own copy of the pattern.
class JoinFilter {
 public:
  explicit JoinFilter(std::string_view pattern);
  // Whether a join of the braille line `line` (as read), whose kana is
  // `kana`, with the next line can hold a hit; `number`: whether the line
  // holds both kNumberSign and kDigitSeparator (true when not known).
  bool CanHit(std::string_view line, std::string_view kana, bool number) const {
    return (number || HoldsBlank()) && CanHitSlowly(line, kana, number);
  }
  // Whether a join of a line without both kNumberSign and kDigitSeparator
  // can hold a hit at all: only a pattern that runs across a "□" can.
  bool HoldsBlank() const { return !blanks_.empty(); }

 private:
  bool CanHitSlowly(std::string_view line, std::string_view kana, bool number) const;

  std::string pattern_;
  std::vector<std::size_t> blanks_;  // the q: where "□" (or its first byte, at the end) begins
};

// The word without any "□" (81 A0, recognised where a character begins);
// the empty text when the word holds none, so the caller can tell that there
// was nothing to remove.
std::string RemoveBlankMarks(std::string_view word);

}  // namespace tavo
