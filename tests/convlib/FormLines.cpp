#include "tests/convlib/FormLines.h"

#include <string_view>

namespace tavo::test {
namespace {

constexpr std::string_view kForms[] = {
    // Kana prefixes: a pair, its other readings, and the prefix alone.
    "@*", "@[", "@!", "@A", "^:", "^W", "^A", ".U", ".>", ".A", "4N", "4U", "4A",
    "5*", "5B", "55", "5A", "_N", "_+", "_XXL", "_XXA", "_A",
    "\"*", "\"\\", "\"C", "\"1", "\"7", "\"Y", "\"Z", "\"(", "\"=", "\")", "\"-", "\"--", "\"A",
    ",U", ",!", ",2", ",5", ",7", ",8", ",'", ",-", ",A",
    // Brackets, arrows, dashes, leaders and the star.
    "-AB-", "-A4-", "-1", "-2", "--1", "--2", "--A", "7AB7", "7A47", "71", "72", "77",
    "[33O", "[33", "[A", "333", "3333", "33O", "3A", "11", "111", "1A", "99", "9A",
    // Numbers.
    "#AB", "#AJJJ", "#A#B", "##A", "#A5#B", "#A5B", "#A33#B", "#A3B", "#A'BCD", "#A'B",
    "#'#A", "#'##A", "#A9#B", "#A*#B", "#A//#B", "#A/#B", "#K",
    // Foreign letters and quotations.
    ";,AB", ";,,AB", ";P4", ";PQ", ";AB,C", ";%", ";&", ";*", ";'", ";2", ";7", ";--", ";-A", ";4",
    "8AB,C0", "8,,AB0", "8A#-.0", "8A",
};

// Plain kana cells, put between forms now and then.
constexpr std::string_view kPlain = "ABCDEFGHIJKLMNOPQRSTUVWXYZ!$%&()*+/:<=>?\\]";

}  // namespace

std::string FormLines::Line(size_t length) {
  std::string line;
  while (line.size() < length) {
    line += kForms[rng_.Below(std::size(kForms))];
    switch (rng_.Below(4)) {
      case 0: line += ' '; break;
      case 1: line += kPlain[rng_.Below(static_cast<uint32_t>(kPlain.size()))]; break;
      default: break;  // the next form follows at once
    }
  }
  line.resize(length);
  return line;
}

}  // namespace tavo::test
