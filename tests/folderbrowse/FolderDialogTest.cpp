// The search-folder dialog as a whole: what its list shows, where "up one
// level" leads, how OK, Cancel and an empty path box treat the folder and
// its history, and that the view buttons and the font reach both views.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "folderbrowse/DlgFolderSelect.h"
#include "folderbrowse/FolderDialogRules.h"
#include "folderbrowse/ZuShellListView.h"
#include "folderbrowse/ZuShellTreeView.h"
#include "platform/shell/ShellFindData.h"
#include "platform/text/OsPath.h"
#include "platform/ui/FileDialogs.h"
#include "tests/folderbrowse/FolderDialogFixture.h"
#include "tests/support/WaitUntil.h"

namespace tavo::test {
namespace {

using Folders = std::vector<std::string>;

TEST(FolderDialogRules, FilterParentAndHistory) {
  // Folders whatever their name; files only as RUTE documents; never system
  // or temporary items.
  EXPECT_TRUE(FolderDialogShows(FILE_ATTRIBUTE_DIRECTORY, "notes.txt"));
  EXPECT_TRUE(FolderDialogShows(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN, ".cache"));
  EXPECT_FALSE(FolderDialogShows(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM, "sys"));
  EXPECT_FALSE(FolderDialogShows(FILE_ATTRIBUTE_DIRECTORY | 0x100, "tmp"));
  EXPECT_TRUE(FolderDialogShows(FILE_ATTRIBUTE_ARCHIVE, "a.RUT"));
  EXPECT_TRUE(FolderDialogShows(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY, "b.rUt"));
  EXPECT_FALSE(FolderDialogShows(FILE_ATTRIBUTE_ARCHIVE, "a.RUT.bak"));
  EXPECT_FALSE(FolderDialogShows(FILE_ATTRIBUTE_ARCHIVE, "RUT"));
  EXPECT_FALSE(FolderDialogShows(FILE_ATTRIBUTE_READONLY, "notes.txt"));
  EXPECT_FALSE(FolderDialogShows(FILE_ATTRIBUTE_SYSTEM, "pipe.rut"));
  EXPECT_FALSE(FolderDialogShows(0, ""));

  EXPECT_EQ(ParentFolderPath("/a/b"), "/a");
  EXPECT_EQ(ParentFolderPath("/a"), "/");
  EXPECT_EQ(ParentFolderPath("/"), std::nullopt);
  EXPECT_EQ(ParentFolderPath(""), std::nullopt);
  EXPECT_EQ(ParentFolderPath("\x95\x5C/\x95\x5C"), "\x95\x5C") << "0x5C is no separator here";
  EXPECT_TRUE(FollowsTypedPath("/h"));
  EXPECT_FALSE(FollowsTypedPath(" /h"));
  EXPECT_FALSE(FollowsTypedPath("~/h"));

  Folders h;
  EXPECT_TRUE(AddHistoryFolder(h, "/a", 2));
  EXPECT_TRUE(AddHistoryFolder(h, "/b", 2));
  EXPECT_FALSE(AddHistoryFolder(h, "/a", 2));
  EXPECT_TRUE(AddHistoryFolder(h, "/A", 2)) << "another folder on Linux";
  EXPECT_EQ(h, (Folders{"/b", "/A"}));
  h = {"/1", "/2", "/3", "/4", "/5"};  // loaded longer than the limit: one out, one in
  AddHistoryFolder(h, "/6", 3);
  EXPECT_EQ(h, (Folders{"/2", "/3", "/4", "/5", "/6"}));
  AddHistoryFolder(h, "/7", 0);
  EXPECT_EQ(h.size(), 5u);
  h.clear();
  AddHistoryFolder(h, "/x", 0);
  AddHistoryFolder(h, "/y", -1);
  EXPECT_EQ(h, (Folders{"/y"}));
}

class FolderDialogTest : public FolderDialogFixture {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    MakeDir(Home() + "/docs/inner");
    MakeDir(Home() + "/docs/old.txt");
    MakeFile(Home() + "/docs/alpha.rut", "x");
    MakeFile(Home() + "/docs/BETA.RUT", "x");
    MakeFile(Home() + "/docs/notes.txt", "x");
    MakeFile(Home() + "/docs/alpha.rut.bak", "x");
    ASSERT_EQ(::mkfifo((Home() + "/docs/pipe.rut").c_str(), 0600), 0);
    Open(Home() + "/docs");
    dlg_->HistoryMax = 2;
  }
  Folders ListedNames() const {
    Folders names;
    for (int i = 0; i < List().List().Count(); ++i) names.push_back(List().List().ItemAt(i)->FileName());
    std::sort(names.begin(), names.end());
    return names;
  }
  // Shows the dialog modally; `act` runs while it is shown.
  int ShowAnd(const std::function<void()>& act, int answer = ui::mrCancel) {
    ui::PushModalScript([&](ui::ModalCall&) {
      act();
      return answer;
    });
    return ui::ShowModal(dlg_.get());
  }
  void Type(const std::string& text) {
    dlg_->ComboBox1->lineEdit()->clear();
    QTest::keyClicks(dlg_->ComboBox1->lineEdit(), QString::fromStdString(text));
  }
};

TEST_F(FolderDialogTest, TheListShowsFoldersAndRuteDocumentsOnlyAndOpensNoDocument) {
  EXPECT_EQ(ListedNames(), (Folders{"BETA.RUT", "alpha.rut", "inner", "old.txt"}));
  // A document is chosen, never opened (Enter on it is OK's).
  bool defaultAction = true;
  List().List().OnShExecute(*List().List().ItemAt(2), 0, 0, 0, 0, defaultAction);
  EXPECT_FALSE(defaultAction);
}

TEST_F(FolderDialogTest, UpOneLevelStopsAtTheRoot) {
  dlg_->SpeedButton5->click();
  EXPECT_EQ(Tree().GetSelectedPath(), Home());
  dlg_->SetsStartFolder("/");
  dlg_->SpeedButton5->click();
  EXPECT_EQ(Tree().GetSelectedPath(), "/");
  EXPECT_EQ(Box(), "/");
}

TEST_F(FolderDialogTest, OkKeepsTheHistoryToItsLimitCancelAndAnEmptyBoxChangeNothing) {
  const std::string docs = Home() + "/docs", inner = docs + "/inner";
  EXPECT_EQ(ShowAnd([&] { dlg_->BitBtn1->click(); }), ui::mrOk);
  EXPECT_EQ(ShowAnd([&] { Type(inner); dlg_->BitBtn1->click(); }), ui::mrOk);
  EXPECT_EQ(dlg_->sStartFolder(), inner);
  EXPECT_EQ(ShowAnd([&] { Type(Home()); dlg_->BitBtn1->click(); }), ui::mrOk);
  EXPECT_EQ(dlg_->History(), (Folders{inner, Home()}));
  EXPECT_EQ(ShowAnd([&] { Type(inner); dlg_->BitBtn1->click(); }), ui::mrOk);
  EXPECT_EQ(dlg_->History(), (Folders{inner, Home()})) << "a folder already there is not added again";

  // Cancel: neither the folder nor the history changes, and the text typed
  // then is gone at the next showing.
  EXPECT_EQ(ShowAnd([&] { Type(docs); dlg_->BitBtn2->click(); }), ui::mrCancel);
  EXPECT_EQ(dlg_->sStartFolder(), inner);
  EXPECT_EQ(dlg_->History(), (Folders{inner, Home()}));
  dlg_->SetsStartFolder(inner);
  EXPECT_EQ(Box(), inner);

  // An empty box: the dialog stays, with the focus in the box.
  bool stayed = false, focused = false;
  EXPECT_EQ(ShowAnd([&] {
              dlg_->activateWindow();
              Type("");
              dlg_->BitBtn1->click();
              QCoreApplication::processEvents();
              stayed = dlg_->isVisible();
              focused = dlg_->ComboBox1->hasFocus() || dlg_->focusWidget() == dlg_->ComboBox1->lineEdit() ||
                        dlg_->focusWidget() == dlg_->ComboBox1;
              dlg_->BitBtn2->click();
            }),
            ui::mrCancel);
  EXPECT_TRUE(stayed);
  EXPECT_TRUE(focused);
  EXPECT_EQ(dlg_->sStartFolder(), inner);
  EXPECT_EQ(dlg_->History(), (Folders{inner, Home()}));
}

TEST_F(FolderDialogTest, F2ANameAndEnterRenameInTheListAndTheTreeAndTheDialogStaysOpen) {
  const std::string docs = Home() + "/docs";
  auto exists = [](const std::string& path) { return std::filesystem::exists(path); };
  // F2 on the current row of `view`, the name typed over the old one, then `key`.
  auto rename = [&](QAbstractItemView* view, const std::string& name, int key) {
    view->setFocus();
    QTest::keyClick(view, Qt::Key_F2);
    QLineEdit* editor = nullptr;
    for (QLineEdit* e : view->viewport()->findChildren<QLineEdit*>())
      if (e->isVisible()) editor = e;  // not one closed before, deleted later
    ASSERT_NE(editor, nullptr) << "no editor for " << name;
    editor->selectAll();
    QTest::keyClicks(editor, QString::fromStdString(name));
    QTest::keyClick(editor, static_cast<Qt::Key>(key));
    QCoreApplication::processEvents();
  };
  auto makeCurrent = [&](const std::string& name) {
    for (int row = 0; row < List().List().Count(); ++row)
      if (List().List().ItemAt(row)->DisplayName() == name)
        List().ReportView()->selectionModel()->setCurrentIndex(
            List().Model().index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    return List().List().ItemAt(List().ReportView()->currentIndex().row())->DisplayName() == name;
  };
  auto messages = [] {
    std::vector<QString> texts;
    for (const ui::ModalCall& call : ui::ModalHistory())
      if (call.kind == ui::ModalCall::Message) texts.push_back(call.text);
    return texts;
  };
  ui::ClearModalHistory();
  bool open = true;
  EXPECT_EQ(ShowAnd([&] {
              ASSERT_TRUE(makeCurrent("alpha.rut"));
              rename(List().ReportView(), "gamma.rut", Qt::Key_Return);
              EXPECT_TRUE(exists(docs + "/gamma.rut"));
              EXPECT_FALSE(exists(docs + "/alpha.rut"));
              open = open && dlg_->isVisible() && dlg_->ModalResult() == ui::mrNone;

              // A name that is taken is refused and said so; the dialog stays.
              ASSERT_TRUE(makeCurrent("gamma.rut"));
              rename(List().ReportView(), "BETA.RUT", Qt::Key_Return);
              EXPECT_TRUE(exists(docs + "/gamma.rut"));
              ASSERT_EQ(messages().size(), 1u);
              EXPECT_EQ(messages()[0],
                        QStringLiteral("「BETA.RUT」という名前のファイルまたはフォルダが既にあるため、名前を変更できません。"));
              open = open && dlg_->isVisible();

              // Esc drops the edit; Tab commits it, and the focus stays in the list.
              rename(List().ReportView(), "delta.rut", Qt::Key_Escape);
              EXPECT_TRUE(exists(docs + "/gamma.rut"));
              open = open && dlg_->isVisible();
              rename(List().ReportView(), "delta.rut", Qt::Key_Tab);
              EXPECT_TRUE(exists(docs + "/delta.rut"));
              EXPECT_EQ(QApplication::focusWidget() == nullptr || List().isAncestorOf(QApplication::focusWidget()),
                        true);

              // The tree's folder the same way.
              Tree().SetSelectedPath(docs + "/inner");
              rename(&Tree(), "outer", Qt::Key_Return);
              EXPECT_TRUE(exists(docs + "/outer"));
              EXPECT_EQ(Tree().GetSelectedPath(), docs + "/outer");
              open = open && dlg_->isVisible() && dlg_->ModalResult() == ui::mrNone;
              dlg_->BitBtn2->click();
            }),
            ui::mrCancel);
  EXPECT_TRUE(open);
  EXPECT_EQ(messages().size(), 1u);
}

TEST_F(FolderDialogFixture, ANameWithNoCp932FormIsShownAndASearchInItIsRefusedWithAMessage) {
  MakeDir(Os("docs/한국"));
  MakeFile(Os("docs/한국/한국어.rut"), "x");
  MakeFile(Os("docs/한국/note.txt"), "x");
  Open(Cp("docs"));
  dlg_->HistoryMax = 5;
  auto shown = [](const QAbstractItemModel& m, const QModelIndex& parent) {
    QStringList names;
    for (int row = 0; row < m.rowCount(parent); ++row) names << m.index(row, 0, parent).data().toString();
    return names;
  };
  EXPECT_EQ(shown(List().Model(), {}), QStringList{QStringLiteral("한국")});

  // The tree shows it, under its own name, and goes there; the list follows.
  Tree().expand(Tree().currentIndex());
  EXPECT_EQ(shown(*Tree().model(), Tree().currentIndex()), QStringList{QStringLiteral("한국")});
  const std::string korean = Cp("docs") + "/" + *FromOsPathEscaped("한국");
  Tree().SetSelectedPath(korean);
  EXPECT_EQ(Tree().currentIndex().data().toString(), QStringLiteral("한국"));
  EXPECT_EQ(shown(List().Model(), {}), QStringList{QStringLiteral("한국어.rut")});
  EXPECT_EQ(dlg_->ComboBox1->currentText().toStdString(), Os("docs/한국"));

  // OK refuses it and says why; nothing is chosen and the dialog stays.
  ui::ClearModalHistory();
  bool stayed = false;
  ui::PushModalScript([&](ui::ModalCall&) {
    ui::PushModalScript([](ui::ModalCall&) { return ui::IDOK; });  // the message
    dlg_->BitBtn1->click();
    stayed = dlg_->isVisible() && dlg_->ModalResult() == ui::mrNone;
    dlg_->BitBtn2->click();
    return ui::mrCancel;
  });
  EXPECT_EQ(ui::ShowModal(dlg_.get()), ui::mrCancel);
  EXPECT_TRUE(stayed);
  std::vector<QString> messages;
  for (const ui::ModalCall& call : ui::ModalHistory())
    if (call.kind == ui::ModalCall::Message) messages.push_back(call.text);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].startsWith(QStringLiteral("「%1」は検索フォルダにできません。").arg(QString::fromStdString(Os("docs/한국")))))
      << messages[0].toStdString();
  EXPECT_EQ(dlg_->sStartFolder(), Cp("docs"));
  EXPECT_TRUE(dlg_->History().empty());
}

TEST_F(FolderDialogFixture, AFolderThatCannotBeReadSaysSoInTheTreeAndTheListInWords) {
  MakeDir(Os("d/locked/inner"));
  MakeFile(Os("d/locked/a.rut"), "x");
  ASSERT_EQ(::chmod(Os("d/locked").c_str(), 0), 0);
  PermissionsApply apply;
  Open(Cp("d"));
  const QString marked = QStringLiteral("locked（読み取れないフォルダ）");
  const QModelIndex row = List().Model().index(0, 0);
  EXPECT_EQ(row.data().toString(), QStringLiteral("locked"));
  EXPECT_EQ(row.data(Qt::AccessibleTextRole).toString(), marked);
  EXPECT_EQ(row.data(Qt::ToolTipRole).toString(), QStringLiteral("読み取れないフォルダ"));
  Tree().expand(Tree().currentIndex());
  const QModelIndex node = Tree().model()->index(0, 0, Tree().currentIndex());
  EXPECT_EQ(node.data().toString(), QStringLiteral("locked"));
  EXPECT_EQ(node.data(Qt::AccessibleTextRole).toString(), marked);
  EXPECT_FALSE(List().FolderNote()->isVisible());

  // Shown, it is empty, and the list says why, to the eye and to a screen
  // reader (a notification bearing the words).
  Tree().SetSelectedPath(Cp("d/locked"));
  EXPECT_EQ(List().List().Count(), 0);
  const QString why = QStringLiteral("このフォルダは読み取れません。中を見る権限がありません。");
  EXPECT_TRUE(List().FolderNote()->isVisible());
  EXPECT_EQ(List().FolderNote()->text(), why);
  QAccessibleInterface* note = QAccessible::queryAccessibleInterface(List().FolderNote());
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note->role(), QAccessible::Notification);
  EXPECT_EQ(note->text(QAccessible::Name), why);
  EXPECT_EQ(List().CurrentView()->accessibleDescription(), why);

  // Readable again, it lists as any folder.
  ASSERT_EQ(::chmod(Os("d/locked").c_str(), 0755), 0);
  List().List().RefreshItems();
  EXPECT_EQ(List().List().Count(), 2);
  EXPECT_FALSE(List().FolderNote()->isVisible());
  EXPECT_EQ(List().CurrentView()->accessibleDescription(), QString());
}

TEST_F(FolderDialogTest, ViewButtonsAndTheFontReachTheListAndTheTree) {
  const std::pair<QToolButton*, TViewStyle> buttons[] = {
      {dlg_->SpeedButton1, vsIcon}, {dlg_->SpeedButton2, vsSmallIcon}, {dlg_->SpeedButton3, vsList},
      {dlg_->SpeedButton4, vsReport}};
  for (const auto& [button, style] : buttons) {
    button->click();
    EXPECT_EQ(List().ViewStyle(), style);
    for (const auto& [other, _] : buttons) EXPECT_EQ(other->isChecked(), other == button);
  }

  QFont chosen(QStringLiteral("DejaVu Serif"), 15);
  chosen.setItalic(true);
  ui::PushModalScript([&](ui::ModalCall& call) {
    call.fontDialog->Font = chosen;
    return ui::mrOk;
  });
  dlg_->activateWindow();
  ASSERT_TRUE(WaitUntil("the dialog active", [&] { return dlg_->isActiveWindow(); }));
  QTest::keyClick(dlg_.get(), Qt::Key_F, Qt::AltModifier);  // N2 by keyboard
  EXPECT_EQ(Tree().font(), chosen);
  EXPECT_EQ(List().CurrentView()->font(), chosen);
  ui::PushModalScript([](ui::ModalCall& call) {
    call.fontDialog->Font = QFont(QStringLiteral("DejaVu Sans"), 30);
    return ui::mrCancel;
  });
  dlg_->N2->trigger();
  EXPECT_EQ(Tree().font(), chosen);
}

}  // namespace
}  // namespace tavo::test
