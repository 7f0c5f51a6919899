#include "folderbrowse/ZuShellComboBox.h"

#include <QAbstractItemView>
#include <QAbstractListModel>
#include <QDragEnterEvent>
#include <QStyledItemDelegate>
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

// Rows indented by level, |font height x 1.2| high and at least 18.
class IndentDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem o = option;
    o.rect.setLeft(o.rect.left() + index.data(TShellComboModel::IndentRole).toInt());
    QStyledItemDelegate::paint(p, o, index);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    const int h = std::max(18, static_cast<int>(std::lround(std::abs(option.fontMetrics.height() * 1.2))));
    return {s.width() + index.data(TShellComboModel::IndentRole).toInt(), h};
  }
};

}  // namespace

TZuShellComboBox::TZuShellComboBox(QWidget* parent)
    : QComboBox(parent), combo_(std::make_unique<TShellPathCombo>()) {
  setAccessibleName(QStringLiteral("フォルダの場所"));
  setEditable(false);
  setMaxVisibleItems(8);
  model_ = new TShellComboModel(*combo_, this);
  setModel(model_);
  setItemDelegate(new IndentDelegate(this));
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
  // The closed field shows the selected folder's path.
  QStylePainter p(this);
  QStyleOptionComboBox o;
  initStyleOption(&o);
  o.currentText = combo_->ItemsReady() ? FromCp932(combo_->FieldText(currentIndex())) : QString();
  p.drawComplexControl(QStyle::CC_ComboBox, o);
  p.drawControl(QStyle::CE_ComboBoxLabel, o);
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
