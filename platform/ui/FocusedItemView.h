// An item view that tells assistive technology its current item has the
// focus only while the view itself has it.
//
// Qt 6.4's item views send a focus event for their current item whenever it
// changes, also while another control has the focus or before their window
// is shown; a screen reader then hears the focus jump to a list, a tree or a
// grid that the user never moved to, out of the order the focus moves in,
// and for items that a refill deletes at once. `View` is QTableView,
// QTreeView, QListView or a class below them. UI thread only.
#pragma once

#include <QAbstractItemView>
#include <QModelIndex>

namespace tavo::ui {

template <class View>
class FocusedItemView : public View {
 public:
  using View::View;

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
    if (this->hasFocus()) {
      View::currentChanged(current, previous);
      return;
    }
    // What the view's own handler does besides the focus event: the item
    // view's work, and a repaint of the rows it marks.
    QAbstractItemView::currentChanged(current, previous);
    this->viewport()->update();
  }
};

}  // namespace tavo::ui
