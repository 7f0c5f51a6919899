#include "folderbrowse/ZuShellComboBox.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QApplication>
#include <QAbstractListModel>
#include <QDragEnterEvent>
#include <QPainter>
#include <QStylePainter>

#include <cmath>

#include "folderbrowse/ZuShellDragQt.h"
#include "folderbrowse/ZuShellItemModel.h"
#include "platform/text/QtText.h"

namespace tavo {

// The rows as a Qt model; rows come and go as the combo tells.
class TShellComboModel final : public QAbstractListModel, private TShellPathComboObserver {
 public:
  static constexpr int IndentRole = Qt::UserRole + 1;

  TShellComboModel(TShellPathCombo& combo, TZuShellComboBox* box) : QAbstractListModel(box), combo_(combo), box_(box) {
    combo_.SetObserver(this);
  }
  ~TShellComboModel() override { combo_.SetObserver(nullptr); }

  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : combo_.Items().Count(); }

  QVariant data(const QModelIndex& index, int role) const override {
    TShellComboItem* item = combo_.Items().ItemAt(index.row());
    if (item == nullptr || !item->IsValid() || !combo_.ItemsReady()) return {};
    switch (role) {
      case Qt::DisplayRole:
        return FromCp932(combo_.RowText(index.row()));
      case Qt::AccessibleTextRole:
        return FromCp932(combo_.FieldText(index.row()));
      case Qt::DecorationRole:
        return ShellItemIcon(*item);
      case IndentRole:
        return TShellComboList::ItemIndent(*item);
      default:
        return {};
    }
  }

 private:
  void BeginInsert(int row) override { beginInsertRows({}, row, row); }
  void EndInsert() override { endInsertRows(); }
  void BeginRemove(int row) override { beginRemoveRows({}, row, row); }
  void EndRemove() override { endRemoveRows(); }
  void RowChanged(int row) override { emit dataChanged(index(row), index(row)); }
  void SelectionMoved(int row) override {
    if (box_->currentIndex() != row) box_->setCurrentIndex(row);
    box_->update();
  }
  void BeginUpdate() override { box_->setUpdatesEnabled(false); }
  void EndUpdate() override {
    box_->setUpdatesEnabled(true);
    if (box_->currentIndex() != combo_.ItemIndex()) box_->setCurrentIndex(combo_.ItemIndex());
  }

  TShellPathCombo& combo_;
  TZuShellComboBox* box_;
};

namespace {

constexpr int kIconSize = 16;  // the small system image list's

// A row of the combo in `r`, its icon at `x`: the icon, then the text in a
// box of its own, which alone takes the selected colours (the icon then is
// the open one, tinted a quarter with the highlight) and the focus frame.
// A shared folder's icon bears its overlay.
void DrawRow(QPainter& p, const QRect& r, int x, TShellComboItem& item, const QString& text, bool selected,
             bool focused, const QWidget* widget, const QPalette& palette, const QFont& font) {
  p.save();
  p.setFont(font);
  const QFontMetrics fm(font);
  const int textX = x + kIconSize + 4;
  const QRect box(textX - 1, r.top(), fm.horizontalAdvance(text) + 2, r.height());
  p.fillRect(box, selected ? palette.highlight() : palette.base());
  p.setPen(selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::Text));
  p.drawText(textX, r.top() + (r.height() - fm.height()) / 2 + fm.ascent(), text);

  const int overlay = item.HasAttribute(9) ? item.OverlayIndex() : -1;
  const QIcon icon = ShellItemIcon(item.GetIconIndex(), item.GetOpenIconIndex(), overlay);
  QPixmap pm = icon.pixmap(kIconSize, kIconSize, selected ? QIcon::Selected : QIcon::Normal);
  if (selected && !pm.isNull()) {
    QPainter tint(&pm);
    tint.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    tint.setOpacity(0.25);
    tint.fillRect(pm.rect(), palette.highlight());
  }
  p.drawPixmap(x, r.top() + (r.height() - kIconSize) / 2, pm);

  if (focused) {
    QStyleOptionFocusRect frame;
    frame.rect = box;
    frame.palette = palette;
    frame.backgroundColor = selected ? palette.color(QPalette::Highlight) : palette.color(QPalette::Base);
    const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &p, widget);
  }
  p.restore();
}

// The drop-down's rows: indented 12 pixels a level, |font height x 1.2|
// high and at least 18; nothing until the rows are built.
class TShellComboDelegate final : public QAbstractItemDelegate {
 public:
  TShellComboDelegate(TShellPathCombo& combo, QObject* parent) : QAbstractItemDelegate(parent), combo_(combo) {}
  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    TShellComboItem* item = combo_.Items().ItemAt(index.row());
    if (!combo_.ItemsReady() || item == nullptr || !item->IsValid()) return;
    DrawRow(*p, option.rect, option.rect.left() + TShellComboList::ItemIndent(*item), *item,
            FromCp932(combo_.RowText(index.row())), (option.state & QStyle::State_Selected) != 0,
            (option.state & QStyle::State_HasFocus) != 0, option.widget, option.palette, option.font);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    TShellComboItem* item = combo_.Items().ItemAt(index.row());
    const int indent = item != nullptr ? TShellComboList::ItemIndent(*item) : 0;
    const QString text = combo_.ItemsReady() ? FromCp932(combo_.RowText(index.row())) : QString();
    return {indent + kIconSize + 4 + option.fontMetrics.horizontalAdvance(text) + 2, RowHeight(option.fontMetrics)};
  }
  static int RowHeight(const QFontMetrics& fm) {
    return std::max(18, static_cast<int>(std::lround(std::abs(fm.height() * 1.2))));
  }

 private:
  TShellPathCombo& combo_;
};

}  // namespace

TZuShellComboBox::TZuShellComboBox(QWidget* parent)
    : QComboBox(parent), combo_(std::make_unique<TShellPathCombo>()) {
  setAccessibleName(QStringLiteral("フォルダの場所"));
  setEditable(false);
  setMaxVisibleItems(8);
  model_ = new TShellComboModel(*combo_, this);
  setModel(model_);
  setItemDelegate(new TShellComboDelegate(*combo_, this));
  view()->setTextElideMode(Qt::ElideNone);
  setAcceptDrops(true);
  InstallShellQtServices();
  connect(this, &QComboBox::activated, this, [this](int row) { combo_->Change(row); });
  combo_->CreateWindow();
}

TZuShellComboBox::~TZuShellComboBox() {
  combo_->DestroyWindow();
  delete model_;  // the box takes a model of its own when this one goes
  model_ = nullptr;
  combo_.reset();
}

void TZuShellComboBox::paintEvent(QPaintEvent*) {
  // The closed field shows the selected folder's path, drawn as a row is
  // (selected while the control has the focus).
  QStylePainter p(this);
  QStyleOptionComboBox o;
  initStyleOption(&o);
  o.currentText.clear();
  o.currentIcon = QIcon();
  p.drawComplexControl(QStyle::CC_ComboBox, o);
  TShellComboItem* item = combo_->Items().ItemAt(currentIndex());
  if (!combo_->ItemsReady() || item == nullptr || !item->IsValid()) return;
  const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, this);
  const bool focused = hasFocus() && !view()->isVisible();
  p.setClipRect(field);
  DrawRow(p, field, field.left(), *item, FromCp932(combo_->FieldText(currentIndex())), focused, focused, this,
          palette(), font());
}

void TZuShellComboBox::dragEnterEvent(QDragEnterEvent* e) {
  const ShellDataObject data = ShellDataOf(e->mimeData());
  std::uint32_t effect = EffectsOf(e->possibleActions());
  const QPoint screen = mapToGlobal(e->position().toPoint());
  combo_->DragEnter(&data, KeyStateOf(e->buttons(), e->modifiers()), {screen.x(), screen.y()}, effect);
  if (combo_->DropSite().CurrentDragObject() != nullptr) e->acceptProposedAction();
  else e->ignore();
}

void TZuShellComboBox::dragMoveEvent(QDragMoveEvent* e) {
  const QPoint screen = mapToGlobal(e->position().toPoint());
  std::uint32_t effect = EffectsOf(e->possibleActions());
  combo_->DragOver(KeyStateOf(e->buttons(), e->modifiers()), {screen.x(), screen.y()}, effect);
  if (effect == DROPEFFECT_NONE) {
    e->ignore();
    return;
  }
  e->setDropAction(DropActionOf(effect));
  e->accept();
}

void TZuShellComboBox::dragLeaveEvent(QDragLeaveEvent*) { combo_->DragLeave(); }

void TZuShellComboBox::dropEvent(QDropEvent* e) {
  const ShellDataObject data = ShellDataOf(e->mimeData());
  const QPoint screen = mapToGlobal(e->position().toPoint());
  std::uint32_t effect = EffectsOf(e->possibleActions());
  combo_->Drop(&data, KeyStateOf(e->buttons(), e->modifiers()), {screen.x(), screen.y()}, effect);
  e->setDropAction(DropActionOf(effect));
  e->accept();
}

}  // namespace tavo
