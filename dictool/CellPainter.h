// One cell of a result grid, painted on any QPainter: the row's colours by
// its kind, every occurrence of the search word in inverse colours, the
// current-row line, and braille cell characters (F0 xx) in the braille font
// "Tavo02" or, where that font is missing, as Unicode braille patterns in
// the grid's font.
//
// Needs a QGuiApplication (fonts) but no window, so that tests paint into a
// QImage. UI thread only. Texts are CP932 and only read during a call.
#pragma once

#include <QColor>
#include <QFont>

#include <string_view>

class QPainter;
class QRect;

namespace tavo {

// The rows of the dictionary search or of the external search. They differ
// in which rows are headings, in the group rows (dictionary only) and in the
// second form of the word that the external rows highlight.
enum class ResultRows { Dictionary, External };

struct CellColors {
  QColor Text;
  QColor Back;
  QColor Header;  // heading, end and cancel rows
};

struct CellRow {
  std::string_view Text;
  // The word as the search took it: made full-width here; "" marks nothing.
  std::string_view HighlightWord;
  // External rows: the word without its "□" marks is inverse too, not only
  // the word itself.
  bool SimilarWord = false;
  bool Current = false;  // the grid's current row: a line under it
};

// The text that the braille font "Tavo02" draws as the cell character
// F0 `trail` (CP932): the full-width form of the NABCC character, "　" for
// the blank cell; "" outside 0x40..0xA0.
std::string_view CellCharTable(unsigned char trail);

// Whether the braille font "Tavo02" is installed.
bool BrailleFontInstalled();

class CellPainter {
 public:
  // `brailleFont`: draw cell characters in "Tavo02" (else as patterns).
  explicit CellPainter(bool brailleFont) : brailleFont_(brailleFont) {}

  // Paints the cell `rect` in `font` and answers the width of its whole
  // text, the width its column needs. Never throws: a failure while the
  // text is drawn leaves the cell in plain colours.
  int PaintCell(QPainter& canvas, const QRect& rect, ResultRows rows, const CellColors& colors, const QFont& font,
                const CellRow& row) const;

  // Draws `text` in the canvas's pen with its top left at (x, y), plain
  // text in `font`, and answers the x after it. A lead byte 0xF0 at the end
  // of the text draws nothing.
  int DrawCellText(QPainter& canvas, int x, std::string_view text, int y, const QFont& font) const;

 private:
  bool brailleFont_;
};

}  // namespace tavo
