// Voiced, semi-voiced, contracted and special syllables: a prefix cell
// followed by the cell of the plain kana. All eight rules always handle their
// prefix cell.
#include "tests/convlib/reference/KVCnv.h"
#include "convlib/TavoTbl.h"

namespace tavo::reference {
namespace {

// Appends table[p] and reports whether the entry had a reading.
bool AppendEntry(const CellTable& table, unsigned char p, std::string& d) {
  const std::string_view e = table[p];
  if (e.empty()) return false;
  d.append(e);
  return true;
}

}  // namespace

bool TTavoCnv::TableRule(const CellTable& table, std::string_view alone, S s, D& d) {
  if (AppendEntry(table, GetCharAt(s, Pos), d)) ++Pos;
  else d.append(alone);
  return true;
}

bool TTavoCnv::CnvYoon(S s, D& d, uint16_t) {
  return TableRule(YoonTable, "\xF0\x60", s, d);  // {F060}
}

bool TTavoCnv::CnvYoonDakuon(S s, D& d, uint16_t) {
  return TableRule(YoonDakuonTable, "\xF0\x7E", s, d);  // {F07E}
}

bool TTavoCnv::CnvYoonHandakuon(S s, D& d, uint16_t) {
  return TableRule(YoonHandakuonTable, "\xF0\x4E", s, d);  // {F04E}
}

bool TTavoCnv::CnvSpecialDakuon(S s, D& d, uint16_t) {
  return TableRule(SpecialDakuonTable, "\x81\x42", s, d);  // 。
}

bool TTavoCnv::CnvSpecial(S s, D& d, uint16_t) {
  const unsigned char p = GetCharAt(s, Pos);
  if (AppendEntry(SpecialTable, p, d)) {
    ++Pos;
  } else if (p == '5') {
    d.append("\xF0\x55\x81\x84");  // {F055}＞
    ++Pos;
  } else {
    d.append("\x81\x48");  // ？
  }
  return true;
}

bool TTavoCnv::CnvSpecialYoonDakuon(S s, D& d, uint16_t) {
  const unsigned char p = GetCharAt(s, Pos);
  if (p == 'X' && GetCharAt(s, Pos + 1) == 'X' && GetCharAt(s, Pos + 2) == 'L') {
    d.append("\xF0\x80\xF0\x78\xF0\x78\xF0\x6C");  // {F080}{F078}{F078}{F06C}
    Pos += 3;
  } else if (AppendEntry(SpecialYoonDakuonTable, p, d)) {
    ++Pos;
  } else {
    d.append("\x81\x5E");  // ／
  }
  return true;
}

bool TTavoCnv::CnvDakuon(S s, D& d, uint16_t o) {
  const unsigned char p = GetCharAt(s, Pos);
  if (AppendEntry(KeepCells(o) ? DakuonPrefixedTable : DakuonTable, p, d)) {
    ++Pos;
    return true;
  }
  switch (p) {
    case '1': d.append("\xF0\x42\xF0\x51"); break;  // {F042}{F051}
    case '7':
      d.append("\x81\x6B\xF0\x57");  // 〔{F057}
      BracketOpen = true;
      break;
    case 'Y': d.append("\xF0\x42\x81\xA0"); break;  // {F042}□
    case 'Z': d.append("\xF0\x42\x81\x9B"); break;  // {F042}○
    case '(': d.append("\xF0\x42\x81\xA2"); break;  // {F042}△
    case '=': d.append("\xF0\x42\x81\x7E"); break;  // {F042}×
    case ')': d.append("\xF0\x42\xF0\x49"); break;  // {F042}{F049}
    case '-':
      d.append("\xF0\x42\xF0\x4D");  // {F042}{F04D}
      if (GetCharAt(s, Pos + 1) == '-') {
        d.append("\xF0\x4D");  // {F04D}
        ++Pos;
      }
      break;
    default:
      d.append("\x81\x45");  // ・ (the following cell is left to the main loop)
      return true;
  }
  ++Pos;
  return true;
}

bool TTavoCnv::CnvHandakuon(S s, D& d, uint16_t o) {
  const unsigned char p = GetCharAt(s, Pos);
  if (AppendEntry(KeepCells(o) ? HandakuonPrefixedTable : HandakuonTable, p, d)) {
    ++Pos;
    return true;
  }
  switch (p) {
    case '5': d.append("\xF0\x4C\xF0\x55"); break;  // {F04C}{F055}
    case '7': d.append("\xF0\x4C\xF0\x57"); break;  // {F04C}{F057}
    case '8': d.append("\xF0\x4C\xF0\x58"); break;  // {F04C}{F058}
    case '\'': d.append("\xF0\x4C\xF0\x47"); break;  // {F04C}{F047}
    case '-': d.append("\xF0\x4C\xF0\x4D"); break;  // {F04C}{F04D}
    default:
      d.append("\xF0\x4C");  // {F04C}, nothing consumed
      return true;
  }
  ++Pos;
  return true;
}

}  // namespace tavo::reference
