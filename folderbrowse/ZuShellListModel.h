// The Qt model of a file list (ZuShellFileList.h): one row per item, one
// column per live report column. Rows are fetched as the view asks for
// them (the list keeps no texts), and the rows about to be shown get their
// details read in one go. The list's resets and row changes are passed on;
// after a reset the view takes the list's selection, focus and columns
// again (`listReset`). UI thread only; the list must outlive the model.
#pragma once

#include <QAbstractTableModel>

#include <functional>

#include "folderbrowse/ZuShellFileList.h"

namespace tavo {

// Images for the attribute column and the large-icon view, in place of the
// letters: an image list (not owned) and the index of each attribute's
// image, -1 for none.
struct TAttributesImage {
  const std::vector<QPixmap>* ImageList = nullptr;
  int Archive = -1;
  int Hidden = -1;
  int ReadOnly = -1;
  int System = -1;
};

class TShellListModel final : public QAbstractTableModel, private TShellFileListObserver {
  Q_OBJECT
 public:
  explicit TShellListModel(TShellFileList& list, QObject* parent = nullptr);
  ~TShellListModel() override;

  // The item's attribute word, for a view's painting of attribute images.
  static constexpr int AttributesRole = Qt::UserRole + 1;

  TShellFileList& List() const { return list_; }
  TAttributesImage& AttributesImage() { return attributesImage_; }
  // The list's column number of a model column.
  int ColumnNumber(int column) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

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
