#include "dictool/CellPainter.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include <string>
#include <vector>

#include "dictool/Cp932Texts.h"
#include "dictool/GaibuMatch.h"
#include "dictool/JCType.h"
#include "dictool/SjisSearch.h"
#include "platform/text/BrailleGlyph.h"
#include "platform/text/QtText.h"

namespace tavo {
namespace {

const QString kBrailleFamily = QStringLiteral("Tavo02");
constexpr unsigned char kCellLead = 0xF0;

// A stretch of text drawn in one font.
struct Segment {
  QString Text;
  bool Braille;  // in the braille font, else in the grid's font
};

// The text split by font. Only the lead byte 0xF0 makes a cell character:
// F1..FC begin user-defined and extended characters (FA..FC hold kanji of
// names) that are drawn as the characters they are.
std::vector<Segment> Segments(std::string_view text, bool brailleFont) {
  std::vector<Segment> out;
  QString plain;
  std::size_t runStart = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b != kCellLead) {
      i += IsSJISLeadByte(b) ? 2 : 1;
      continue;
    }
    plain += FromCp932(text.substr(runStart, i - runStart));
    if (i + 1 == text.size()) {  // a lone lead byte at the end: nothing
      runStart = i = text.size();
      break;
    }
    const auto trail = static_cast<unsigned char>(text[i + 1]);
    i += 2;
    runStart = i;
    const bool named = trail >= 0x40 && trail <= 0xA0;
    if (brailleFont && named) {
      if (!plain.isEmpty()) out.push_back({std::move(plain), false});
      plain.clear();
      out.push_back({FromCp932(CellCharTable(trail)), true});
    } else if (const char32_t pattern = CellCharToBraillePattern(trail); pattern != 0) {
      plain += QString::fromUcs4(&pattern, 1);
    } else if (named) {
      // No NABCC cell: the character that names it, never an empty box.
      plain += FromCp932(CellCharTable(trail));
    } else {
      plain += QChar(0xFFFD);
    }
  }
  if (runStart < text.size()) plain += FromCp932(text.substr(runStart));
  if (!plain.isEmpty()) out.push_back({std::move(plain), false});
  return out;
}

QFont BrailleFont(const QFont& font) {
  QFont f = font;  // size and style stay those of the grid
  f.setFamilies({kBrailleFamily});
  return f;
}

int Width(const QPainter& canvas, const std::vector<Segment>& segments, const QFont& font) {
  const QFontMetrics plain(font, canvas.device());
  const QFontMetrics braille(BrailleFont(font), canvas.device());
  int w = 0;
  for (const Segment& s : segments) w += (s.Braille ? braille : plain).horizontalAdvance(s.Text);
  return w;
}

// Each segment with its top at y, as the grid's cells are laid out.
int Draw(QPainter& canvas, int x, int y, const std::vector<Segment>& segments, const QFont& font) {
  const QFont braille = BrailleFont(font);
  for (const Segment& s : segments) {
    canvas.setFont(s.Braille ? braille : font);
    const QFontMetrics m = canvas.fontMetrics();
    canvas.drawText(QPoint(x, y + m.ascent()), s.Text);
    x += m.horizontalAdvance(s.Text);
  }
  canvas.setFont(font);
  return x;
}

// Heading, end and cancel rows.
bool IsHeading(std::string_view text, ResultRows rows) {
  if (rows == ResultRows::External) return text.starts_with(sj::Dash);
  return text.starts_with(sj::DicHeadingPrefix) || text.starts_with(sj::SearchRowPrefix);
}

bool IsGroupLine(std::string_view text) {
  return text.starts_with('+') || text.starts_with('*') || text.starts_with(sj::FullWidthStar);
}

struct Piece {
  std::string_view Text;
  bool Inverse;
};

// The text cut at every occurrence of word, or of word2 where that comes
// first; occurrences begin on character boundaries. A piece is marked as
// it is cut, so that no other piece can pass for the word.
std::vector<Piece> CutPieces(std::string_view text, std::string_view word, std::string_view word2,
                             bool word2Inverse) {
  std::vector<Piece> pieces;
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t a = FindOnBoundary(rest, word);
    const std::size_t b = FindOnBoundary(rest, word2);
    if (a == std::string_view::npos && b == std::string_view::npos) {
      pieces.push_back({rest, false});
      break;
    }
    const bool first = a != std::string_view::npos && (b == std::string_view::npos || a <= b);
    const std::size_t at = first ? a : b;
    const std::size_t length = first ? word.size() : word2.size();
    if (at > 0) pieces.push_back({rest.substr(0, at), false});
    pieces.push_back({rest.substr(at, length), first || word2Inverse});
    rest.remove_prefix(at + length);
  }
  return pieces;
}

}  // namespace

std::string_view CellCharTable(unsigned char trail) {
  static constexpr std::string_view kBlank = "\x81\x40";  // "　"
  if (trail == 0x40 || trail == 0x7F) return kBlank;
  if (trail > 0x40 && trail < 0x7F) return AnkToZenkaku(static_cast<unsigned char>(trail - 0x20));
  if (trail >= 0x80 && trail <= 0x9F) return AnkToZenkaku(static_cast<unsigned char>(trail - 0x21));
  return {};
}

bool BrailleFontInstalled() { return QFontDatabase::hasFamily(kBrailleFamily); }

int CellPainter::DrawCellText(QPainter& canvas, int x, std::string_view text, int y, const QFont& font) const {
  return Draw(canvas, x, y, Segments(text, brailleFont_), font);
}

int CellPainter::PaintCell(QPainter& canvas, const QRect& rect, ResultRows rows, const CellColors& colors,
                           const QFont& font, const CellRow& row) const {
  canvas.save();
  canvas.setFont(font);
  canvas.fillRect(rect, colors.Back);
  int width = 0;
  try {
    const std::string_view text = row.Text;
    if (IsHeading(text, rows)) {
      canvas.setPen(colors.Header);
      width = DrawCellText(canvas, rect.left(), text, rect.top(), font) - rect.left();
    } else if (rows == ResultRows::Dictionary && IsGroupLine(text)) {
      canvas.setPen(colors.Text);
      width = DrawCellText(canvas, rect.left(), text, rect.top(), font) - rect.left();
    } else {
      const std::string word = HankakuToZenkaku(row.HighlightWord);
      const std::string word2 = rows == ResultRows::External ? RemoveBlankMarks(word) : std::string();
      const int height = QFontMetrics(font, canvas.device()).height();
      int x = rect.left();
      for (const Piece& p : CutPieces(text, word, word2, row.SimilarWord)) {
        const std::vector<Segment> segments = Segments(p.Text, brailleFont_);
        const int w = Width(canvas, segments, font);
        canvas.fillRect(QRect(x, rect.top(), w, height), p.Inverse ? colors.Text : colors.Back);
        canvas.setPen(p.Inverse ? colors.Back : colors.Text);
        x = Draw(canvas, x, rect.top(), segments, font);
      }
      width = x - rect.left();
    }
  } catch (...) {
    // No message box here: a box over the grid paints the grid again, and
    // the failure would come back with every paint.
    canvas.fillRect(rect, colors.Back);
    canvas.setPen(colors.Text);
    try {
      width = DrawCellText(canvas, rect.left(), row.Text, rect.top(), font) - rect.left();
    } catch (...) {
      width = 0;
    }
  }
  // Drawn last, so that no fill covers it: the grids have no other mark of
  // the row the keys act on.
  if (row.Current) canvas.fillRect(QRect(rect.left(), rect.top() + rect.height() - 2, rect.width(), 1), colors.Text);
  canvas.restore();
  return width;
}

}  // namespace tavo
