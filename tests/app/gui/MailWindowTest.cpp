#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <chrono>
#include <filesystem>

#include "app/gui/ControlCenter.h"
#include "app/gui/FMListView.h"
#include "app/gui/MailCommands.h"
#include "app/gui/MailPage.h"
#include "app/gui/MailboxTreeModel.h"
#include "app/gui/MailboxTreeView.h"
#include "app/gui/MainActions.h"
#include "app/gui/MainToolbar.h"
#include "app/gui/MessageListModel.h"
#include "app/gui/MessageWindows.h"
#include "compose/gui/SRichEdit.h"
#include "config/ConfigKeys.h"
#include "store/MailStore.h"
#include "store/MailboxName.h"
#include "support/TempDir.h"
#include "support/gui/WindowFixture.h"

namespace {

class MailWindowTest : public WindowFixture<> {
protected:
    // A message with a stored body, saved in its mailbox's index.
    int Add(const std::string& mailbox, const std::string& subject, std::uint8_t flags = mfRead,
            const std::string& date = "01/02/26 10:00 AM", const std::string& body = "body text") {
        auto item = Record(mailbox, subject);
        item->Who = "Ann <ann@example.org>";
        item->Date = date;
        item->Flags = flags;
        const int handle = Put(std::move(item), body);
        EXPECT_TRUE(store.SaveIndex(mailbox));
        return handle;
    }
    QStringList Subjects() {
        QStringList s;
        for (int r = 0; r < List()->model()->rowCount(); ++r) s << List()->model()->index(r, 0).data().toString();
        return s;
    }
    QStringList TopLevel() {
        QStringList names;
        for (const auto& n : store.Tree().Nodes())
            if (n.depth == 0) names << QString::fromStdString(n.name);
        return names;
    }
    void Key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(target, &press);
    }
};

TEST_F(MailWindowTest, StartUpShowsTheDefaultMailboxAndRunsProcessingLast) {
    ini.Write(cfg::DefaultMailBox, "in box");
    store.LoadTree();
    Add("In Box", "hello");
    // The next run of the program finds the stored message.
    TMailStore next(dir.Path(), ini, prompt, pump);
    bool processed = false;
    std::string viewedWhenProcessing;
    Build(next);
    w->SetLeftoverProcessing([&] {
        processed = true;
        viewedWhenProcessing = next.Viewed();
    });
    w->Initialise();
    EXPECT_TRUE(processed);
    EXPECT_EQ(viewedWhenProcessing, "In Box");
    EXPECT_EQ(Subjects(), QStringList{"hello"});
    EXPECT_EQ(w->StatusText(), QStringLiteral("Loaded 1 message(s) for mailbox \"In Box\"."));
    // No dictionary in the program folder: reported once, start-up goes on.
    ASSERT_EQ(prompt.Errors().size(), 1u);
    EXPECT_EQ(prompt.Errors()[0],
              "Fenmarch Skiffpost is missing the main dictionary file.\n\rYou will not be able to spell check your "
              "messages\n\rFix: Reinstall Fenmarch Skiffpost and select dictionary files.");
    // "View" follows the selection of the page showing.
    EXPECT_FALSE(w->Actions().view->isEnabled());
    SelectRows({0});
    EXPECT_TRUE(w->Actions().view->isEnabled());
    EXPECT_TRUE(w->Actions().newMailbox->isEnabled());
    w.reset();  // the window goes before the store it shows
}

TEST_F(MailWindowTest, TheProgramReopensOnTheMailboxSelectedAtClose) {
    Open();
    ASSERT_TRUE(C().SelectMailbox("Sent Box"));
    w->close();
    EXPECT_EQ(ini.Read(cfg::DefaultMailBox), "Sent Box");
    w.reset();
    TMailStore next(dir.Path(), ini, prompt, pump);
    Build(next);
    w->Initialise();
    EXPECT_EQ(next.Viewed(), "Sent Box");
    EXPECT_EQ(C().SelectedMailbox(), "Sent Box");
    w.reset();
}

TEST_F(MailWindowTest, TheNewMailTipOfAStoreThatOutlivesItsWindowReachesNoWindow) {
    Open();
    store.Tip().SetCount(2);
    store.Tip().Refresh();
    EXPECT_EQ(w->statusBar()->toolTip(), QStringLiteral("You have 2 new messages."));

    // Another store shown: the first one no longer tells this window.
    TMailStore next(dir.Path(), ini, prompt, pump);
    w->SetStore(next);
    store.Tip().SetCount(1);
    store.Tip().Refresh();
    EXPECT_EQ(w->statusBar()->toolTip(), QStringLiteral("You have 2 new messages."));
    next.Tip().Refresh();
    EXPECT_EQ(w->statusBar()->toolTip(), QStringLiteral("You have no new mail."));

    // The window gone, both stores refresh without reaching it (ASan
    // reports a use after free otherwise).
    w.reset();
    next.Tip().Refresh();
    store.Tip().Refresh();
}

TEST_F(MailWindowTest, ModelsPassTheItemModelTester) {
    Open();
    Add("In Box", "one", mfNew);
    Add("In Box", "two", mfRead | mfAttach);
    QAbstractItemModelTester listTester(C().ListModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester treeTester(C().TreeModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    C().NewMailbox();
    C().NewMailbox();
    C().SelectMailbox("In Box");
    C().ListModel()->sort(2);
    SelectRows({0});
    C().DeleteKey();
    EXPECT_EQ(C().ListModel()->rowCount(), 1);
}

// While a batch of new mail is being saved the view cannot change; a
// mailbox clicked meanwhile opens as soon as the save is done, and the last
// one clicked wins.
TEST_F(MailWindowTest, AMailboxChosenWhileMessagesAreSavedOpensOnceTheyAre) {
    Open();
    ASSERT_EQ(store.Viewed(), "In Box");
    ASSERT_TRUE(store.Flags().indexSave.TryTake());
    store.Flags().indexSave.Disown();  // as while a batch settles on another thread
    EXPECT_FALSE(C().SelectMailbox("Out Box"));
    EXPECT_FALSE(C().SelectMailbox("Sent Box"));
    EXPECT_EQ(store.Viewed(), "In Box");
    QTest::qWait(120);
    EXPECT_EQ(store.Viewed(), "In Box");  // still busy: nothing changes
    store.Flags().indexSave.Release();
    QTRY_COMPARE(QString::fromStdString(store.Viewed()), QStringLiteral("Sent Box"));
    EXPECT_EQ(C().SelectedMailbox(), "Sent Box");
    // Once shown, it stays: nothing else is retried later.
    QTest::qWait(120);
    EXPECT_EQ(store.Viewed(), "Sent Box");
}

TEST_F(MailWindowTest, NoNodeMeansNoMailboxSelected) {
    Open();
    Tree()->setCurrentIndex(QModelIndex());
    EXPECT_EQ(store.Viewed(), "");
    EXPECT_EQ(w->StatusText(), QStringLiteral("No mailbox selected."));
    EXPECT_EQ(List()->model()->rowCount(), 0);
}

TEST_F(MailWindowTest, ChangingTheMailboxIsRefusedWhileAFlagIsHeld) {
    Open();
    ASSERT_EQ(store.Viewed(), "In Box");
    store.Flags().indexSave.TryTake();
    C().SelectMailbox("Sent Box");
    store.Flags().indexSave.Release();
    EXPECT_EQ(store.Viewed(), "In Box");
    EXPECT_EQ(C().SelectedMailbox(), "In Box");
    C().SelectMailbox("Sent Box");
    EXPECT_EQ(store.Viewed(), "Sent Box");
}

TEST_F(MailWindowTest, TwoNewMailboxesWithNothingSelectedGetUniqueNames) {
    Open();
    ini.Write(cfg::RenameOnMailboxCreation, false);
    Tree()->setCurrentIndex(QModelIndex());
    C().NewMailbox();
    EXPECT_EQ(C().SelectedMailbox(), "New Mailbox");
    Tree()->setCurrentIndex(QModelIndex());
    C().NewMailbox();
    const QStringList top = TopLevel();
    EXPECT_EQ(top.mid(top.size() - 2), (QStringList{"New Mailbox", "New Mailbox (2)"}));
    EXPECT_EQ(ini.ReadString(cfg::kMailBoxesSection, "New Mailbox (2)", ""), dir.Path());
    // With a mailbox selected the new one becomes its child.
    C().NewMailbox();
    const int child = store.Tree().IndexOf("New Mailbox (3)");
    ASSERT_GE(child, 0);
    EXPECT_EQ(store.Tree().At(store.Tree().Parent(child)).name, "New Mailbox (2)");
}

TEST_F(MailWindowTest, RenameRefusesSystemMailboxesDuplicatesAndForbiddenCharacters) {
    Open();
    Tree()->setCurrentIndex(QModelIndex());
    C().NewMailbox();
    auto* model = C().TreeModel();
    EXPECT_FALSE(model->flags(model->IndexOfNode(store.Tree().IndexOf("In Box"))) & Qt::ItemIsEditable);
    const QModelIndex node = model->IndexOfNode(store.Tree().IndexOf("New Mailbox"));
    EXPECT_TRUE(model->flags(node) & Qt::ItemIsEditable);
    EXPECT_FALSE(model->setData(node, QStringLiteral("in box")));
    ASSERT_EQ(prompt.Errors().size(), 1u);
    EXPECT_EQ(prompt.Errors()[0], "A mail box already exists with this name. Please specify a different name.");
    EXPECT_FALSE(model->setData(node, QStringLiteral("a/b")));
    EXPECT_EQ(prompt.Errors().size(), 2u);
    EXPECT_EQ(store.Tree().IndexOf("a/b"), -1);
    EXPECT_TRUE(model->setData(node, QStringLiteral("  Friends  ")));
    EXPECT_GE(store.Tree().IndexOf("Friends"), 0);
    EXPECT_EQ(store.Tree().IndexOf("New Mailbox"), -1);
}

TEST_F(MailWindowTest, DeleteAsksWithTheCountAndRefusesParents) {
    Open();
    Tree()->setCurrentIndex(QModelIndex());
    C().NewMailbox();  // "New Mailbox", selected
    for (const char* s : {"a", "b", "c"}) Add("New Mailbox", s);
    prompt.QueueAnswer(TPromptAnswer::No);
    C().DeleteMailbox();
    ASSERT_EQ(prompt.Texts().size(), 1u);
    EXPECT_EQ(prompt.Texts()[0].text,
              "Are you sure you want to delete Mailbox New Mailbox?\rIf you choose yes you will destroy all "
              "message(s) in the cateogry forever.\rWe recommend that you move these messages to the Trash Can.\r"
              "This Mailbox has 3 item(s) in it");
    EXPECT_GE(store.Tree().IndexOf("New Mailbox"), 0);

    C().NewMailbox();  // a child of "New Mailbox"
    C().SelectMailbox("New Mailbox");
    prompt.Clear();
    prompt.QueueAnswer(TPromptAnswer::Yes);
    C().DeleteMailbox();
    ASSERT_EQ(prompt.Texts().size(), 2u);
    EXPECT_EQ(prompt.Texts()[1].text, "This Mail box has sub mail boxes. Please delete these first.");
    EXPECT_GE(store.Tree().IndexOf("New Mailbox"), 0);

    // An empty leaf goes without a question; a system mailbox never.
    C().SelectMailbox("New Mailbox (2)");
    prompt.Clear();
    C().DeleteMailbox();
    EXPECT_TRUE(prompt.Texts().empty());
    EXPECT_EQ(store.Tree().IndexOf("New Mailbox (2)"), -1);
    C().SelectMailbox("Sent Box");
    C().DeleteMailbox();
    EXPECT_GE(store.Tree().IndexOf("Sent Box"), 0);
}

TEST_F(MailWindowTest, DeleteKeyMovesAllSelectedAndTheToolbarButtonOnlyTheFirst) {
    Open();
    for (int i = 0; i < 10; ++i) Add("In Box", "m" + std::to_string(i));
    C().SelectMailbox("Sent Box");
    C().SelectMailbox("In Box");
    ASSERT_EQ(List()->model()->rowCount(), 10);
    SelectRows({0, 1, 2, 3, 4});
    w->Toolbar()->BDelete->click();
    EXPECT_EQ(store.Headers().Count("Trash Can"), 1);
    EXPECT_EQ(List()->model()->rowCount(), 9);
    EXPECT_TRUE(w->Toolbar()->BTrash->property("trashFull").toBool());
    EXPECT_TRUE(w->Actions().emptyTrash->isEnabled());

    SelectRows({0, 1, 2, 3, 4});
    Key(List(), Qt::Key_Delete);
    EXPECT_EQ(store.Headers().Count("Trash Can"), 6);
    EXPECT_EQ(store.Headers().Count("In Box"), 4);
    EXPECT_EQ(List()->model()->rowCount(), 4);
    EXPECT_TRUE(prompt.Texts().empty());
}

TEST_F(MailWindowTest, InTheTrashDeleteDoesNothingAndShiftDeleteAsksPerMessage) {
    Open();
    for (const char* s : {"t1", "t2", "t3", "t4"}) Add("Trash Can", s);
    C().SelectMailbox("Trash Can");
    ASSERT_EQ(List()->model()->rowCount(), 4);
    SelectRows({0, 1, 2, 3});
    Key(List(), Qt::Key_Delete);
    EXPECT_EQ(List()->model()->rowCount(), 4);
    EXPECT_TRUE(prompt.Texts().empty());

    // Rows show newest first: t4, t3, t2, t1.
    prompt.QueueAnswer(TPromptAnswer::Yes);
    prompt.QueueAnswer(TPromptAnswer::No);
    prompt.QueueAnswer(TPromptAnswer::All);
    Key(List(), Qt::Key_Delete, Qt::ShiftModifier);
    ASSERT_EQ(prompt.Texts().size(), 3u);
    EXPECT_EQ(prompt.Texts()[0].text,
              "Are you sure you want to destroy the message \"t4\"?\r\nClick yes to delete this message.");
    EXPECT_EQ(Subjects(), QStringList{"t3"});
    EXPECT_EQ(store.Headers().Count("Trash Can"), 1);
    // The message kept with "No" is no longer selected.
    EXPECT_TRUE(List()->selectionModel()->selectedRows().isEmpty());
}

TEST_F(MailWindowTest, SelectAllTakesTheRowsOnlyFromTheListAndAForeignHandleIsReported) {
    Open(Showing::Active);
    for (const char* s : {"one", "two", "three"}) Add("In Box", s);
    C().SelectMailbox("Sent Box");
    C().SelectMailbox("In Box");
    QAction* selectAll = w->Actions().selectAll;
    EXPECT_EQ(selectAll->shortcut(), QKeySequence(QStringLiteral("Ctrl+A")));
    Tree()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return C().Pane() == TMailCommands::TPane::Tree; }, 5000));
    EXPECT_FALSE(selectAll->isEnabled());
    QTest::keyClick(Tree(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(List()->selectionModel()->selectedRows().isEmpty());
    List()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return C().Pane() == TMailCommands::TPane::List; }, 5000));
    EXPECT_TRUE(selectAll->isEnabled());
    QTest::keyClick(List(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(List()->selectionModel()->selectedRows().size(), 3);

    // A drag whose handles name no record of this run moves nothing and
    // says so; the row dragged with it still goes.
    const int sent = store.Tree().IndexOf("Sent Box");
    C().MoveRows(sent, {C().ListModel()->HandleAt(0), 999});
    ASSERT_EQ(prompt.Errors().size(), 1u);
    EXPECT_EQ(
        prompt.Errors()[0],
        "Fenmarch Skiffpost encountered and error in Module FILESYS.\r\nReason: HandleToHeader conversion error.");
    EXPECT_EQ(store.Headers().Count("Sent Box"), 1);
    EXPECT_EQ(store.Headers().Length(), 3);
}

TEST_F(MailWindowTest, LeftDownloadsAreStoredInTheOrderTheyWereDownloaded) {
    // A check of "Home" (messages 1 to 10) and then of "Work", all written
    // within one tick of the file system's clock, and a later check of
    // "Archive": the names' order would put Archive first and Home10 before
    // Home2.
    const auto tick = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    const auto download = [&](const std::string& name, int second) {
        const std::string path = dir.File(name + ".tsg");
        WriteFileOrDie(path, "From: Bob <bob@example.org>\r\nSubject: " + name + "\r\n\r\nbody\r\n");
        std::filesystem::last_write_time(path, tick + std::chrono::seconds(second));
    };
    WriteFileOrDie(dir.File("Internet.fmt"), "{\\rtf1 }");
    for (const char* name : {"Work1", "Home10", "Home2", "Home1", "Home9"}) download(name, 0);
    download("Archive1", 5);
    Build();
    ProcessLeftovers();
    Start();
    C().SelectMailbox("In Box");
    ASSERT_TRUE(QTest::qWaitFor([&] { return processing->Idle() && List()->model()->rowCount() == 6; }, 20000));
    // Each stored message takes the top row: the last stored shows first.
    QStringList subjects;
    for (const QString& subject : Subjects()) subjects << subject.trimmed();
    EXPECT_EQ(subjects, (QStringList{"Archive1", "Work1", "Home10", "Home9", "Home2", "Home1"}));
}

TEST_F(MailWindowTest, DraggingOntoTheViewedMailboxChangesNothing) {
    Open();
    const int h = Add("In Box", "stay");
    C().SelectMailbox("Sent Box");
    C().SelectMailbox("In Box");
    C().MoveRows(store.Tree().IndexOf("In Box"), {h});
    EXPECT_EQ(store.Headers().At(h)->Mailbox.str(), "In Box");
    EXPECT_EQ(List()->model()->rowCount(), 1);
    C().MoveRows(store.Tree().IndexOf("Sent Box"), {h});
    EXPECT_EQ(store.Headers().At(h)->Mailbox.str(), "Sent Box");
    EXPECT_EQ(List()->model()->rowCount(), 0);
}

TEST_F(MailWindowTest, EmptyTrashLeavesTheEmptyPictureAndDisablesTheCommand) {
    Open();
    Add("Trash Can", "old");
    C().RefreshTrashIndicator();
    EXPECT_TRUE(w->Actions().emptyTrash->isEnabled());
    const int trash = store.Tree().IndexOf("Trash Can");
    EXPECT_EQ(store.Tree().At(trash).image, 1);
    prompt.QueueAnswer(TPromptAnswer::Yes);
    w->Toolbar()->BTrash->click();
    ASSERT_EQ(prompt.Texts().size(), 1u);
    EXPECT_EQ(prompt.Texts()[0].text,
              "Are you sure you want to empty the Trash Can?\rIf you choose yes you will destroy all 1 trashed "
              "Message(s) forever.");
    EXPECT_EQ(store.Headers().Count("Trash Can"), 0);
    EXPECT_EQ(store.Viewed(), "Trash Can");
    EXPECT_EQ(List()->model()->rowCount(), 0);
    EXPECT_FALSE(w->Actions().emptyTrash->isEnabled());
    EXPECT_FALSE(w->Toolbar()->BTrash->property("trashFull").toBool());
    EXPECT_EQ(store.Tree().At(trash).image, 0);
    EXPECT_EQ(store.Tree().At(trash).selectedImage, 0);
}

TEST_F(MailWindowTest, SortOrdersPerColumnAndDateTwiceGivesTheSameOrder) {
    Open();
    Add("In Box", "b", mfRead, "03/01/26 09:00 AM");
    Add("In Box", "a", mfNew, "12/24/25 08:00 PM");
    Add("In Box", "c", mfRead | mfAttach, "07/04/26 11:30 AM");
    Add("In Box", "d", mfRead, "07/04/26 02:15 PM");
    Add("In Box", "e", mfRead, "01/05/27 12:05 AM");
    Add("In Box", "f", mfRead, "not a date");
    Add("In Box", "g", mfRead, "07/04/26 12:10 PM");
    C().SelectMailbox("Sent Box");
    C().SelectMailbox("In Box");
    auto clickHeader = [&](int column) { emit List()->header()->sectionClicked(column); };
    clickHeader(0);
    EXPECT_EQ(Subjects(), (QStringList{"a", "b", "c", "d", "e", "f", "g"}));
    // Newest first in time, not by the text: January 2027 before July 2026,
    // the afternoon before the morning, noon after the morning; no date last.
    clickHeader(2);
    EXPECT_EQ(Subjects(), (QStringList{"e", "d", "g", "c", "b", "a", "f"}));
    clickHeader(2);
    EXPECT_EQ(Subjects(), (QStringList{"e", "d", "g", "c", "b", "a", "f"}));
    clickHeader(3);
    EXPECT_EQ(Subjects().first(), QStringLiteral("a"));  // "NR" before blanks
    clickHeader(4);
    EXPECT_EQ(Subjects().first(), QStringLiteral("c"));
    EXPECT_FALSE(store.Flags().listFill.IsHeld());
}

TEST_F(MailWindowTest, UnreadRowsAndTheirNodeAreBoldUntilOpened) {
    Open();
    const int h = Add("In Box", "fresh", mfNew | mfAttach);
    store.RefreshMark("In Box");
    store.Tip().SetCount(store.Headers().CountNewAll());
    C().SelectMailbox("Sent Box");
    C().SelectMailbox("In Box");
    auto* list = C().ListModel();
    EXPECT_TRUE(list->index(0, 1).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(list->index(0, 4).data(Qt::DecorationRole).isNull());
    EXPECT_TRUE(list->index(0, 3).data().toString() == QStringLiteral("NR"));
    const QModelIndex node = C().TreeModel()->IndexOfNode(store.Tree().IndexOf("In Box"));
    EXPECT_TRUE(node.data(Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(store.Tip().Count(), 1);

    SelectRows({0});
    w->Actions().view->trigger();
    EXPECT_FALSE(list->index(0, 1).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(list->index(0, 3).data().toString(), QStringLiteral(" "));
    EXPECT_FALSE(node.data(Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(store.Tip().Count(), 0);
    EXPECT_TRUE(store.Headers().At(h)->Has(mfRead));
    QWidget* viewer = OpenPad("FromPad");
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("fresh"));
    EXPECT_EQ(w->Windows().WindowOf(h), viewer);
    // Destroying the message closes its window.
    prompt.QueueAnswer(TPromptAnswer::Yes);
    Key(List(), Qt::Key_Delete, Qt::ShiftModifier);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w->Windows().WindowOf(h), nullptr);
    EXPECT_EQ(OpenPad("FromPad"), nullptr);
}

TEST_F(MailWindowTest, OnlyOutgoingMessagesAreRenamedInPlace) {
    Open();
    const int out = Add("Out Box", "draft", mfQueued);
    Add("Out Box", "came in", mfRead);
    C().SelectMailbox("Out Box");
    auto* list = C().ListModel();
    ASSERT_EQ(list->rowCount(), 2);
    // newest first: "came in", then "draft"
    EXPECT_FALSE(list->flags(list->index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_FALSE(list->setData(list->index(0, 0), QStringLiteral("x")));
    EXPECT_TRUE(list->flags(list->index(1, 0)) & Qt::ItemIsEditable);
    EXPECT_FALSE(list->flags(list->index(1, 1)) & Qt::ItemIsEditable);
    EXPECT_TRUE(list->setData(list->index(1, 0), QStringLiteral("final draft")));
    EXPECT_EQ(store.Headers().At(out)->Subject.str(), "final draft");
    EXPECT_EQ(list->index(1, 0).data().toString(), QStringLiteral("final draft"));
    // Saved: a new run reads the new subject.
    TMailStore again(dir.Path(), ini, prompt, pump);
    again.LoadTree();
    bool found = false;
    for (int i = 0; i < again.Headers().Length(); ++i)
        if (again.Headers().At(i) && again.Headers().At(i)->Subject.str() == "final draft") found = true;
    EXPECT_TRUE(found);
}

TEST_F(MailWindowTest, PreviewShowsTheSelectedMessage) {
    Open();
    Add("In Box", "plain", mfRead, "01/01/26 01:00 AM", "first line\r\nsecond line");
    Add("In Box", "rich", mfRead, "01/01/26 01:00 AM", "{\\rtf1\\ansi {\\b bold} words\\par }");
    C().SelectMailbox("Sent Box");
    C().SelectMailbox("In Box");
    SelectRows({1});
    C().PreviewSelected();
    EXPECT_TRUE(w->MailPage()->STextBox->toPlainText().startsWith(QStringLiteral("first line")));
    SelectRows({0});
    C().PreviewSelected();
    EXPECT_EQ(w->MailPage()->STextBox->toPlainText().trimmed(), QStringLiteral("bold words"));
    C().SelectMailbox("Sent Box");
    EXPECT_TRUE(w->MailPage()->STextBox->toPlainText().isEmpty());
}

TEST_F(MailWindowTest, NodesMoveInTheTreeButNotTheFixedSystemMailboxes) {
    Open();
    Tree()->setCurrentIndex(QModelIndex());
    C().NewMailbox();
    Tree()->setCurrentIndex(QModelIndex());
    C().NewMailbox();  // "New Mailbox (2)"
    TMailboxTree& tree = store.Tree();
    C().MoveNode(tree.IndexOf("New Mailbox (2)"), TMailboxTree::Place::FirstChildOf, tree.IndexOf("New Mailbox"));
    EXPECT_EQ(tree.Parent(tree.IndexOf("New Mailbox (2)")), tree.IndexOf("New Mailbox"));
    C().MoveNode(tree.IndexOf("In Box"), TMailboxTree::Place::LastTopLevel, -1);
    EXPECT_EQ(tree.IndexOf("In Box"), 1);
    C().MoveNode(tree.IndexOf("New Mailbox"), TMailboxTree::Place::Before, tree.IndexOf("In Box"));
    EXPECT_EQ(tree.IndexOf("New Mailbox"), 1);
    EXPECT_EQ(tree.IndexOf("New Mailbox (2)"), 2);
    // Saved at once: the file lists the new order.
    TMailStore again(dir.Path(), ini, prompt, pump);
    again.LoadTree();
    EXPECT_EQ(again.Tree().IndexOf("New Mailbox (2)"), 2);
    EXPECT_EQ(again.Tree().At(2).depth, 1);
}

TEST_F(MailWindowTest, DragStatusTextsOverTheTree) {
    Open();
    C().SelectMailbox("In Box");
    emit Tree()->RowsDraggedOver(store.Tree().IndexOf("Trash Can"));
    EXPECT_EQ(w->StatusText(), QStringLiteral("Send selection to the Trash Can."));
    emit Tree()->RowsDraggedOver(store.Tree().IndexOf("Sent Box"));
    EXPECT_EQ(w->StatusText(), QStringLiteral("Move selection to Sent Box."));
    emit Tree()->RowsDraggedOver(store.Tree().IndexOf("In Box"));
    EXPECT_EQ(w->StatusText(), QStringLiteral("Can not move message to the same mailbox."));
}

}  // namespace

namespace {
TEST_F(MailWindowTest, ViewTimerOpensNewMessagesOnlyWithDisplayMessagesOn) {
    Open();
    const int fresh = Add("In Box", "just in", mfNew);
    const int old = Add("In Box", "seen", mfRead);
    C().ProcessingFinished();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !C().ViewTimer.isActive(); }, 5000));
    QApplication::processEvents();
    EXPECT_EQ(w->Windows().WindowOf(fresh), nullptr);
    EXPECT_TRUE(store.Headers().At(fresh)->Has(mfNew));

    ini.Write(cfg::DisplayMessages, true);
    C().ProcessingFinished();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->Windows().WindowOf(fresh) != nullptr; }, 5000));
    EXPECT_EQ(w->Windows().WindowOf(old), nullptr);
    EXPECT_FALSE(store.Headers().At(fresh)->Has(mfNew));
}
}  // namespace

namespace {
TEST_F(MailWindowTest, ADropFromOutsideTheListLeavesThePreviewEmpty) {
    Open();
    Add("In Box", "message", mfRead);
    C().SelectMailbox("Sent Box");
    C().SelectMailbox("In Box");
    SelectRows({0});
    QMimeData mime;
    std::unique_ptr<QMimeData> rows(C().ListModel()->mimeData({C().ListModel()->index(0, 0)}));
    const QString format = QString::fromLatin1(TMessageListModel::kRowsMime);
    mime.setData(format, rows->data(format));
    mime.setUrls({QUrl::fromLocalFile(dir.File("some.txt").c_str())});
    QWidget* pane = w->MailPage()->STextBox->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pane, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pane, &drop);
    // The pane refuses it; the files go on to the main window, which makes
    // messages of the files it can read (this one does not exist).
    EXPECT_TRUE(w->MailPage()->STextBox->toPlainText().isEmpty());
    EXPECT_EQ(store.Headers().Length(), 1);
}

TEST_F(MailWindowTest, APressBelowTheNodesUnselectsAndAPressOnANodeSelectsIt) {
    Open();
    w->resize(700, 500);
    QApplication::processEvents();
    ASSERT_EQ(store.Viewed(), "In Box");
    QWidget* area = Tree()->viewport();
    QTest::mouseClick(area, Qt::LeftButton, Qt::NoModifier, QPoint(10, area->height() - 3));
    EXPECT_EQ(store.Viewed(), "");
    EXPECT_EQ(w->StatusText(), QStringLiteral("No mailbox selected."));
    const QRect sent = Tree()->visualRect(C().TreeModel()->IndexOfNode(store.Tree().IndexOf("Sent Box")));
    QTest::mouseClick(area, Qt::RightButton, Qt::NoModifier, sent.center());
    EXPECT_EQ(C().SelectedMailbox(), "Sent Box");
    EXPECT_EQ(store.Viewed(), "Sent Box");
}
}  // namespace
