#include "dictool/JCType.h"

#include <algorithm>

namespace tavo {

const std::array<std::string_view, 95> AnkZenkakuTable = {
  "\x81\xA0",  // 20 □
  "\x81\x49",  // 21 ！
  "\x81\x68",  // 22 ”
  "\x81\x94",  // 23 ＃
  "\x81\x90",  // 24 ＄
  "\x81\x93",  // 25 ％
  "\x81\x95",  // 26 ＆
  "\x81\x66",  // 27 ’
  "\x81\x69",  // 28 （
  "\x81\x6A",  // 29 ）
  "\x81\x96",  // 2A ＊
  "\x81\x7B",  // 2B ＋
  "\x81\x43",  // 2C ，
  "\x81\x7C",  // 2D －
  "\x81\x44",  // 2E ．
  "\x81\x5E",  // 2F ／
  "\x82\x4F",  // 30 ０
  "\x82\x50",  // 31 １
  "\x82\x51",  // 32 ２
  "\x82\x52",  // 33 ３
  "\x82\x53",  // 34 ４
  "\x82\x54",  // 35 ５
  "\x82\x55",  // 36 ６
  "\x82\x56",  // 37 ７
  "\x82\x57",  // 38 ８
  "\x82\x58",  // 39 ９
  "\x81\x46",  // 3A ：
  "\x81\x47",  // 3B ；
  "\x81\x83",  // 3C ＜
  "\x81\x81",  // 3D ＝
  "\x81\x84",  // 3E ＞
  "\x81\x48",  // 3F ？
  "\x81\x97",  // 40 ＠
  "\x82\x60",  // 41 Ａ
  "\x82\x61",  // 42 Ｂ
  "\x82\x62",  // 43 Ｃ
  "\x82\x63",  // 44 Ｄ
  "\x82\x64",  // 45 Ｅ
  "\x82\x65",  // 46 Ｆ
  "\x82\x66",  // 47 Ｇ
  "\x82\x67",  // 48 Ｈ
  "\x82\x68",  // 49 Ｉ
  "\x82\x69",  // 4A Ｊ
  "\x82\x6A",  // 4B Ｋ
  "\x82\x6B",  // 4C Ｌ
  "\x82\x6C",  // 4D Ｍ
  "\x82\x6D",  // 4E Ｎ
  "\x82\x6E",  // 4F Ｏ
  "\x82\x6F",  // 50 Ｐ
  "\x82\x70",  // 51 Ｑ
  "\x82\x71",  // 52 Ｒ
  "\x82\x72",  // 53 Ｓ
  "\x82\x73",  // 54 Ｔ
  "\x82\x74",  // 55 Ｕ
  "\x82\x75",  // 56 Ｖ
  "\x82\x76",  // 57 Ｗ
  "\x82\x77",  // 58 Ｘ
  "\x82\x78",  // 59 Ｙ
  "\x82\x79",  // 5A Ｚ
  "\x81\x6D",  // 5B ［
  "\x81\x8F",  // 5C ￥
  "\x81\x6E",  // 5D ］
  "\x81\x4F",  // 5E ＾
  "\x81\x51",  // 5F ＿
  "\x81\x4D",  // 60 ｀
  "\x82\x81",  // 61 ａ
  "\x82\x82",  // 62 ｂ
  "\x82\x83",  // 63 ｃ
  "\x82\x84",  // 64 ｄ
  "\x82\x85",  // 65 ｅ
  "\x82\x86",  // 66 ｆ
  "\x82\x87",  // 67 ｇ
  "\x82\x88",  // 68 ｈ
  "\x82\x89",  // 69 ｉ
  "\x82\x8A",  // 6A ｊ
  "\x82\x8B",  // 6B ｋ
  "\x82\x8C",  // 6C ｌ
  "\x82\x8D",  // 6D ｍ
  "\x82\x8E",  // 6E ｎ
  "\x82\x8F",  // 6F ｏ
  "\x82\x90",  // 70 ｐ
  "\x82\x91",  // 71 ｑ
  "\x82\x92",  // 72 ｒ
  "\x82\x93",  // 73 ｓ
  "\x82\x94",  // 74 ｔ
  "\x82\x95",  // 75 ｕ
  "\x82\x96",  // 76 ｖ
  "\x82\x97",  // 77 ｗ
  "\x82\x98",  // 78 ｘ
  "\x82\x99",  // 79 ｙ
  "\x82\x9A",  // 7A ｚ
  "\x81\x6F",  // 7B ｛
  "\x81\x62",  // 7C ｜
  "\x81\x70",  // 7D ｝
  "\x81\x50",  // 7E ￣
};

const std::array<std::string_view, 64> KanaHiraganaTable = {
  "",  // A0 (none)
  "\x81\x42",  // A1 。
  "\x81\x75",  // A2 「
  "\x81\x76",  // A3 」
  "\x81\x41",  // A4 、
  "\x81\x45",  // A5 ・
  "\x82\xF0",  // A6 を
  "\x82\x9F",  // A7 ぁ
  "\x82\xA1",  // A8 ぃ
  "\x82\xA3",  // A9 ぅ
  "\x82\xA5",  // AA ぇ
  "\x82\xA7",  // AB ぉ
  "\x82\xE1",  // AC ゃ
  "\x82\xE3",  // AD ゅ
  "\x82\xE5",  // AE ょ
  "\x82\xC1",  // AF っ
  "\x81\x5B",  // B0 ー
  "\x82\xA0",  // B1 あ
  "\x82\xA2",  // B2 い
  "\x82\xA4",  // B3 う
  "\x82\xA6",  // B4 え
  "\x82\xA8",  // B5 お
  "\x82\xA9",  // B6 か
  "\x82\xAB",  // B7 き
  "\x82\xAD",  // B8 く
  "\x82\xAF",  // B9 け
  "\x82\xB1",  // BA こ
  "\x82\xB3",  // BB さ
  "\x82\xB5",  // BC し
  "\x82\xB7",  // BD す
  "\x82\xB9",  // BE せ
  "\x82\xBB",  // BF そ
  "\x82\xBD",  // C0 た
  "\x82\xBF",  // C1 ち
  "\x82\xC2",  // C2 つ
  "\x82\xC4",  // C3 て
  "\x82\xC6",  // C4 と
  "\x82\xC8",  // C5 な
  "\x82\xC9",  // C6 に
  "\x82\xCA",  // C7 ぬ
  "\x82\xCB",  // C8 ね
  "\x82\xCC",  // C9 の
  "\x82\xCD",  // CA は
  "\x82\xD0",  // CB ひ
  "\x82\xD3",  // CC ふ
  "\x82\xD6",  // CD へ
  "\x82\xD9",  // CE ほ
  "\x82\xDC",  // CF ま
  "\x82\xDD",  // D0 み
  "\x82\xDE",  // D1 む
  "\x82\xDF",  // D2 め
  "\x82\xE0",  // D3 も
  "\x82\xE2",  // D4 や
  "\x82\xE4",  // D5 ゆ
  "\x82\xE6",  // D6 よ
  "\x82\xE7",  // D7 ら
  "\x82\xE8",  // D8 り
  "\x82\xE9",  // D9 る
  "\x82\xEA",  // DA れ
  "\x82\xEB",  // DB ろ
  "\x82\xED",  // DC わ
  "\x82\xF1",  // DD ん
  "\x81\x4A",  // DE ゛
  "\x81\x4B",  // DF ゜
};

const std::array<KanaPair, 20> HankakuDakuonTable = {{
  {0xB6, "\x82\xAA"},  // が
  {0xB7, "\x82\xAC"},  // ぎ
  {0xB8, "\x82\xAE"},  // ぐ
  {0xB9, "\x82\xB0"},  // げ
  {0xBA, "\x82\xB2"},  // ご
  {0xBB, "\x82\xB4"},  // ざ
  {0xBC, "\x82\xB6"},  // じ
  {0xBD, "\x82\xB8"},  // ず
  {0xBE, "\x82\xBA"},  // ぜ
  {0xBF, "\x82\xBC"},  // ぞ
  {0xC0, "\x82\xBE"},  // だ
  {0xC1, "\x82\xC0"},  // ぢ
  {0xC2, "\x82\xC3"},  // づ
  {0xC3, "\x82\xC5"},  // で
  {0xC4, "\x82\xC7"},  // ど
  {0xCA, "\x82\xCE"},  // ば
  {0xCB, "\x82\xD1"},  // び
  {0xCC, "\x82\xD4"},  // ぶ
  {0xCD, "\x82\xD7"},  // べ
  {0xCE, "\x82\xDA"},  // ぼ
}};

const std::array<KanaPair, 5> HankakuHandakuonTable = {{
  {0xCA, "\x82\xCF"},  // ぱ
  {0xCB, "\x82\xD2"},  // ぴ
  {0xCC, "\x82\xD5"},  // ぷ
  {0xCD, "\x82\xD8"},  // ぺ
  {0xCE, "\x82\xDB"},  // ぽ
}};

namespace {

constexpr unsigned char kDakuten = 0xDE;
constexpr unsigned char kHandakuten = 0xDF;
constexpr std::string_view kDakutenText = "\x81\x4A";    // ゛
constexpr std::string_view kHandakutenText = "\x81\x4B";  // ゜
constexpr std::string_view kSquare = "\x81\xA0";          // □

template <std::size_t N>
std::string VoicedOrMarked(const std::array<KanaPair, N>& table, unsigned char b,
                           std::string_view mark) {
  auto it = std::find_if(table.begin(), table.end(), [b](const KanaPair& p) { return p.Kana == b; });
  if (it != table.end()) return std::string(it->Hiragana);
  std::string out(KanaToHiragana(b));
  out += mark;
  return out;
}

}  // namespace

bool IsHankakuKana(unsigned char b) { return b >= 0xA1 && b <= 0xDF; }

std::string_view AnkToZenkaku(unsigned char b) {
  if (b < 0x20 || b > 0x7E) return {};
  return AnkZenkakuTable[b - 0x20];
}

std::string_view KanaToHiragana(unsigned char b) {
  if (b < 0xA0 || b > 0xDF) return {};
  return KanaHiraganaTable[b - 0xA0];
}

std::string DakuonToHiragana(unsigned char b) {
  return VoicedOrMarked(HankakuDakuonTable, b, kDakutenText);
}

std::string HandakuonToHiragana(unsigned char b) {
  return VoicedOrMarked(HankakuHandakuonTable, b, kHandakutenText);
}

std::string HankakuToZenkaku(std::string_view s) {
  std::string out;
  out.reserve(s.size() * 2);
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (IsSJISLeadByte(b)) {
      const std::size_t len = std::min<std::size_t>(2, s.size() - i);
      out.append(s.substr(i, len));
      i += len;
      continue;
    }
    const bool hasNext = i + 1 < s.size();
    const auto next = hasNext ? static_cast<unsigned char>(s[i + 1]) : 0;
    if (hasNext && next == kDakuten) {
      out += DakuonToHiragana(b);
      i += 2;
    } else if (hasNext && next == kHandakuten) {
      out += HandakuonToHiragana(b);
      i += 2;
    } else if (IsHankakuKana(b)) {
      out += KanaToHiragana(b);
      i += 1;
    } else {
      out += AnkToZenkaku(b);
      i += 1;
    }
  }
  return out;
}

std::string SpaceToSquare(std::string_view s) {
  std::string out;
  out.reserve(s.size() * 2);
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b == 0x20) {
      out += kSquare;
      i += 1;
    } else if (IsSJISLeadByte(b) && i + 1 < s.size() && s[i + 1] != 0x20) {
      // Only a pair that starts a character is a full-width space; testing the
      // bytes anywhere would also hit a trail byte 0x81 followed by '@'.
      if (b == 0x81 && s[i + 1] == 0x40)
        out += kSquare;
      else
        out.append(s.substr(i, 2));
      i += 2;
    } else {
      out += static_cast<char>(b);
      i += 1;
    }
  }
  return out;
}

}  // namespace tavo
