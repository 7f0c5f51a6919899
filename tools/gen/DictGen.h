// A large segmentation dictionary for tests and benchmarks.
//
// Output: CP932 lines of about 20 bytes, each ending in CR LF (no lone CR or
// LF, no 0x1A byte), of every kind the dictionary grammar knows: ordinary
// compounds with "□" between their parts, entries followed by a '%' comment,
// entries behind a code part ("K0123/..."), '#' comment lines, comment-only
// lines ('%' first), blank lines, "heading:form" lines (the ':' rule), and
// group lines ('*') each followed by member lines ('+' and '+,').
//
// Words that never occur: the vocabulary holds no "ね" (GenWords.h), so no
// line contains the bytes 82 CB, and a search for ねこ (82 CB 82 B1), ねずみ,
// きつね or any other word with "ね" finds nothing - unless it is the hit word.
//
// Hit lines: with a hit word, line k (all lines counted from 1) is a hit line
// when k is a multiple of HitEvery: an ordinary line whose data (before any
// '%') holds the word where a character begins, never directly followed by
// ':', so a search for the word finds it there. Other lines may match too
// when the word is part of the vocabulary; a word with "ね" matches nowhere
// else.
//
// Deterministic: the same options give the same bytes. Pure computation; the
// caller's sink does all output.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tavo::gen {

struct DictOptions {
  uint64_t TargetBytes = 0;  // the output ends at the first line end at or past it
  uint64_t Seed = 1;
  std::string HitWord;    // CP932 bytes; empty: no hit lines
  uint64_t HitEvery = 0;  // >= 1 when HitWord is set
};

// Why `word` cannot serve as a hit word, or "" when it can. Refused: the
// empty word, bytes that are no CP932 text (controls, a lead byte without
// its trail byte), blanks (a typed search word has them turned into "□"),
// and '%' (it would start a comment).
std::string CheckHitWord(std::string_view word);

// Receives the output in blocks of a few MiB; returning false stops the run.
using BlockSink = std::function<bool(std::string_view block)>;

// Produces the whole dictionary into `sink`. The options must be valid
// (CheckHitWord accepted HitWord). False when the sink stopped the run.
bool GenerateDictionary(const DictOptions& options, const BlockSink& sink);

}  // namespace tavo::gen
