#include "folderbrowse/ZuShellListModel.h"

#include <QApplication>
#include <QPalette>


#include <cerrno>

#include "folderbrowse/ZuShellItemModel.h"
#include "platform/shell/ShellQuestions.h"
#include "platform/text/QtText.h"

namespace tavo {
namespace {

// Rows whose details are read together when one of them is first shown:
// about two screens.
constexpr int kHintRows = 64;

}  // namespace

TShellListModel::TShellListModel(TShellFileList& list, QObject* parent) : QAbstractTableModel(parent), list_(list) {
  list_.SetObserver(this);
}

TShellListModel::~TShellListModel() { list_.SetObserver(nullptr); }

int TShellListModel::ColumnNumber(int column) const {
  const auto& columns = list_.Columns();
  return column >= 0 && column < static_cast<int>(columns.size()) ? columns[static_cast<std::size_t>(column)].Number
                                                                   : -1;
}

TShellFileItem* TShellListModel::ItemOf(const QModelIndex& index) const {
  return index.isValid() ? list_.ItemAt(index.row()) : nullptr;
}

int TShellListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : list_.Count(); }

int TShellListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.Columns().size());
}

QVariant TShellListModel::data(const QModelIndex& index, int role) const {
  TShellFileItem* item = ItemOf(index);
  if (item == nullptr) return {};
  const int number = ColumnNumber(index.column());
  switch (role) {
    case Qt::AccessibleTextRole:
      // A screen reader hears that a folder cannot be read with its name.
      if (number == lcName && item->IsUnreadable())
        return QStringLiteral("%1（%2）").arg(FromCp932Path(item->DisplayName()), OverlayWords(kOverlayUnreadable - 1));
      [[fallthrough]];
    case Qt::DisplayRole:
    case Qt::EditRole: {
      if (number == lcName) return FromCp932Path(item->DisplayName());
      // The first pending row to show reads the details of its neighbours too.
      if (item->DetailsPending()) list_.CacheHint(index.row(), index.row() + kHintRows);
      switch (number) {
        case lcSize: return FromCp932(item->SizeText());
        case lcType: return FromCp932Path(item->TypeText());
        case lcModified: return FromCp932Path(item->DateText());
        case lcAttributes:
          if (attributesImage_.ImageList != nullptr && role == Qt::DisplayRole) return {};
          return FromCp932(item->AttributeText());
        default: return {};
      }
    }
    case Qt::DecorationRole:
      if (number != lcName) return {};
      return ShellItemIcon(item->GetIconIndex(), item->GetIconIndex(), (item->OverlayMask() >> 8) - 1);
    case Qt::ToolTipRole: {
      if (number != lcName) return {};
      const QString words = OverlayWords((item->OverlayMask() >> 8) - 1);
      return words.isEmpty() ? QVariant() : QVariant(words);
    }
    case Qt::TextAlignmentRole: {
      const auto& columns = list_.Columns();
      const bool right = columns[static_cast<std::size_t>(index.column())].RightAligned;
      return QVariant::fromValue(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft));
    }
    case AttributesRole:
      return item->FindData().attributes;
    case ItemRole:
      return QVariant::fromValue(reinterpret_cast<quintptr>(item));
    case Qt::BackgroundRole:
      // The row a drag would drop into.
      if (index.row() == list_.DropHighlightIndex()) return QApplication::palette().highlight().color().lighter(150);
      return {};
    default:
      return {};
  }
}

QVariant TShellListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  const TShellColumn& c = list_.Columns()[static_cast<std::size_t>(section)];
  if (role == Qt::DisplayRole) return FromCp932(c.Caption);
  // The header's arrow, for the ear: the column the list is sorted by says so.
  if (role == Qt::AccessibleTextRole) {
    if (c.Number != list_.SortColumn()) return FromCp932(c.Caption);
    return FromCp932(c.Caption) + (list_.SortDirection(c.Number) > 0 ? QStringLiteral("（昇順）") : QStringLiteral("（降順）"));
  }
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(Qt::AlignVCenter | (c.RightAligned ? Qt::AlignRight : Qt::AlignLeft));
  return {};
}

bool TShellListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (ItemOf(index) == nullptr || role != Qt::EditRole || ColumnNumber(index.column()) != lcName) return false;
  const std::optional<std::string> name = ToCp932(value.toString());
  if (!name) {
    // A name with no CP932 form is refused, never altered; the shell tells
    // the other refusals (an empty name among them).
    if (const auto& tell = GetShellQuestions().ReportRenameRefused) tell({}, EILSEQ);
    return false;
  }
  return list_.RenameItem(index.row(), *name);
}

Qt::ItemFlags TShellListModel::flags(const QModelIndex& index) const {
  if (ItemOf(index) == nullptr) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  // Views ask this of many rows: whether the item can really be renamed is
  // asked only when an edit begins (TZuShellListView).
  if (ColumnNumber(index.column()) == lcName) f |= Qt::ItemIsEditable;
  return f;
}

QModelIndexList TShellListModel::match(const QModelIndex& start, int role, const QVariant& value, int hits,
                                       Qt::MatchFlags flags) const {
  const Qt::MatchFlags how = flags & Qt::MatchTypeMask;
  TShellFileList::TShellFindInfo find;
  find.Wrap = (flags & Qt::MatchWrap) != 0;
  if (role == ItemRole && how == Qt::MatchExactly) {
    find.Kind = TShellFileList::fkData;
    find.Data = reinterpret_cast<const TShellFileItem*>(value.value<quintptr>());
  } else if (role == Qt::DisplayRole && hits == 1 && (how == Qt::MatchContains || how == Qt::MatchStartsWith)) {
    const std::optional<std::string> text = ToCp932(value.toString());
    if (!text) return {};
    find.Kind = how == Qt::MatchContains ? TShellFileList::fkPartial : TShellFileList::fkExact;
    find.Text = *text;
  } else {
    return QAbstractTableModel::match(start, role, value, hits, flags);
  }
  const int row = list_.FindItem(find, start.row());
  if (row < 0) return {};
  return {index(row, start.column() >= 0 ? start.column() : 0)};
}

void TShellListModel::SetAttributesImage(const TAttributesImage* value) {
  if (value == nullptr) return;
  attributesImage_.Assign(value);
  // The column shows letters or images as the list is there or not.
  if (attributesImage_.ImageList != nullptr)
    connect(attributesImage_.ImageList, &QObject::destroyed, this, &TShellListModel::RowsChanged, Qt::UniqueConnection);
  RowsChanged();
}

void TShellListModel::BeginReset() { beginResetModel(); }

void TShellListModel::EndReset() {
  endResetModel();
  emit listReset();
}

void TShellListModel::RowsChanged() {
  if (rowCount() == 0) return;
  emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

}  // namespace tavo
