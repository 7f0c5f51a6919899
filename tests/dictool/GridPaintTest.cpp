// The result grids' cells painted into images: the colours of each scheme by
// the kind of row with the line of the current row, the search word inverse
// wherever it stands, braille cells with and without the braille font, and
// the row height of a font.
#include <QAction>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <map>

#include "dictool/CellPainter.h"
#include "platform/text/QtText.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/StringGrid.h"
#include "tests/dictool/UiFixture.h"
#include "tests/support/TestText.h"

namespace tavo::test {
namespace {

constexpr int kWidth = 480;

// Row `row` of the grid painted by the form into a cell that begins `left`
// pixels into an image of one row's height.
QImage PaintRow(ui::TStringGrid* grid, int row, int left = 0) {
  QImage image(kWidth, grid->DefaultRowHeight(), QImage::Format_RGB32);
  image.fill(Qt::magenta);
  QPainter p(&image);
  const QRect rect(left, 0, kWidth - left, image.height());
  grid->OnDrawCell(p, 0, rect, row);
  return image;
}

int Count(const QImage& image, const QColor& c, QRect area = {}) {
  if (area.isNull()) area = image.rect();
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += image.pixelColor(x, y) == c ? 1 : 0;
  return n;
}

// The colour most pixels of the area have: the fill behind the text.
QColor Fill(const QImage& image, const QRect& area) {
  std::map<QRgb, int> counts;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) ++counts[image.pixel(x, y)];
  auto best = counts.begin();
  for (auto i = counts.begin(); i != counts.end(); ++i)
    if (i->second > best->second) best = i;
  return QColor(best->first);
}

// The fill behind each piece of a row drawn from `left`: the pieces are
// CP932 texts laid side by side in the grid's font.
std::vector<QColor> PieceFills(const QImage& image, const QFont& font, int left,
                               const std::vector<std::string>& pieces) {
  const QFontMetrics m(font, &image);
  std::vector<QColor> fills;
  int x = left;
  for (const std::string& piece : pieces) {
    const int w = m.horizontalAdvance(FromCp932(piece));
    fills.push_back(Fill(image, QRect(x + 1, 0, w - 2, m.height())));
    x += w;
  }
  return fills;
}

TEST_F(MainWindowTest, EachSchemeColoursHeadingHitGroupAndPlainRowsAndLinesTheCurrentRow) {
  ui::TStringGrid* grid = inside->Grid;
  const std::vector<std::string> rows = {sj("－使用辞書：/d/a.dic－"), sj("－検索終了－"), sj("ねこ"), sj("いぬ"),
                                         sj("＊ねこ")};
  grid->SetRowCount(static_cast<int>(rows.size()) + 1);
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) grid->SetCell(0, i, rows[static_cast<size_t>(i)]);
  grid->SetRow(static_cast<int>(rows.size()));  // no line under the rows looked at
  inside->HighlightWord = sj("ねこ");
  const QFont font = grid->font();
  // The current row has a line one pixel high, two pixels above its bottom.
  auto lined = [&](int row) {
    grid->SetRow(row);
    const QImage image = PaintRow(grid, row);
    grid->SetRow(static_cast<int>(rows.size()));
    const int h = image.height();
    return Count(image, form->Colors().Text, QRect(0, h - 2, kWidth, 1)) == kWidth &&
           Count(image, form->Colors().Text, QRect(0, h - 1, kWidth, 1)) < kWidth &&
           Count(image, form->Colors().Text, QRect(0, h - 3, kWidth, 1)) < kWidth;
  };
  const struct {
    QAction* item;
    QColor text, back, header;
  } schemes[] = {{inside->mnuColor1, QColor(0, 255, 0), Qt::black, QColor(0, 255, 255)},
                 {inside->mnuColor2, Qt::white, Qt::black, QColor(0, 255, 255)},
                 {inside->mnuColor3, Qt::black, Qt::white, Qt::blue}};
  for (const auto& s : schemes) {
    SCOPED_TRACE(s.item->text().toStdString());
    s.item->trigger();
    for (QAction* item : {inside->mnuColor1, inside->mnuColor2, inside->mnuColor3})
      EXPECT_EQ(item->isChecked(), item == s.item);
    EXPECT_EQ(inside->Grid2->Color(), s.back);
    for (int heading : {0, 1}) {
      const QImage image = PaintRow(grid, heading);
      EXPECT_GT(Count(image, s.header), 0);
      EXPECT_EQ(Count(image, s.text), 0);
      EXPECT_EQ(Fill(image, image.rect()), s.back);
    }
    const QImage hit = PaintRow(grid, 2);
    EXPECT_EQ(PieceFills(hit, font, 0, {sj("ねこ")}), std::vector<QColor>{s.text});
    const int wordWidth = QFontMetrics(font, &hit).horizontalAdvance(QStringLiteral("ねこ"));
    EXPECT_GT(Count(hit, s.back, QRect(0, 0, wordWidth, 10)), 0) << "the word in the background colour";
    for (int plain : {3, 4}) {  // a group row shows no hit
      const QImage image = PaintRow(grid, plain);
      EXPECT_EQ(Fill(image, image.rect()), s.back);
      EXPECT_GT(Count(image, s.text), 0);
      EXPECT_EQ(Count(image, s.header), 0);
    }
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) EXPECT_TRUE(lined(row)) << row;
  }
  // A scheme that no item names, as a settings file edited by hand may hold.
  form->SetColorScheme(7);
  EXPECT_TRUE(inside->mnuColor1->isChecked());
  EXPECT_EQ(form->GetColorScheme(), 1);
  EXPECT_EQ(form->Colors().Text, QColor(0, 255, 0));
  EXPECT_EQ(form->Colors().Back, QColor(Qt::black));
}

TEST_F(MainWindowTest, EveryOccurrenceOfTheWordIsInverseWhereACharacterBegins) {
  ui::TStringGrid* grid = inside->Grid;
  // ヂ (83 61) equals ア (83 41) but for ASCII case; ＜A (81 83 41) holds the
  // bytes of ア across a character boundary.
  const std::vector<std::string> pieces = {sj("ヂ"), sj("ア"), sj("＜A"), sj("ア"), sj("う")};
  std::string text;
  for (const std::string& p : pieces) text += p;
  grid->SetRowCount(2);
  grid->SetCell(0, 0, text);
  grid->SetRow(1);
  grid->SetColWidth(0, 10);
  inside->HighlightWord = sj("ア");
  const int left = 7;
  const QImage image = PaintRow(grid, 0, left);
  const QColor t = form->Colors().Text, b = form->Colors().Back;
  EXPECT_EQ(PieceFills(image, grid->font(), left, pieces), (std::vector<QColor>{b, t, b, t, b}));
  EXPECT_EQ(grid->ColWidth(0), QFontMetrics(grid->font(), &image).horizontalAdvance(FromCp932(text)))
      << "the column grows to the text";

  inside->HighlightWord.clear();
  const QImage plain = PaintRow(grid, 0, left);
  EXPECT_EQ(PieceFills(plain, grid->font(), left, pieces), (std::vector<QColor>(5, b)));
}

TEST_F(MainWindowTest, ExternalRowsShowTheWordWithoutBlankMarksInverseOnlyInSimilarSearch) {
  ui::TStringGrid* grid = inside->Grid2;
  const std::vector<std::string> pieces = {sj("あい□う"), sj("か"), sj("あいう"), sj("＊")};
  std::string text;
  for (const std::string& p : pieces) text += p;
  grid->SetRowCount(3);
  grid->SetCell(0, 0, text);
  grid->SetCell(0, 1, sj("－/home/u/a.rut－"));
  grid->SetRow(2);
  inside->HighlightWord2 = sj("あい う");  // a half-width space is "□" in the highlight
  const QColor t = form->Colors().Text, b = form->Colors().Back;
  ASSERT_FALSE(folder->N3->isChecked());
  EXPECT_EQ(PieceFills(PaintRow(grid, 0), grid->font(), 0, pieces), (std::vector<QColor>{t, b, b, b}));
  folder->N3->setChecked(true);
  EXPECT_EQ(PieceFills(PaintRow(grid, 0), grid->font(), 0, pieces), (std::vector<QColor>{t, b, t, b}));
  const QImage heading = PaintRow(grid, 1);
  EXPECT_GT(Count(heading, form->Colors().Header), 0);
  EXPECT_EQ(Count(heading, t), 0);
}

TEST_F(MainWindowTest, AFontOfHeight21GivesRowsOf23Pixels) {
  ui::PushModalScript([](ui::ModalCall& call) {
    QFont f = call.fontDialog->Font;
    f.setPixelSize(21);
    call.fontDialog->Font = f;
    return ui::mrOk;
  });
  inside->Grid->SetDefaultRowHeight(5);
  inside->mnuSetFont->trigger();
  EXPECT_EQ(inside->Grid->DefaultRowHeight(), 23);
  EXPECT_EQ(inside->Grid2->DefaultRowHeight(), 23);
  EXPECT_EQ(inside->Grid2->font(), inside->Grid->font());
}

// ---- Braille cells ----

class BrailleCellTest : public ::testing::Test {
 protected:
  QFont font = [] {
    QFont f;
    f.setFamilies({QStringLiteral("IPAGothic")});
    f.setPixelSize(21);
    return f;
  }();

  QImage Blank() const {
    QImage image(160, 24, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
  }
  QImage Cells(const CellPainter& painter, std::string_view text) const {
    QImage image = Blank();
    QPainter p(&image);
    p.setPen(Qt::black);
    painter.DrawCellText(p, 2, text, 1, font);
    return image;
  }
  // What drawing `text` in `f` at the same place gives.
  QImage Reference(const QString& text, const QFont& f) const {
    QImage image = Blank();
    QPainter p(&image);
    p.setPen(Qt::black);
    p.setFont(f);
    p.drawText(QPoint(2, 1 + p.fontMetrics().ascent()), text);
    return image;
  }
};

TEST_F(BrailleCellTest, WithoutTheBrailleFontCellsAreBraillePatternsInTheGridFont) {
  const CellPainter painter(false);
  // ! is dots 2346, " dot 5.
  const QImage cells = Cells(painter, "\xF0\x41\xF0\x42");
  EXPECT_EQ(cells, Reference(QString::fromUtf16(u"\u282E\u2810"), font));
  EXPECT_NE(cells, Blank());
  EXPECT_NE(cells, Reference(QString::fromUtf16(u"\uE000\uE000"), font)) << "no empty boxes";
  // A lead byte 0xF0 that ends the text draws nothing, and what comes
  // before it once.
  EXPECT_EQ(Cells(painter, sj("ねこ") + "\xF0"), Reference(QStringLiteral("ねこ"), font));
}

TEST_F(BrailleCellTest, WithTheBrailleFontCellsAreTheFullWidthCharactersItDrawsAsCells) {
  QFont braille = font;
  braille.setFamilies({QStringLiteral("Tavo02")});
  const QImage cells = Cells(CellPainter(true), sj("ね") + "\xF0\x40\xF0\x41");
  QImage expected = Reference(QStringLiteral("ね"), font);
  {
    QPainter p(&expected);
    p.setPen(Qt::black);
    p.setFont(braille);
    p.drawText(QPoint(2 + QFontMetrics(font, &expected).horizontalAdvance(QStringLiteral("ね")),
                      1 + p.fontMetrics().ascent()),
               QStringLiteral("　！"));
  }
  EXPECT_EQ(cells, expected);
  EXPECT_NE(cells, Cells(CellPainter(false), sj("ね") + "\xF0\x40\xF0\x41"));
}

}  // namespace
}  // namespace tavo::test
