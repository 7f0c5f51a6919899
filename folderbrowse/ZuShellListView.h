// TZuShellListView: the file list control, Qt views over the model of a
// TShellFileList (ZuShellFileList.h), which does the work. The report view
// is a table of rows with five columns (a screen reader reads each row with
// its columns); the other view styles (large icons, small icons, list) show
// the same rows as icons. Both views share one model and one selection, so
// switching keeps them; only the rows shown are ever asked for.
//
// Keyboard: arrows and Page keys move, Space and Shift/Ctrl select, typing
// jumps to the next name that holds what was typed, Enter opens the
// current item (a folder opens in the linked tree), F2 renames (in the
// name's editor Enter and Tab commit it, Esc drops it). Mouse: a
// press on an item holds the list's watcher reports until release; a click
// on a column header sorts by it (the header's arrow and the column's
// accessible name tell how the list is sorted); the selection can be dragged out, and a
// drag dropped on a folder row or on the list copies or moves into that
// folder (ZuShellListDrag.cpp does the work). UI thread only.
#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QFont>
#include <QItemSelection>
#include <QRect>
#include <QStyleOptionViewItem>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

#include "folderbrowse/ZuShellFileList.h"
#include "folderbrowse/ZuShellListModel.h"

class QAbstractItemView;
class QPainter;
class QLabel;
class QListView;
class QStackedLayout;
class QTreeView;

namespace tavo {

// The view styles, in the order of their values.
enum TViewStyle : int { vsIcon = 0, vsSmallIcon = 1, vsList = 2, vsReport = 3 };

// The state of an item being drawn, for the custom drawing.
enum TCustomDrawStateBit : unsigned { cdsSelected = 1, cdsFocused = 2, cdsHot = 4 };
using TCustomDrawState = unsigned;

// What custom drawing draws on, while a drawing step runs: a painter (what
// it draws lands over the default drawing), the item's or cell's rectangle
// in the view's coordinates, and the font and colours the default drawing
// then uses (changing them changes it).
struct TShellListCanvas {
  QPainter* Painter = nullptr;
  QRect Rect;
  QFont Font;
  QColor TextColor;
  QColor BrushColor;
};

class TZuShellListView : public QWidget {
  Q_OBJECT
 public:
  explicit TZuShellListView(QWidget* parent = nullptr, TShellFileListTiming timing = {});
  ~TZuShellListView() override;

  TShellFileList& List() { return *list_; }
  TShellListModel& Model() { return *model_; }
  // The view that shows the rows now (it takes the focus).
  QAbstractItemView* CurrentView() const;
  QTreeView* ReportView() const { return report_; }
  QListView* IconView() const { return icons_; }

  TViewStyle ViewStyle() const { return viewStyle_; }
  void SetViewStyle(TViewStyle style);

  // The five report widths (the live ones while five columns show, else the
  // saved ones), for the settings.
  int ReportColumnWidth(int number) const { return list_->ReportColumnWidth(number); }
  void SetReportColumnWidth(int number, int width);

  // Type-ahead (also what the views' own keyboard search calls).
  void KeyboardSearch(const QString& text);

  // The current row is a folder (Enter opens it in the list).
  bool CurrentIsFolder() const;

  // The attribute images; setting takes the values of `value` (nullptr
  // changes nothing) and shows them.
  const TAttributesImage& AttributesImage() const { return model_->AttributesImage(); }
  void SetAttributesImage(const TAttributesImage* value) { model_->SetAttributesImage(value); }

  // Custom drawing (fired by DrawItemAttributes and DrawSubItemAttributes;
  // the flags come in as the steps say). An item: DefaultDraw true, and
  // SubItemDraw true when the item has a read-only, hidden, system or
  // archive attribute; true asks for each sub-item of the report view too.
  std::function<void(int item, TCustomDrawState state, bool& defaultDraw, bool& subItemDraw)> OnCustomDrawItem;
  // A sub-item (column number 1-4) of the report view; DefaultDraw true.
  std::function<void(int item, int subItem, TCustomDrawState state, bool& defaultDraw)> OnCustomDrawSubItem;
  // The canvas of the item being drawn; valid only while a step runs.
  TShellListCanvas& Canvas() { return *canvas_; }

  // For the views and their delegate: a row of the report view, and a cell
  // of any view, drawn through the steps; `paintDefault` draws the default.
  void PaintRow(QPainter* p, const QStyleOptionViewItem& option, int row, const std::function<void()>& paintDefault);
  void PaintCell(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index,
                 const std::function<void(const QStyleOptionViewItem&)>& paintDefault);

  // The words over an empty list whose folder cannot be read (hidden
  // otherwise); a screen reader hears them when they appear.
  QLabel* FolderNote() const { return folderNote_; }

 signals:
  // The current row changed, or the rows did.
  void currentItemChanged();

 protected:
  // The drawing steps (ZuShellListDraw.cpp): each draws what the list draws
  // of attributes, then fires its event; the answer is DefaultDraw.
  // Large icons with an image list: the item's attribute images left of
  // its icon (archive, system, hidden, read-only, upwards).
  virtual bool DrawItemAttributes(int item, TCustomDrawState state, bool& subItemDraw);
  // The attribute column with an image list: the images from the left
  // (read-only, hidden, system, archive) on the row's background; the
  // default drawing then is skipped.
  virtual bool DrawSubItemAttributes(int item, int subItem, TCustomDrawState state);

  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  // A change of the desktop's theme, style or locale refills the folder
  // shown, so that icons, texts and dates follow it.
  void changeEvent(QEvent* e) override;

 private:
  void TakeListState();
  // The header's arrow on the column the list is sorted by, and its way.
  void ShowSortIndicator();
  void ApplyColumns();
  void SelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
  void Activated(const QModelIndex& index);
  void ShowFolderNote();
  void PlaceFolderNote();
  // Widens the size column to the text of the largest size shown (a size
  // of gigabytes is never cut to "5,24...").
  void FitSizeColumn();
  void HeaderClicked(int section);
  // The row under a viewport point; -1 over empty space.
  int RowAt(QPoint pos) const;
  // Drag and drop events of the views' viewports, passed on to the list;
  // true when one was taken.
  bool DragEvent(QEvent* event);

  std::unique_ptr<TShellFileList> list_;
  TShellListModel* model_ = nullptr;
  QStackedLayout* stack_ = nullptr;
  QTreeView* report_ = nullptr;
  QListView* icons_ = nullptr;
  QLabel* folderNote_ = nullptr;
  TViewStyle viewStyle_ = vsIcon;
  bool syncing_ = false;  // the views take the list's state: nothing goes back
  QString typed_;
  QElapsedTimer typedAt_;
  bool refillPosted_ = false;
  // Where the last press or double click was (viewport), for OnShExecute;
  // cleared by a key, after which an activation is the keyboard's.
  std::optional<QPoint> activatedAt_;
  TShellListCanvas* canvas_ = nullptr;
  // The item stage of the report row being drawn, for its cells.
  struct RowDraw {
    int row = -1;
    bool subItemDraw = false;
    std::optional<TShellListCanvas> changed;  // the canvas, when the step changed it
  } rowDraw_;

};

}  // namespace tavo
