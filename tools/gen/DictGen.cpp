#include "tools/gen/DictGen.h"

#include "platform/text/Cp932Lead.h"
#include "tools/gen/GenRandom.h"
#include "tools/gen/GenWords.h"

namespace tavo::gen {
namespace {

constexpr std::string_view kSquare = "\x81\xA0";  // □
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kCodeLetters = "ABDKMNTX";
// Where a hit word goes when a random line would hide it (its first
// occurrence mid-character, say): after a code part of single bytes.
constexpr std::string_view kFallbackCode = "Z9999/";
constexpr size_t kBlockBytes = size_t{4} << 20;

bool IsSingleChar(unsigned char b) { return (b >= 0x20 && b <= 0x7E) || (b >= 0xA1 && b <= 0xDF); }

// The dictionary search's verdict on an ordinary line, by its strictest
// reading: only the word's first occurrence in the data counts, and it must
// begin where a character begins.
bool IsOrdinaryHit(std::string_view line, std::string_view word) {
  const std::string_view data = line.substr(0, line.find('%'));
  if (data.empty() || data[0] == '#' || data[0] == '*' || data[0] == '+') return false;
  const size_t at = data.find(word);
  if (at == std::string_view::npos) return false;
  size_t k = 0;
  while (k < at) k += IsLeadByte(static_cast<unsigned char>(data[k])) ? 2 : 1;
  if (k != at) return false;
  for (size_t p = at; p != std::string_view::npos; p = data.find(word, p + 1)) {
    if (p + word.size() < data.size() && data[p + word.size()] == ':') return false;
  }
  return true;
}

class DictWriter {
 public:
  DictWriter(const DictOptions& options, const BlockSink& sink)
      : options_(options), sink_(sink), rng_(options.Seed) {
    buf_.reserve(kBlockBytes + 4096);
  }

  bool Run() {
    uint64_t written = 0;
    for (uint64_t lineNo = 1; written + buf_.size() < options_.TargetBytes; ++lineNo) {
      const size_t start = buf_.size();
      if (options_.HitEvery != 0 && lineNo % options_.HitEvery == 0) {
        HitLine(start);
      } else if (membersLeft_ > 0) {
        --membersLeft_;
        buf_ += rng_.Below(2) == 0 ? "+" : "+,";
        Compound(1 + rng_.Below(2));
      } else {
        DefaultLine();
      }
      buf_ += kLineEnd;
      if (buf_.size() >= kBlockBytes) {
        if (!sink_(buf_)) return false;
        written += buf_.size();
        buf_.clear();
      }
    }
    return buf_.empty() || sink_(buf_);
  }

 private:
  void Piece() { buf_ += rng_.Pick(Pieces); }

  void Compound(uint32_t parts) {
    Piece();
    for (uint32_t i = 1; i < parts; ++i) {
      buf_ += kSquare;
      Piece();
    }
  }

  // Mostly two or three parts, as segmentation entries are.
  void Compound() {
    const uint32_t r = rng_.Below(100);
    Compound(r < 10 ? 1 : r < 60 ? 2 : 3);
  }

  void Code() {
    buf_ += kCodeLetters[rng_.Below(static_cast<uint32_t>(kCodeLetters.size()))];
    const uint32_t n = rng_.Below(10000);
    const char digits[] = {static_cast<char>('0' + n / 1000), static_cast<char>('0' + n / 100 % 10),
                           static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10), '/'};
    buf_.append(digits, sizeof digits);
  }

  void DefaultLine() {
    const uint32_t r = rng_.Below(100);
    if (r < 56) {
      Compound();
    } else if (r < 64) {
      Compound();
      buf_ += '%';
      buf_ += rng_.Pick(Notes);
    } else if (r < 71) {
      Code();
      if (rng_.Below(4) == 0) {
        buf_ += rng_.Pick(HalfWidthWords);
      } else {
        Compound();
      }
    } else if (r < 75) {
      buf_ += "# ";
      buf_ += rng_.Pick(Categories);
      buf_ += kSquare;
      Piece();
    } else if (r < 77) {
      // a blank line
    } else if (r < 80) {
      buf_ += rng_.Pick(ColonLines);
    } else if (r < 82) {
      buf_ += '%';
      buf_ += rng_.Pick(Notes);
    } else if (r < 86) {
      buf_ += '*';
      buf_ += rng_.Pick(Categories);
      membersLeft_ = 2 + rng_.Below(5);
    } else {
      Compound();
    }
  }

  // `start`: where the line begins in buf_.
  void HitLine(size_t start) {
    const std::string_view word = options_.HitWord;
    // A word that begins like a comment, group or member line must not
    // begin the line.
    const bool mayLead = word[0] != '#' && word[0] != '*' && word[0] != '+';
    uint32_t form = rng_.Below(5);
    if (!mayLead && form < 2) form += 2;
    switch (form) {
      case 0:
        buf_ += word;
        break;
      case 1:
        buf_ += word;
        buf_ += kSquare;
        Piece();
        break;
      case 2:
        Piece();
        buf_ += kSquare;
        buf_ += word;
        break;
      case 3:
        Piece();
        buf_ += kSquare;
        buf_ += word;
        buf_ += '%';
        buf_ += rng_.Pick(Notes);
        break;
      default:
        Code();
        buf_ += word;
        buf_ += kSquare;
        Piece();
        break;
    }
    if (!IsOrdinaryHit(std::string_view(buf_).substr(start), word)) {
      buf_.resize(start);
      buf_ += kFallbackCode;
      buf_ += word;
    }
  }

  const DictOptions& options_;
  const BlockSink& sink_;
  Random rng_;
  std::string buf_;
  uint32_t membersLeft_ = 0;  // member lines still due to the last group line
};

}  // namespace

std::string CheckHitWord(std::string_view word) {
  if (word.empty()) return "the hit word is empty";
  for (size_t i = 0; i < word.size(); ++i) {
    const auto b = static_cast<unsigned char>(word[i]);
    if (IsLeadByte(b)) {
      if (i + 1 == word.size() || !IsTrailByte(static_cast<unsigned char>(word[i + 1]))) {
        return "the hit word is no CP932 text (a lead byte lacks its trail byte)";
      }
      ++i;
    } else if (!IsSingleChar(b)) {
      return "the hit word is no CP932 text (control or unassigned byte)";
    } else if (b == ' ') {
      return "the hit word holds a blank; write it as the square 81A0, as a search would";
    } else if (b == '%') {
      return "the hit word holds '%', which starts a comment";
    }
  }
  std::string fallback(kFallbackCode);
  fallback += word;
  if (!IsOrdinaryHit(fallback, word)) return "no line could hold the hit word so that a search finds it";
  return "";
}

bool GenerateDictionary(const DictOptions& options, const BlockSink& sink) {
  return DictWriter(options, sink).Run();
}

}  // namespace tavo::gen
