// The Qt model of a file list (ZuShellFileList.h): one row per item, one
// column per live report column. Rows are fetched as the view asks for
// them (the list keeps no texts), and the rows about to be shown get their
// details read in one go. The list's resets and row changes are passed on;
// after a reset the view takes the list's selection, focus and columns
// again (`listReset`). UI thread only; the list must outlive the model.
#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <QPointer>

#include <functional>
#include <vector>

#include "folderbrowse/ZuShellFileList.h"

namespace tavo {

// Pictures by index, for a list's attribute images. Whoever uses one holds
// it weakly: a list that is destroyed is no longer drawn from.
class TImageList : public QObject {
  Q_OBJECT
 public:
  explicit TImageList(QObject* parent = nullptr) : QObject(parent) {}
  std::vector<QPixmap> Images;
  // The picture at `index`; nullptr outside the list.
  const QPixmap* At(int index) const {
    return index >= 0 && index < static_cast<int>(Images.size()) ? &Images[static_cast<std::size_t>(index)] : nullptr;
  }
};

// Images for the attribute column and the large-icon view, in place of the
// letters: an image list (not owned; cleared when it is destroyed) and the
// index of each attribute's image, -1 for none. A value object: the list
// view holds its own and takes another's values with Assign.
struct TAttributesImage {
  QPointer<TImageList> ImageList;
  int Archive = -1;
  int Hidden = -1;
  int ReadOnly = -1;
  int System = -1;
  // Takes the image list and the four indexes of `source`; nullptr changes nothing.
  void Assign(const TAttributesImage* source) {
    if (source != nullptr) *this = *source;
  }
};

class TShellListModel final : public QAbstractTableModel, private TShellFileListObserver {
  Q_OBJECT
 public:
  explicit TShellListModel(TShellFileList& list, QObject* parent = nullptr);
  ~TShellListModel() override;

  // The item's attribute word, for a view's painting of attribute images.
  static constexpr int AttributesRole = Qt::UserRole + 1;
  // The item itself (a TShellFileItem pointer as quintptr), for match().
  static constexpr int ItemRole = Qt::UserRole + 2;

  TShellFileList& List() const { return list_; }
  const TAttributesImage& AttributesImage() const { return attributesImage_; }
  // Takes the values of `value` (nullptr changes nothing) and shows them.
  void SetAttributesImage(const TAttributesImage* value);
  // The list's column number of a model column.
  int ColumnNumber(int column) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // Finds rows through the list (TShellFileList::FindItem): the names that
  // hold a text (Qt::MatchContains) or begin with it (Qt::MatchStartsWith),
  // and the row of an item (ItemRole, Qt::MatchExactly); one hit, from
  // `start` on, round to it with Qt::MatchWrap. Anything else as Qt does it.
  QModelIndexList match(const QModelIndex& start, int role, const QVariant& value, int hits = 1,
                        Qt::MatchFlags flags = Qt::MatchFlags(Qt::MatchStartsWith | Qt::MatchWrap)) const override;

 signals:
  void listReset();

 private:
  void BeginReset() override;
  void EndReset() override;
  void RowsChanged() override;
  TShellFileItem* ItemOf(const QModelIndex& index) const;

  TShellFileList& list_;
  TAttributesImage attributesImage_;
};

}  // namespace tavo
