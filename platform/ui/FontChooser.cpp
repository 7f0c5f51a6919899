#include "platform/ui/FontChooser.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/ui/AccessibleNames.h"
#include "platform/ui/FocusedItemView.h"

namespace tavo::ui {
namespace {

using List = FocusedItemView<QListWidget>;

// A label over its control; the control is named by the label's words
// (without the mnemonic) for a screen reader.
QLabel* LabelFor(const QString& caption, const QString& name, QWidget* control, QWidget* parent) {
  auto* label = new QLabel(caption, parent);
  label->setBuddy(control);
  SetAccessibleName(control, name);
  return label;
}

int RowOf(QListWidget* list, const QString& text) {
  const QList<QListWidgetItem*> exact = list->findItems(text, Qt::MatchFixedString);
  return exact.isEmpty() ? -1 : list->row(exact.front());
}

}  // namespace

FontChooser::FontChooser(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FontChooser"));
  setWindowTitle(QStringLiteral("フォントの選択"));
  FamilyList = new List(this);
  FamilyList->setObjectName(QStringLiteral("FamilyList"));
  StyleList = new List(this);
  StyleList->setObjectName(QStringLiteral("StyleList"));
  SizeBox = new QSpinBox(this);
  SizeBox->setObjectName(QStringLiteral("SizeBox"));
  SizeBox->setRange(1, 512);
  for (const QString& family : QFontDatabase::families())
    if (!QFontDatabase::isPrivateFamily(family)) FamilyList->addItem(family);
  FamilyList->setMinimumWidth(220);
  StyleList->setMinimumWidth(120);

  auto* grid = new QGridLayout(this);
  grid->addWidget(LabelFor(QStringLiteral("フォント(&F)"), QStringLiteral("フォント"), FamilyList, this), 0, 0);
  grid->addWidget(LabelFor(QStringLiteral("スタイル(&Y)"), QStringLiteral("スタイル"), StyleList, this), 0, 1);
  grid->addWidget(LabelFor(QStringLiteral("サイズ(&S)"), QStringLiteral("サイズ"), SizeBox, this), 0, 2);
  grid->addWidget(FamilyList, 1, 0, 2, 1);
  grid->addWidget(StyleList, 1, 1, 2, 1);
  grid->addWidget(SizeBox, 1, 2, Qt::AlignTop);

  auto* effects = new QGroupBox(QStringLiteral("文字飾り"), this);
  auto* effectsLayout = new QVBoxLayout(effects);
  StrikeOut = new QCheckBox(QStringLiteral("取り消し線(&K)"), effects);
  StrikeOut->setObjectName(QStringLiteral("StrikeOut"));
  Underline = new QCheckBox(QStringLiteral("下線(&U)"), effects);
  Underline->setObjectName(QStringLiteral("Underline"));
  effectsLayout->addWidget(StrikeOut);
  effectsLayout->addWidget(Underline);
  grid->addWidget(effects, 3, 0);

  auto* sampleBox = new QGroupBox(QStringLiteral("サンプル"), this);
  auto* sampleLayout = new QVBoxLayout(sampleBox);
  Sample = new QLabel(QStringLiteral("AaBbYyZz あいう アイウ 亜"), sampleBox);
  Sample->setObjectName(QStringLiteral("Sample"));
  Sample->setAlignment(Qt::AlignCenter);
  Sample->setMinimumSize(240, 60);
  sampleLayout->addWidget(Sample);
  grid->addWidget(sampleBox, 3, 1, 1, 2);

  // Plain buttons: a button box would be told focused, unnamed, with them.
  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OKBtn"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
  cancel->setObjectName(QStringLiteral("CancelBtn"));
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  grid->addLayout(buttons, 4, 0, 1, 3);
  grid->setRowStretch(2, 1);

  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(FamilyList, &QListWidget::currentTextChanged, this, [this] {
    FillStyles(StyleList->currentItem() != nullptr ? StyleList->currentItem()->text() : QString());
  });
  connect(StyleList, &QListWidget::currentTextChanged, this, [this] { ShowSample(); });
  connect(SizeBox, &QSpinBox::valueChanged, this, [this] { ShowSample(); });
  connect(StrikeOut, &QCheckBox::toggled, this, [this] { ShowSample(); });
  connect(Underline, &QCheckBox::toggled, this, [this] { ShowSample(); });
  FamilyList->setFocus();  // where the dialog opens
}

void FontChooser::SetFont(const QFont& font) {
  const QFontInfo shown(font);
  int row = RowOf(FamilyList, shown.family());
  if (row < 0) row = RowOf(FamilyList, font.family());
  FamilyList->setCurrentRow(row >= 0 ? row : 0);
  const QString family = FamilyList->currentItem() != nullptr ? FamilyList->currentItem()->text() : QString();
  QString style = QFontDatabase::styleString(font);
  if (RowOf(StyleList, style) < 0)
    // The style by its weight and slant where its name is not the family's.
    for (const QString& s : QFontDatabase::styles(family))
      if (QFontDatabase::bold(family, s) == font.bold() && QFontDatabase::italic(family, s) == font.italic()) {
        style = s;
        break;
      }
  FillStyles(style);
  SizeBox->setValue(shown.pointSize() > 0 ? shown.pointSize() : 12);
  StrikeOut->setChecked(font.strikeOut());
  Underline->setChecked(font.underline());
  ShowSample();
}

QFont FontChooser::SelectedFont() const {
  const QString family = FamilyList->currentItem() != nullptr ? FamilyList->currentItem()->text() : QString();
  const QString style = StyleList->currentItem() != nullptr ? StyleList->currentItem()->text() : QString();
  QFont f = QFontDatabase::font(family, style, SizeBox->value());
  f.setPointSize(SizeBox->value());
  f.setStrikeOut(StrikeOut->isChecked());
  f.setUnderline(Underline->isChecked());
  return f;
}

void FontChooser::FillStyles(const QString& wanted) {
  const QString family = FamilyList->currentItem() != nullptr ? FamilyList->currentItem()->text() : QString();
  StyleList->clear();
  StyleList->addItems(QFontDatabase::styles(family));
  const int row = RowOf(StyleList, wanted);
  if (StyleList->count() > 0) StyleList->setCurrentRow(row >= 0 ? row : 0);
  ShowSample();
}

void FontChooser::ShowSample() { Sample->setFont(SelectedFont()); }

}  // namespace tavo::ui
