// A search-folder dialog over the scratch folder of ShellTest. The test
// makes its folders, then opens the dialog; every thread of the dialog must
// have ended once it is gone.
#pragma once

#include <QComboBox>

#include <memory>
#include <string>

#include "folderbrowse/DlgFolderSelect.h"
#include "folderbrowse/ZuShellListView.h"
#include "folderbrowse/ZuShellTreeView.h"
#include "tests/folderbrowse/ShellTestFolder.h"
#include "tests/folderbrowse/WatchTestSupport.h"

namespace tavo::test {

class FolderDialogFixture : public ShellTest {
 protected:
  // Makes the dialog and shows it, at `start` unless that is empty.
  void Open(const std::string& start = {}) {
    dlg_ = std::make_unique<TFolderDialog>();
    dlg_->show();
    if (!start.empty()) dlg_->SetsStartFolder(start);
  }
  void TearDown() override {
    dlg_.reset();
    EXPECT_TRUE(AllThreadsEnded());
    ShellTest::TearDown();
  }
  TZuShellTreeView& Tree() const { return *dlg_->ZuShellTreeView1; }
  TZuShellListView& List() const { return *dlg_->ZuShellListView1; }
  std::string Box() const { return dlg_->ComboBox1->currentText().toStdString(); }

  std::unique_ptr<TFolderDialog> dlg_;
};

}  // namespace tavo::test
