// The two registration dialogs: the list operations and enable rules of the
// dictionary registration, and the word registration's appended bytes, new
// dictionaries and what OK saves.
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "dictool/Cp932Texts.h"
#include "dictool/DicListItems.h"
#include "platform/files/Files.h"
#include "platform/text/QtText.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/StringGrid.h"
#include "tests/dictool/UiFixture.h"
#include "tests/support/TestText.h"
#include "tests/support/WaitUntil.h"

namespace tavo::test {
namespace {

using Paths = std::vector<std::string>;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class DicListDlgTest : public MainWindowTest {
 protected:
  void Load(const Paths& src, const Paths& dst = {}) {
    dicList->LoadLists(src, dst);
    dicList->SetButtons();
  }
  void Select(QListWidget* list, std::initializer_list<int> rows) {
    list->clearSelection();
    for (int r : rows) list->item(r)->setSelected(true);
  }
  Paths Src() const { return PathsOf(dicList->SrcList); }
  Paths Dst() const { return PathsOf(dicList->DstList); }
  std::vector<int> Selected(QListWidget* list) const {
    std::vector<int> out;
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->isSelected()) out.push_back(i);
    return out;
  }
  // The enabled state of > >> < << Up Down.
  std::vector<bool> Small() const {
    return {dicList->IncludeBtn->isEnabled(), dicList->IncAllBtn->isEnabled(), dicList->ExcludeBtn->isEnabled(),
            dicList->ExAllBtn->isEnabled(),   dicList->UpBtn->isEnabled(),     dicList->DownBtn->isEnabled()};
  }
};

TEST_F(DicListDlgTest, EmptyListsDisableTheSmallButtonsOnly) {
  Load({});
  EXPECT_EQ(Small(), std::vector<bool>(6, false));
  for (QPushButton* b : {dicList->EntryBtn, dicList->ReleaseBtn, dicList->OKBtn, dicList->BitBtn1, dicList->HelpBtn})
    EXPECT_TRUE(b->isEnabled());
}

TEST_F(DicListDlgTest, MovingSelectedEntriesReversesThemAtTheEndOfTheOtherList) {
  Load({"A", "B", "C", "D", "E"}, {"X"});
  Select(dicList->SrcList, {1, 2, 4});
  dicList->IncludeBtnClick();
  EXPECT_EQ(Dst(), (Paths{"X", "E", "C", "B"}));
  EXPECT_EQ(Src(), (Paths{"A", "D"}));
  EXPECT_EQ(Selected(dicList->SrcList), (std::vector<int>{1})) << "D took the first moved entry's place";
  EXPECT_TRUE(Selected(dicList->DstList).empty());
  // Back with "<": they are searched last.
  Select(dicList->DstList, {0, 2});
  dicList->ExcludeBtnClick();
  EXPECT_EQ(Src(), (Paths{"A", "D", "C", "X"}));
  EXPECT_EQ(Dst(), (Paths{"E", "B"}));
}

TEST_F(DicListDlgTest, MovingEverySelectedEntryEmptiesTheListAndItsButtons) {
  Load({"A", "B"});
  Select(dicList->SrcList, {0, 1});
  dicList->IncludeBtnClick();
  EXPECT_TRUE(Src().empty());
  EXPECT_EQ(Small(), (std::vector<bool>{false, false, true, true, false, false}));
  // With nothing selected ">" moves nothing and selects the first entry.
  Load({"A", "B"});
  dicList->SrcList->clearSelection();
  dicList->IncludeBtnClick();
  EXPECT_EQ(Src(), (Paths{"A", "B"}));
  EXPECT_EQ(Selected(dicList->SrcList), (std::vector<int>{0}));
}

TEST_F(DicListDlgTest, MoveAllBothWaysKeepsEachGroupInOrder) {
  Load({"A", "B"}, {"X", "Y"});
  dicList->IncAllBtnClick();
  EXPECT_EQ(Dst(), (Paths{"X", "Y", "A", "B"}));
  dicList->ExcAllBtnClick();
  EXPECT_TRUE(Dst().empty());
  EXPECT_EQ(Src(), (Paths{"X", "Y", "A", "B"}));
}

TEST_F(DicListDlgTest, UpAndDownMoveTheCurrentEntryAndStopAtBothEnds) {
  Load({"A", "B", "C"});
  dicList->SrcList->setCurrentRow(2);
  dicList->SetButtons();
  dicList->UpBtnClick();
  dicList->UpBtnClick();
  EXPECT_EQ(Src(), (Paths{"C", "A", "B"})) << "repeated clicks move the same entry";
  EXPECT_EQ(dicList->SrcList->currentRow(), 0);
  dicList->UpBtnClick();
  EXPECT_EQ(Src(), (Paths{"C", "A", "B"}));
  dicList->DownBtnClick();
  EXPECT_EQ(Src(), (Paths{"A", "C", "B"}));
  dicList->DownBtnClick();
  dicList->DownBtnClick();
  EXPECT_EQ(Src(), (Paths{"A", "B", "C"}));
  EXPECT_EQ(Selected(dicList->SrcList), (std::vector<int>{2}));
  // Without a current entry nothing moves.
  dicList->SrcList->setCurrentRow(-1);
  dicList->DownBtnClick();
  dicList->UpBtnClick();
  EXPECT_EQ(Src(), (Paths{"A", "B", "C"}));
}

TEST_F(DicListDlgTest, UpAndDownNeedExactlyOneSelectedEntryAndAMouseReleaseUpdatesThem) {
  Load({"A", "B", "C"});
  ui::PushModalScript([&](ui::ModalCall&) {
    QListWidget* list = dicList->SrcList;
    Select(list, {0, 1});
    dicList->SetButtons();
    EXPECT_FALSE(dicList->UpBtn->isEnabled());
    EXPECT_FALSE(dicList->DownBtn->isEnabled());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    QCoreApplication::processEvents();
    EXPECT_EQ(Selected(list), (std::vector<int>{1}));
    EXPECT_TRUE(dicList->UpBtn->isEnabled());
    EXPECT_TRUE(dicList->DownBtn->isEnabled());
    return ui::mrCancel;
  });
  ui::ShowModal(dicList);
}

TEST_F(DicListDlgTest, AddingFilesSkipsNamesAlreadyListedExactly) {
  Load({"/d/A.DIC"}, {"/d/b.dic"});
  ui::PushModalScript([](ui::ModalCall& call) {
    EXPECT_EQ(call.kind, ui::ModalCall::OpenFile);
    EXPECT_TRUE(call.openDialog->AllowMultiSelect);
    EXPECT_TRUE(call.openDialog->CreatePrompt);
    EXPECT_EQ(call.openDialog->DefaultExt, QStringLiteral("DIC"));
    call.openDialog->SetChosen({"/d/A.DIC", "/d/b.dic", "/d/a.dic", "/d/new.dic", "/d/new.dic"});
    return ui::mrOk;
  });
  dicList->EntryBtnClick();
  // Linux names are case-sensitive: a.dic is another file than A.DIC.
  EXPECT_EQ(Src(), (Paths{"/d/A.DIC", "/d/a.dic", "/d/new.dic"}));
  EXPECT_EQ(Dst(), (Paths{"/d/b.dic"}));
}

TEST_F(DicListDlgTest, PathsTheSettingsFileCannotHoldAreRefusedWithTheReason) {
  Load({});
  const std::string tooLong = "/d/" + std::string(2100, 'x') + ".dic";
  ui::PushModalScript([&](ui::ModalCall& call) {
    call.openDialog->SetChosen({"/d/trailing.dic ", " /d/leading.dic", tooLong, "/d/ok.dic", "/d/line\nbreak.dic"});
    return ui::mrOk;
  });
  QString reasons[4];
  for (QString& r : reasons) ExpectMessage(ui::IDOK, &r);
  dicList->EntryBtnClick();
  EXPECT_EQ(Src(), (Paths{"/d/ok.dic"}));
  EXPECT_NE(reasons[0].indexOf(QStringLiteral("先頭か末尾に空白がある")), -1) << reasons[0].toStdString();
  EXPECT_NE(reasons[1].indexOf(QStringLiteral("先頭か末尾に空白がある")), -1);
  EXPECT_NE(reasons[2].indexOf(QStringLiteral("2047 バイトを超える")), -1);
  EXPECT_NE(reasons[3].indexOf(QStringLiteral("改行")), -1);
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);
}

TEST_F(DicListDlgTest, ReleaseRemovesSelectedEntriesOfBothListsAndNoFile) {
  const std::string a = WriteFile("a.dic", "x\r\n");
  Load({a, "B", "C"}, {"X", "Y"});
  Select(dicList->SrcList, {0, 2});
  Select(dicList->DstList, {1});
  dicList->ReleaseBtnClick();
  EXPECT_EQ(Src(), (Paths{"B"}));
  EXPECT_EQ(Dst(), (Paths{"X"}));
  EXPECT_EQ(ReadAll(a), "x\r\n");
}

TEST_F(DicListDlgTest, PathsKeepTheirBytes) {
  const std::string odd = "/d/\x82\xA0\xFF.dic";  // not valid CP932 throughout
  Load({odd});
  EXPECT_EQ(Src(), (Paths{odd}));
}

// ---- Word registration ----

class SetWordDlgTest : public MainWindowTest {
 protected:
  // Runs the dialog the way the main window does; `script` acts in it.
  void Register(const std::string& word, std::function<void()> script) {
    ui::PushModalScript([script](ui::ModalCall&) {
      script();
      QCoreApplication::processEvents();
      return ui::mrCancel;
    });
    form->RegisterWord(word);
  }
  void ClickOk() { QTest::mouseClick(setWord->OKBtn, Qt::LeftButton); }
};

TEST_F(SetWordDlgTest, OkAppendsTheWordAsOneLineWithItsSpacesMarked) {
  struct Case {
    const char* name;
    std::string before, word, after;
  };
  const std::vector<Case> cases = {
      {"half-width space", sj("いぬ\r\n"), sj("ね こ"), sj("いぬ\r\nね□こ\r\n")},
      {"full-width space", sj("いぬ\r\n"), sj("ね　こ"), sj("いぬ\r\nね□こ\r\n")},
      {"no final line break", sj("いぬ"), sj("ねこ"), sj("いぬ\r\nねこ\r\n")},
      {"ends with 0x1A", sj("いぬ\r\n") + "\x1A", sj("ねこ"), sj("いぬ\r\nねこ\r\n") + "\x1A"},
      {"empty word", sj("いぬ\r\n"), "", sj("いぬ\r\n\r\n")},
      {"empty file", "", sj("ねこ"), sj("ねこ\r\n")},
  };
  for (const Case& c : cases) {
    const std::string dic = WriteFile("w.dic", c.before);
    form->SetSearchDicList({dic});
    form->SetWriteDic(dic);
    Register(c.word, [this] { ClickOk(); });
    EXPECT_EQ(hex(ReadAll(dic)), hex(c.after)) << c.name;
  }
}

TEST_F(SetWordDlgTest, OkSavesTheListAndTheWriteDictionaryAtOnce) {
  const std::string a = WriteFile("a.dic", "");
  const std::string b = WriteFile("b.dic", "");
  form->SetSearchDicList({a, b});
  form->SetWriteDic(a);
  Register(sj("ねこ"), [&] {
    EXPECT_EQ(setWord->WriteDicName(), a);
    EXPECT_TRUE(setWord->OKBtn->isEnabled());
    setWord->DicList->setFocus();
    QTest::keyClick(setWord->DicList, Qt::Key_Down);  // the keyboard chooses b
    EXPECT_EQ(setWord->WriteDicName(), b);
    ClickOk();
  });
  EXPECT_EQ(ReadAll(b), sj("ねこ\r\n"));
  EXPECT_EQ(ReadAll(a), "");
  EXPECT_EQ(form->GetWriteDic(), b);
  EXPECT_NE(SettingsText().find(b), std::string::npos);
}

TEST_F(SetWordDlgTest, CancelWritesNothingAndKeepsTheLists) {
  const std::string a = WriteFile("a.dic", "x\r\n");
  form->SetSearchDicList({a});
  form->SetWriteDic(a);
  Register(sj("ねこ"), [] {});
  EXPECT_EQ(ReadAll(a), "x\r\n");
  EXPECT_EQ(SettingsText(), "");
}

TEST_F(SetWordDlgTest, OkIsEnabledOnlyWithADictionaryOfExactlyThatNameSelected) {
  form->SetSearchDicList({"/d/Words.dic", "/d/other.dic"});
  for (const std::string& writeDic : {std::string(), std::string("/d/none.dic"), std::string("/d/words.dic")}) {
    form->SetWriteDic(writeDic);
    Register("", [&] {
      EXPECT_EQ(setWord->WriteDicName(), "") << writeDic;
      EXPECT_FALSE(setWord->OKBtn->isEnabled()) << writeDic;
      QListWidget* list = setWord->DicList;
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
      EXPECT_TRUE(setWord->OKBtn->isEnabled());
    });
  }
}

TEST_F(SetWordDlgTest, TypingIsLimitedToOneLineOf80BytesButTheProgramsWordIsNot) {
  const std::string longWord(90, 'a');
  form->SetSearchDicList({});
  Register(longWord, [&] {
    EXPECT_EQ(setWord->edAddWord->text().size(), 90) << "a word handed in stays whole";
    // It may be shortened but not lengthened.
    setWord->edAddWord->setFocus();
    setWord->edAddWord->end(false);
    QTest::keyClick(setWord->edAddWord, Qt::Key_Backspace);
    QTest::keyClick(setWord->edAddWord, Qt::Key_B);
    EXPECT_EQ(setWord->edAddWord->text().size(), 89);
    setWord->SetAppendWord("");
    setWord->edAddWord->setFocus();
    for (int i = 0; i < 45; ++i) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("ね"));  // as typed through an input method
      QCoreApplication::sendEvent(setWord->edAddWord, &press);
    }
    EXPECT_EQ(ToCp932(setWord->edAddWord->text())->size(), 80u);
    setWord->edAddWord->clear();
    setWord->edAddWord->insert(QStringLiteral("ねこ\r\nいぬ"));  // as a paste inserts
    EXPECT_EQ(setWord->edAddWord->text(), QStringLiteral("ねこ"));
  });
}

TEST_F(SetWordDlgTest, ANewDictionaryIsCreatedEmptyListedAndSelected) {
  const std::string existing = WriteFile("old.txt", "keep\r\n");
  form->SetSearchDicList({});
  const std::string typed = dir + "/neu";
  Register("", [&] {
    ui::PushModalScript([&](ui::ModalCall& call) {
      EXPECT_EQ(call.kind, ui::ModalCall::OpenFile);
      EXPECT_TRUE(call.openDialog->HideReadOnly);
      EXPECT_FALSE(call.openDialog->AllowMultiSelect);
      call.openDialog->SetChosen({typed});
      return ui::mrOk;
    });
    setWord->NewDicBtnClick();
    EXPECT_EQ(PathsOf(setWord->DicList), (Paths{typed + ".DIC"}));
    EXPECT_EQ(setWord->WriteDicName(), typed + ".DIC");
    EXPECT_TRUE(setWord->OKBtn->isEnabled());

    // An existing name with an extension: asked first; Cancel leaves it.
    ui::PushModalScript([&](ui::ModalCall& call) {
      call.openDialog->SetChosen({existing});
      return ui::mrOk;
    });
    QString question;
    ExpectMessage(ui::IDCANCEL, &question);
    setWord->NewDicBtnClick();
    EXPECT_EQ(question, QStringLiteral("同じ名前のファイルがあります。上書きしますか？"));
    EXPECT_EQ(ReadAll(existing), "keep\r\n");
    // OK truncates it, and it is listed once however often it is made.
    for (int i = 0; i < 2; ++i) {
      ui::PushModalScript([&](ui::ModalCall& call) {
        call.openDialog->SetChosen({existing});
        return ui::mrOk;
      });
      ExpectMessage(ui::IDOK);
      setWord->NewDicBtnClick();
    }
    EXPECT_EQ(ReadAll(existing), "");
    EXPECT_EQ(PathsOf(setWord->DicList), (Paths{typed + ".DIC", existing}));
  });
  EXPECT_EQ(ReadAll(typed + ".DIC"), "");
  EXPECT_TRUE(form->GetSearchDicList().empty()) << "a cancelled dialog adds nothing";
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);
}

TEST_F(SetWordDlgTest, ANewDictionaryThatCannotBeMadeOrStoredIsToldWhyAndNotListed) {
  form->SetSearchDicList({});
  const struct {
    std::string chosen;
    QString reason;
  } cases[] = {
      {dir + "/no/such/folder/x.dic", QStringLiteral("ファイルまたはフォルダがありません")},
      {dir + "/blank.dic ", QStringLiteral("先頭か末尾に空白がある")},  // the settings file could not hold it
  };
  Register("", [&] {
    for (const auto& c : cases) {
      ui::PushModalScript([&](ui::ModalCall& call) {
        call.openDialog->SetChosen({c.chosen});
        return ui::mrOk;
      });
      QString text;
      ExpectMessage(ui::IDOK, &text);
      setWord->NewDicBtnClick();
      EXPECT_NE(text.indexOf(c.reason), -1) << text.toStdString();
      EXPECT_EQ(setWord->DicList->count(), 0);
    }
  });
  EXPECT_FALSE(FileExists(dir + "/blank.dic ")) << "refused before it is made";
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);
}

TEST_F(SetWordDlgTest, AWordThatCannotBeWrittenIsToldWhyAndTheDialogStaysOpen) {
  const std::string fifo = dir + "/fifo.dic";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // never waited on
  const struct {
    std::string dic;
    QString reason;
  } cases[] = {
      {dir + "/gone.dic", QStringLiteral("ファイルまたはフォルダがありません")},
      {fifo, QStringLiteral("通常のファイルではありません")},
  };
  for (const auto& c : cases) {
    form->SetSearchDicList({c.dic});
    form->SetWriteDic(c.dic);
    int result = -1;
    QString text;
    ui::PushModalScript([&](ui::ModalCall&) {
      ExpectMessage(ui::IDOK, &text);
      ClickOk();
      QCoreApplication::processEvents();
      EXPECT_TRUE(setWord->isVisible()) << "nothing reads as registered";
      result = setWord->ModalResult();
      return ui::mrCancel;
    });
    form->RegisterWord(sj("ねこ"));
    EXPECT_NE(text.indexOf(QStringLiteral("登録できませんでした")), -1);
    EXPECT_NE(text.indexOf(c.reason), -1) << text.toStdString();
    EXPECT_EQ(result, ui::mrNone);
  }
  EXPECT_EQ(SettingsText(), "");
}

TEST_F(SetWordDlgTest, AWordNotFoundIsRegisteredAndFoundByTheNextSearch) {
  const std::string dic = WriteFile("d.dic", sj("いぬ"));  // no final line break
  form->SetSearchDicList({dic});
  form->SetWriteDic(dic);
  inside->cbSearchWord->setEditText(QStringLiteral("ね こ"));
  ExpectMessage(ui::IDOK);  // the offer to register
  ui::PushModalScript([this](ui::ModalCall&) {
    EXPECT_EQ(setWord->edAddWord->text(), QStringLiteral("ね□こ"));
    ClickOk();
    return ui::mrNone;
  });
  inside->cbSearchWord->setFocus();
  QTest::keyClick(inside->cbSearchWord, Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_EQ(hex(ReadAll(dic)), hex(sj("いぬ\r\nね□こ\r\n")));
  QTest::keyClick(inside->cbSearchWord, Qt::Key_Return);
  EXPECT_EQ(inside->Grid->Cell(0, 1), sj("ね□こ"));
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);
}

}  // namespace
}  // namespace tavo::test

namespace tavo::test {
namespace {

// The real file dialog, driven as a user drives it: the names typed into
// its focused name box, Enter, and the create question answered with its
// buttons. A typed name that does not exist is added after the question,
// and refused when it is declined. Each step runs inside the modal loop of
// the window it acts on (queued there by a zero timer) and waits until that
// window is the active one.
TEST_F(MainWindowTest, TheAddDialogAsksBeforeTakingANameThatDoesNotExist) {
  ui::SetModalScripting(false);
  const std::string existing = WriteFile("here.dic", "");
  dicList->OpenDialog->InitialDir = dir;
  for (const bool create : {true, false}) {
    SCOPED_TRACE(create ? "create" : "decline");
    QObject steps;  // the queued steps go with it if they never ran
    QString question;
    bool typed = false, left = false;
    QTimer::singleShot(0, &steps, [&] {
      QFileDialog* files = nullptr;
      ASSERT_TRUE(AwaitActiveModal("the file dialog", files));
      auto* nameBox = qobject_cast<QLineEdit*>(QApplication::focusWidget());
      ASSERT_NE(nameBox, nullptr) << "the name box has the focus";
      QTest::keyClicks(nameBox, QStringLiteral("\"new.dic\" \"here.dic\""));
      typed = nameBox->text() == QStringLiteral("\"new.dic\" \"here.dic\"");
      QTimer::singleShot(0, &steps, [&] {
        QMessageBox* box = nullptr;
        ASSERT_TRUE(AwaitActiveModal("the create question", box));
        question = box->text();
        QTest::mouseClick(box->button(create ? QMessageBox::Yes : QMessageBox::No), Qt::LeftButton);
      });
      QTest::keyClick(nameBox, Qt::Key_Return);  // returns once the question is answered
      if (question.isEmpty()) return;  // not asked: the checks below tell
      if (!create) {
        // Declined: the dialog stays open for another choice; Esc leaves it.
        ASSERT_TRUE(AwaitActiveModal("the file dialog again, after the question", files));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
      }
      left = true;
    });
    dicList->LoadLists({}, {});
    dicList->EntryBtnClick();
    EXPECT_TRUE(typed);
    EXPECT_TRUE(left);
    EXPECT_NE(question.indexOf(QStringLiteral("new.dic\nこのファイルは存在しません")), -1)
        << "asked: " << question.toStdString();
    if (create)
      EXPECT_EQ(PathsOf(dicList->SrcList), (Paths{dir + "/new.dic", existing}));
    else
      EXPECT_TRUE(PathsOf(dicList->SrcList).empty());
    EXPECT_FALSE(FileExists(dir + "/new.dic")) << "this dialog creates no file";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  }
  ui::SetModalScripting(true);
}

}  // namespace
}  // namespace tavo::test
