// The main conversion loop: the step tables built from every rule family's
// moves, one step per cell, and the rules for what the moves leave to them.
#include "convlib/KVCnv.h"

#include <algorithm>
#include <array>
#include <span>

#include "convlib/BracketSteps.h"
#include "convlib/CellSteps.h"
#include "convlib/KanaPrefixSteps.h"
#include "convlib/NumberLetterSteps.h"
#include "convlib/TavoTbl.h"

namespace tavolib {
namespace {

// Running text, cell c before `next`.
consteval Move TextMove(unsigned char c, unsigned char next, bool keepCells) {
  if (auto move = KanaPrefixMove(c, next, keepCells)) return *move;
  if (auto move = BracketMove(c, next)) return *move;
  if (auto move = NumberLetterMove(c, next)) return *move;
  return Write(KanaTable[c]);  // a cell without a rule
}

// Cell c before `next` in a mode other than running text: the move of the
// family that claims it, or as in running text where none does.
consteval Move ModeMove(Mode mode, unsigned char c, unsigned char next, const Move& text) {
  if (mode == Mode::kSkip) return Write({});
  const std::optional<Move> claims[] = {KanaPrefixModeMove(mode, c, next), BracketModeMove(mode, c, next),
                                        NumberLetterModeMove(mode, c, next)};
  std::optional<Move> move;
  for (const std::optional<Move>& claim : claims) {
    if (claim && move) throw "two rule families claim one mode and cell";
    if (claim) move = claim;
  }
  return move.value_or(text);
}

// A move as the loop reads it: the loop copies all of it to the output and
// keeps `bytes`, so a step is one aligned eight-byte load.
struct alignas(8) Step {
  static constexpr size_t kMaxText = 6;
  char text[kMaxText] = {};
  uint8_t bytes = 0;
  Rule rule = Rule::kNone;
};
static_assert(sizeof(Step) == 8);

consteval Step MakeStep(const Move& move) {
  if (move.text.size() > Step::kMaxText) throw "a move writes at most six bytes";
  Step step;
  for (size_t i = 0; i < move.text.size(); ++i) step.text[i] = move.text[i];
  step.bytes = static_cast<uint8_t>(move.text.size());
  step.rule = move.rule;
  return step;
}

// The steps of every mode for one cell before one next cell. nextModes holds
// the mode after each step, four bits each, so that the loop finds the next
// mode by a shift and a mask rather than by a load that it would wait for:
// the field of mode m lies at bits 4m+2 to 4m+5, so (nextModes >> 4m) & 0x3C
// is four times the next mode. The field of a step that runs a rule holds
// kRunsRule instead, so one comparison of the next mode finds those steps.
struct alignas(64) Block {
  uint64_t nextModes = 0;
  Step steps[kModeCount];
};
constexpr uint64_t kRunsRule = 15;
static_assert(kModeCount <= kRunsRule && sizeof(Block) == 128);

consteval Block MakeBlock(unsigned char c, unsigned char next, bool keepCells) {
  Block block;
  const Move text = TextMove(c, next, keepCells);
  for (size_t m = 0; m < kModeCount; ++m) {
    const Move move = Mode(m) == Mode::kText ? text : ModeMove(Mode(m), c, next, text);
    block.steps[m] = MakeStep(move);
    const uint64_t field = move.rule != Rule::kNone ? kRunsRule : static_cast<uint8_t>(move.next);
    block.nextModes |= field << (4 * m + 2);
  }
  return block;
}

// The cell after a cell as the moves tell it apart: one of the 64 NABCC
// cells, or anything else (the end of the line included), which no move
// reads as a cell.
constexpr size_t kNextClasses = 65;
constexpr std::array<uint8_t, 256> kNextClass = [] {
  std::array<uint8_t, 256> next{};
  for (size_t b = 0; b < next.size(); ++b) next[b] = b >= 0x20 && b <= 0x5F ? b - 0x20 : 64;
  return next;
}();
consteval unsigned char NextCell(size_t nextClass) {
  return nextClass < 64 ? static_cast<unsigned char>(0x20 + nextClass) : 0;
}

// The cells whose moves depend on the cell after them, in some mode.
constexpr bool ReadsNext(unsigned char c) {
  for (std::string_view cells : {kKanaPrefixCells, kBracketCells, kNumberLetterCells}) {
    if (cells.find(static_cast<char>(c)) != std::string_view::npos) return true;
  }
  return false;
}
// Dots 5 and 6 read differently with cells kept.
constexpr bool ReadsKeepCells(unsigned char c) { return c == '"' || c == ','; }
// Bytes that are no cell read alike everywhere (0xDE and 0xDF have readings).
constexpr bool IsSilent(unsigned char c) { return (c < 0x20 || c > 0x5F) && c != 0xDE && c != 0xDF; }

constexpr size_t BlockCount() {
  size_t count = 1;  // the silent bytes
  for (size_t c = 0; c < 256; ++c) {
    if (IsSilent(c)) continue;
    count += ReadsNext(c) ? kNextClasses * (ReadsKeepCells(c) ? 2 : 1) : 1;
  }
  return count;
}

// Where the blocks of a cell start, and whether it reads the next cell: the
// loop reads block first + (kNextClass[next] & nextMask).
struct CellRow {
  uint32_t first = 0;
  uint32_t nextMask = 0;
};

struct StepTables {
  std::array<Block, BlockCount()> blocks;
  std::array<CellRow, 256> rows[2];  // indexed by KeepCells
};

consteval StepTables MakeStepTables() {
  StepTables t;
  uint32_t at = 0;
  const auto add = [&](unsigned char c, unsigned char next, bool keepCells) consteval {
    t.blocks[at++] = MakeBlock(c, next, keepCells);
  };
  const uint32_t silent = at;
  add(0x80, 0, false);
  for (size_t b = 0; b < 256; ++b) {
    const auto c = static_cast<unsigned char>(b);
    if (IsSilent(c)) {
      t.rows[0][c] = t.rows[1][c] = CellRow{silent, 0};
      continue;
    }
    for (bool keepCells : {false, true}) {
      if (keepCells && !ReadsKeepCells(c)) {
        t.rows[1][c] = t.rows[0][c];
        continue;
      }
      t.rows[keepCells][c] = CellRow{at, ReadsNext(c) ? 0xFFu : 0u};
      if (!ReadsNext(c)) {
        add(c, 0, keepCells);
        continue;
      }
      for (size_t k = 0; k < kNextClasses; ++k) add(c, NextCell(k), keepCells);
    }
  }
  if (at != t.blocks.size()) throw "blocks miscounted";
  return t;
}

constinit const StepTables kSteps = MakeStepTables();

// Every text that a rule's code writes (BracketRules.cpp,
// KanaPrefixRules.cpp, NumberLetterRules.cpp): a text added to a rule is
// added here too, or SourceCells would miss the cell that writes it.
constexpr std::string_view kBracketOpenTexts[] = {"\x81\x6B\xF0\x57"};  // 〔{F057}
constexpr std::string_view kKagiTexts[] = {"\x81\x76\x82\xC1", "\xF0\x4D\xF0\x51", "\x81\x75",
                                           "\x81\x76"};  // 」っ {F04D}{F051} 「 」
constexpr std::string_view kKakkoTexts[] = {"\x81\x69",         "\x81\x6A\x82\xC1", "\xF0\x57\x81\x6C",
                                            "\x81\x69\x82\xC1", "\xF0\x57\x81\x74", "\xF0\x57\xF0\x57",
                                            "\x81\x6A"};  // （ ）っ {F057}〕 （っ {F057}》 {F057}{F057} ）
constexpr std::string_view kNumberApostropheTexts[] = {"\x81\x43", "\x82\xED"};  // ， わ

std::span<const std::string_view> RuleTexts(Rule rule) {
  switch (rule) {
    case Rule::kBracketOpen: return kBracketOpenTexts;
    case Rule::kKagi: return kKagiTexts;
    case Rule::kKakko: return kKakkoTexts;
    case Rule::kNumberApostrophe: return kNumberApostropheTexts;
    case Rule::kNone: break;
  }
  return {};
}

constexpr bool IsLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
constexpr size_t CharacterBytes(unsigned char first) { return IsLead(first) ? 2 : 1; }

// Whether `text` holds `character` where one of its characters begins; -1
// when the text does not split into whole characters.
int HoldsCharacter(std::string_view text, std::string_view character) {
  size_t i = 0;
  bool holds = false;
  while (i < text.size()) {
    const size_t n = CharacterBytes(static_cast<unsigned char>(text[i]));
    if (i + n > text.size()) return -1;
    holds = holds || text.substr(i, n) == character;
    i += n;
  }
  return holds ? 1 : 0;
}

}  // namespace

bool SourceCells(std::string_view character, bool keepCells, uint8_t cells[256]) {
  std::fill(cells, cells + 256, 1);
  if (character.empty() || CharacterBytes(static_cast<unsigned char>(character[0])) != character.size()) return false;
  uint8_t found[256] = {};
  for (size_t b = 0; b < 256; ++b) {
    const CellRow row = kSteps.rows[keepCells][b];
    const size_t blocks = row.nextMask != 0 ? kNextClasses : 1;
    for (size_t k = 0; k < blocks; ++k) {
      for (const Step& step : kSteps.blocks[row.first + k].steps) {
        const int holds = HoldsCharacter(std::string_view(step.text, step.bytes), character);
        if (holds < 0) return false;
        found[b] |= holds;
        for (const std::string_view text : RuleTexts(step.rule)) {
          const int inRule = HoldsCharacter(text, character);
          if (inRule < 0) return false;
          found[b] |= inRule;
        }
      }
    }
  }
  std::copy(found, found + 256, cells);
  return true;
}

void TTavoCnv::ClearState() {
  KagiOpen = false;
  KakkoOpen = false;
  BracketOpen = false;
}

char* LineBuffer::Reserve(size_t n) {
  if (n > capacity_) {
    const size_t capacity = std::max(n, 2 * capacity_);
    data_ = std::make_unique_for_overwrite<char[]>(capacity);
    capacity_ = capacity;
  }
  return data_.get();
}

bool LineBuffer::Holds(const char* p) const {
  const auto at = reinterpret_cast<uintptr_t>(p);
  const auto first = reinterpret_cast<uintptr_t>(data_.get());
  return at >= first && at - first < capacity_;
}

std::string_view TTavoCnv::Convert(std::string_view s, uint16_t option) {
  // A NUL is the end of the input to every rule, so the line ends at the
  // first one; nothing after it is read or counted.
  s = s.substr(0, std::min(s.find('\0'), kMaxLineBytes));
  char* copy = input_.Reserve(s.size() + 1);
  std::memcpy(copy, s.data(), s.size());
  copy[s.size()] = '\0';
  return ConvertLine(std::string_view(copy, s.size()), option);
}

std::string_view TTavoCnv::ConvertCString(const char* source, uint16_t option) {
  const std::string_view s(source);
  if (s.size() > kMaxLineBytes || output_.Holds(source)) return Convert(s, option);
  return ConvertLine(s, option);
}

std::string_view TTavoCnv::ConvertLine(std::string_view line, uint16_t option) {
  const size_t n = line.size();
  const auto* in = reinterpret_cast<const unsigned char*>(line.data());
  // No text is longer than two bytes per cell it stands for, so the result
  // never runs ahead of two bytes per cell of the line; a step copies all of
  // itself, so 2n + sizeof(Step) bytes hold every write and the closing NUL.
  char* const first = output_.Reserve(2 * n + sizeof(Step));
  char* out = first;

  Pos = 1;
  ClearState();
  digitTotal_ = -1;
  // Chosen by a condition rather than an index, so that the loop keeps one
  // base pointer instead of adding the mode's offset for every cell.
  const CellRow* const rows = KeepCells(option) ? kSteps.rows[1].data() : kSteps.rows[0].data();
  const Block* const blocks = kSteps.blocks.data();
  // Four times the mode: the offset of its field in Block::nextModes.
  uint64_t mode4 = 4 * static_cast<unsigned>(Mode::kText);
  for (size_t i = 0; i < n; ++i) {
    const CellRow row = rows[in[i]];
    const Block& block = blocks[row.first + (kNextClass[in[i + 1]] & row.nextMask)];
    // Steps are eight bytes: the mode's lies at twice mode4.
    const auto* step = reinterpret_cast<const Step*>(reinterpret_cast<const char*>(block.steps) + 2 * mode4);
    std::memcpy(out, step, sizeof *step);
    out += step->bytes;
    mode4 = (block.nextModes >> mode4) & 0x3C;
    if (mode4 == 4 * kRunsRule) [[unlikely]] {
      Output d(out);
      Pos = static_cast<int32_t>(i + 2);
      mode4 = 4 * static_cast<unsigned>(RunRule(step->rule, line, d));
      out = d.end();
      i = static_cast<size_t>(Pos - 2);  // the loop goes on at Pos
    }
  }
  *out = '\0';
  return std::string_view(first, static_cast<size_t>(out - first));
}

int32_t TTavoCnv::CnvText(std::string_view s, std::string& dest, uint16_t option) {
  dest.assign(Convert(s, option));
  return static_cast<int32_t>(dest.size());
}

Mode TTavoCnv::RunRule(Rule rule, S s, D& d) {
  switch (rule) {
    case Rule::kBracketOpen: return CnvDakuon(s, d);
    case Rule::kKagi: return CnvKagi(s, d);
    case Rule::kKakko: return CnvKakko(s, d);
    case Rule::kNumberApostrophe: return CnvNumberApostrophe(s, d);
    case Rule::kNone: break;
  }
  return Mode::kText;
}

int32_t TTavoCnv::DigitCellsAfter(S s, int32_t i) {
  if (digitTotal_ < 0) {
    digitTotal_ = 0;
    for (unsigned char c : s) digitTotal_ += IsDigitCell(c);
    digitCursor_ = 0;
    digitsUpToCursor_ = 0;
  }
  const int32_t end = static_cast<int32_t>(s.size());
  while (digitCursor_ < i && digitCursor_ < end) {
    digitsUpToCursor_ += IsDigitCell(static_cast<unsigned char>(s[digitCursor_]));
    ++digitCursor_;
  }
  return digitTotal_ - digitsUpToCursor_;
}

}  // namespace tavolib
