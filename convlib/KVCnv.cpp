// The main conversion loop: steps looked up per cell, and the rules for the
// cells that the step tables leave to them.
#include "convlib/KVCnv.h"

#include <algorithm>
#include <array>

#include "convlib/CellSteps.h"
#include "convlib/TavoTbl.h"

namespace tavolib {
namespace {

// Cells without a rule: their KanaTable reading. The prefix cells are left
// to their rules; those with a row of their own (below) never read this one.
consteval StepRow MakePlainSteps() {
  StepRow row;
  for (size_t c = 0; c < row.size(); ++c) row[c] = MakeStep(KanaTable[c], 1);
  for (unsigned char c : std::string_view("\"#,-.1345789;@[^_")) row[c] = Step{};
  return row;
}
constexpr StepRow PlainSteps = MakePlainSteps();

// The prefix cells whose step is found in a row of their own, indexed by the
// cell after them: in each KeepCells mode.
struct PairRows {
  unsigned char cell;
  const StepRow* composed;
  const StepRow* kept;
};
constexpr PairRows kPairRows[] = {
    {'@', &YoonSteps, &YoonSteps},
    {'^', &YoonDakuonSteps, &YoonDakuonSteps},
    {'.', &YoonHandakuonSteps, &YoonHandakuonSteps},
    {'4', &SpecialDakuonSteps, &SpecialDakuonSteps},
    {'5', &SpecialSteps, &SpecialSteps},
    {'_', &SpecialYoonDakuonSteps, &SpecialYoonDakuonSteps},
    {'"', &DakuonSteps, &DakuonPrefixedSteps},
    {',', &HandakuonSteps, &HandakuonPrefixedSteps},
    {'[', &ArrowSteps, &ArrowSteps},
    {'3', &LongVowelSteps, &LongVowelSteps},
    {'1', &LeaderSteps, &LeaderSteps},
    {'9', &StarSteps, &StarSteps},
    {';', &AlphabetSteps, &AlphabetSteps},
};

// The step of cell c is rows[c][next & kNextMask[c]], next being the cell
// after it: a plain cell's row is its one entry in PlainSteps and its mask 0,
// a prefix cell's row is its own and its mask 0xFF. So the lookup waits for
// no load but the cell's own entries.
using RowTable = std::array<const Step*, 256>;

consteval RowTable MakeRows(bool keepCells) {
  RowTable rows;
  for (size_t c = 0; c < rows.size(); ++c) rows[c] = &PlainSteps[c];
  for (const PairRows& r : kPairRows) rows[r.cell] = (keepCells ? r.kept : r.composed)->data();
  return rows;
}

// Indexed by KeepCells.
constinit const RowTable kRows[2] = {MakeRows(false), MakeRows(true)};

constexpr std::array<size_t, 256> kNextMask = [] {
  std::array<size_t, 256> mask{};
  for (const PairRows& r : kPairRows) mask[r.cell] = 0xFF;
  return mask;
}();

}  // namespace

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
  // The result never runs ahead of two bytes per cell read, and a step
  // copies kMaxBytes from there, so 2n + kMaxBytes bytes hold every write
  // and the closing NUL.
  char* const first = output_.Reserve(2 * n + Step::kMaxBytes);
  char* out = first;

  Pos = 1;
  ClearState();
  digitTotal_ = -1;
  // Chosen by a condition rather than an index, so that the loop keeps one
  // base pointer instead of adding the mode's offset for every cell.
  const Step* const* const rows = KeepCells(option) ? kRows[1].data() : kRows[0].data();
  // 1 when cell i was read by the step before it. A step is looked up for
  // every cell all the same and written where the output stands; such a
  // cell moves the output by nothing, so no branch depends on the cells.
  unsigned taken = 0;
  for (size_t i = 0; i < n;) {
    const unsigned char c = in[i];
    const Step step = rows[c][in[i + 1] & kNextMask[c]];
    if ((step.cells | taken) == 0) {
      Output d(out);
      Pos = static_cast<int32_t>(i + 2);
      if (!RunPrefixRule(c, line, d, option)) d.append(KanaTable[c]);
      out = d.end();
      i = static_cast<size_t>(Pos - 1);  // the loop goes on at Pos
      continue;
    }
    std::memcpy(out, step.text, Step::kMaxBytes);
    out += step.bytes & (taken - 1);
    taken = (taken ^ 1) & (step.cells >> 1);
    ++i;
  }
  *out = '\0';
  return std::string_view(first, static_cast<size_t>(out - first));
}

int32_t TTavoCnv::CnvText(std::string_view s, std::string& dest, uint16_t option) {
  dest.assign(Convert(s, option));
  return static_cast<int32_t>(dest.size());
}

bool TTavoCnv::RunPrefixRule(unsigned char c, S s, D& d, uint16_t o) {
  switch (c) {
    case '"': return CnvDakuon(s, d, o);
    case '#': return CnvNumber(s, d, o);
    case '-': return CnvKagi(s, d, o);
    case '1': return CnvLeader(s, d, o);
    case '3': return CnvLongVowel(s, d, o);
    case '7': return CnvKakko(s, d, o);
    case '8': return CnvForeignQuote(s, d, o);
    case ';': return CnvAlphabet(s, d, o);
    case '[': return CnvArrow(s, d, o);
    case '_': return CnvSpecialYoonDakuon(s, d, o);
    default: return false;
  }
}

int32_t TTavoCnv::DigitCellsAfter(S s, int32_t i) {
  auto isDigit = [](unsigned char c) { return c >= 'A' && c <= 'J'; };
  if (digitTotal_ < 0) {
    digitTotal_ = 0;
    for (unsigned char c : s) digitTotal_ += isDigit(c);
    digitCursor_ = 0;
    digitsUpToCursor_ = 0;
  }
  const int32_t end = static_cast<int32_t>(s.size());
  while (digitCursor_ < i && digitCursor_ < end) {
    digitsUpToCursor_ += isDigit(static_cast<unsigned char>(s[digitCursor_]));
    ++digitCursor_;
  }
  return digitTotal_ - digitsUpToCursor_;
}

}  // namespace tavolib
