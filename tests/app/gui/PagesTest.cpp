#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "app/gui/ControlCenter.h"
#include "app/gui/FMListView.h"
#include "app/gui/MailCommands.h"
#include "app/gui/MailPage.h"
#include "app/gui/MailboxTreeModel.h"
#include "app/gui/MailboxTreeView.h"
#include "app/gui/MainActions.h"
#include "app/gui/MainToolbar.h"
#include "app/gui/MessageWindows.h"
#include "app/gui/PopupMenus.h"
#include "compose/gui/MessageWindow.h"
#include "config/ConfigKeys.h"
#include "mail/MessageDestroyer.h"
#include "mail/MessageMover.h"
#include "store/MailStore.h"
#include "store/MailboxOperations.h"
#include "support/gui/WindowFixture.h"

namespace {

class PagesTest : public WindowFixture<> {
protected:
    void Open() { WindowFixture::Open(Showing::Active); }

    int Add(const std::string& mailbox, const std::string& subject) {
        return Put(Record(mailbox, subject), "body of " + subject);
    }
    void SelectRow(int row) { SelectRows({row}); }
    void Focus(QWidget* widget) {
        widget->setFocus();
        QApplication::processEvents();
        ASSERT_TRUE(widget->hasFocus());
    }
    QAction* Button(TToolButton* b) { return b->defaultAction(); }
    QAction* Item(const char* name) { return w->findChild<QAction*>(QString::fromLatin1(name)); }
};

// A message window that records what the registry tells it.
class TRecordingWindow : public QWidget, public IMessageWindow {
public:
    TRecordingWindow() { setAttribute(Qt::WA_DeleteOnClose); }
    QWidget* Widget() override { return this; }
    void RecordMoved(int handle, const std::string& from, const std::string& to) override {
        told->push_back("moved " + std::to_string(handle) + " " + from + " > " + to);
    }
    void RecordChanged(int handle) override { told->push_back("changed " + std::to_string(handle)); }
    void RecordDestroyed(int handle) override { told->push_back("destroyed " + std::to_string(handle)); }
    std::shared_ptr<std::vector<std::string>> told = std::make_shared<std::vector<std::string>>();
};

}  // namespace

TEST_F(PagesTest, SharedCommandsOnAListPageTouchNoMessage) {
    Open();
    Add("In Box", "one");
    Add("In Box", "two");
    C().SelectMailbox("Sent Box");
    C().SelectMailbox("In Box");
    Focus(List());
    SelectRow(0);
    EXPECT_TRUE(w->Actions().remove->isEnabled());
    EXPECT_TRUE(Button(w->Toolbar()->BDelete)->isEnabled());

    for (int page = 1; page <= 4; ++page) {
        w->Pages()->setCurrentIndex(page);
        EXPECT_EQ(w->CurrentPage(), w->Page(page));
        EXPECT_EQ(w->CurrentPage()->Widget(), w->Pages()->currentWidget());
        // Nothing on an empty list can be edited, renamed, deleted or printed.
        for (QAction* a : {w->Actions().view, w->Actions().rename, w->Actions().remove, w->Actions().print,
                           w->Actions().exportMessage, Button(w->Toolbar()->BDelete), Button(w->Toolbar()->BView),
                           Button(w->Toolbar()->BRename)})
            EXPECT_FALSE(a->isEnabled()) << page << " " << a->objectName().toStdString();
        // Triggered all the same (a shortcut, a stale menu): they go to the page showing.
        for (QAction* a : {w->Actions().view, w->Actions().rename, w->Actions().remove, w->Actions().selectAll,
                           Button(w->Toolbar()->BDelete)})
            a->trigger();
        w->Toolbar()->BDelete->click();
    }
    EXPECT_EQ(store.Headers().Count("In Box"), 2);
    EXPECT_EQ(store.Headers().Count("Trash Can"), 0);
    EXPECT_EQ(OpenPad("FromPad"), nullptr);
    EXPECT_TRUE(prompt.Texts().empty());

    // Back on the mail page the selection is acted on again.
    w->Pages()->setCurrentIndex(0);
    EXPECT_TRUE(w->Actions().remove->isEnabled());
    w->Toolbar()->BDelete->click();
    EXPECT_EQ(store.Headers().Count("Trash Can"), 1);
}

TEST_F(PagesTest, DeleteGoesToThePaneThatHadTheFocusLast) {
    Open();
    ASSERT_TRUE(C().Operations().CreateMailbox("Work", -1));
    Add("Work", "filed");
    Add("In Box", "kept");
    ASSERT_TRUE(C().SelectMailbox("Work"));
    Focus(Tree());
    EXPECT_EQ(C().Pane(), TMailCommands::TPane::Tree);
    EXPECT_TRUE(w->Actions().remove->isEnabled());
    // The tool button takes no focus: the tree still counts.
    prompt.QueueAnswer(TPromptAnswer::Yes);
    w->Toolbar()->BDelete->click();
    EXPECT_EQ(store.Tree().IndexOf("Work"), -1);
    ASSERT_EQ(prompt.Texts().size(), 1u);
    EXPECT_EQ(prompt.Texts()[0].text, TMailboxOperations::DeleteQuestion("Work", 1));
    EXPECT_EQ(store.Headers().Count("Trash Can"), 0);

    // A system mailbox in the tree cannot be deleted; the list's message can.
    ASSERT_TRUE(C().SelectMailbox("In Box"));
    Focus(Tree());
    EXPECT_FALSE(w->Actions().remove->isEnabled());
    EXPECT_FALSE(Button(w->Toolbar()->BDelete)->isEnabled());
    Focus(List());
    SelectRow(0);
    EXPECT_EQ(C().Pane(), TMailCommands::TPane::List);
    EXPECT_TRUE(Button(w->Toolbar()->BDelete)->isEnabled());
    w->Actions().remove->trigger();
    EXPECT_EQ(store.Headers().Count("Trash Can"), 1);
    EXPECT_GE(store.Tree().IndexOf("In Box"), 0);
}

TEST_F(PagesTest, PopupItemsAreNamedActionsWiredToTheirPage) {
    Open();
    for (const char* name : {"AddressPopupNew", "AddressPopupEdit", "AddressPopupRename", "AddressPopupImport",
                             "AddressPopupDelete", "SigFilePopupImport", "FiltersPopupDelete", "PopupAccountsEdit",
                             "CategoryLBNew", "CategoryLBRename", "CategoryLBDelete", "STextBoxCopy"})
        EXPECT_NE(Item(name), nullptr) << name;
    EXPECT_EQ(Item("PopupAccountsEdit")->text(), QStringLiteral("&Edit"));
    ASSERT_TRUE(C().Operations().CreateMailbox("Old", -1));
    ASSERT_TRUE(C().SelectMailbox("Old"));
    emit w->Popups()->CategoryLBPopup->aboutToShow();
    EXPECT_TRUE(Item("CategoryLBDelete")->isEnabled());
    Item("CategoryLBDelete")->trigger();
    EXPECT_EQ(store.Tree().IndexOf("Old"), -1);
    ASSERT_TRUE(C().SelectMailbox("In Box"));
    emit w->Popups()->CategoryLBPopup->aboutToShow();
    EXPECT_FALSE(Item("CategoryLBDelete")->isEnabled());
    EXPECT_FALSE(Item("CategoryLBRename")->isEnabled());
    // The list pages' items follow their (empty) page.
    emit w->Popups()->AddressPopup->aboutToShow();
    EXPECT_FALSE(Item("AddressPopupDelete")->isEnabled());
}

TEST_F(PagesTest, ToolButtonsShowTheirActions) {
    Open();
    for (TToolButton* b : {w->Toolbar()->BView, w->Toolbar()->BDelete, w->Toolbar()->BTrash, w->Toolbar()->MailCheck}) {
        ASSERT_NE(b->defaultAction(), nullptr);
        EXPECT_EQ(b->isEnabled(), b->defaultAction()->isEnabled());
        EXPECT_EQ(b->text(), b->defaultAction()->text());
    }
    EXPECT_EQ(w->Toolbar()->BView->toolTip(), QStringLiteral("View selected message"));
    Button(w->Toolbar()->BView)->setEnabled(true);  // a change of the action keeps the hint
    EXPECT_EQ(w->Toolbar()->BView->toolTip(), QStringLiteral("View selected message"));
    EXPECT_TRUE(w->Toolbar()->BDelete->toolTip().isEmpty());
}

TEST_F(PagesTest, OneWindowPerRecordRaisedWhenOpenedAgainAndClosedWithItsRecord) {
    Open();
    const int h = Add("In Box", "letter");
    const int other = Add("In Box", "other");
    C().OpenMessage(h);
    QWidget* first = w->Windows().WindowOf(h);
    ASSERT_NE(first, nullptr);
    C().OpenMessage(h);
    EXPECT_EQ(w->Windows().WindowOf(h), first);
    EXPECT_EQ(w->Windows().Count(), 1);
    EXPECT_EQ(TopLevelCount("FromPad"), 1);

    // A window of another kind registers through the same interface.
    auto* recording = new TRecordingWindow;
    const auto told = recording->told;
    int made = 0;
    w->Windows().Open(other, [&] {
        ++made;
        return recording;
    });
    w->Windows().Open(other, [&] {
        ++made;
        return new TRecordingWindow;
    });
    EXPECT_EQ(made, 1);
    EXPECT_EQ(w->Windows().Find(other), recording);
    ASSERT_TRUE(C().Operations().CreateMailbox("Kept", -1));
    TMessageMover(store).MoveToMailbox({other}, "Kept");
    ASSERT_TRUE(C().Operations().RenameMailbox("Kept", "Archive"));
    store.ChangeRecord(other, [](THeaderItem& r) { r.Subject = "renamed"; });
    TMessageDestroyer(store).Destroy({other, h});
    EXPECT_EQ(*told,
              (std::vector<std::string>{"moved " + std::to_string(other) + " In Box > Kept",
                                        "moved " + std::to_string(other) + " Kept > Archive",
                                        "changed " + std::to_string(other), "destroyed " + std::to_string(other)}));
    EXPECT_EQ(w->Windows().Count(), 0);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(OpenPad("FromPad"), nullptr);

    // A window the user closes leaves the registry; the next open makes a new one.
    C().OpenMessage(Add("In Box", "again"));
    ASSERT_EQ(w->Windows().Count(), 1);
    OpenPad("FromPad")->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w->Windows().Count(), 0);
}

// While a box is up (its own event loop running) an operation further out
// may hold a busy flag; a command from that loop is refused instead of
// waiting for ever.
TEST_F(PagesTest, ACommandDuringABoxThatHoldsAFlagIsRefused) {
    Open();
    Add("In Box", "one");
    C().SelectMailbox("Sent Box");
    C().SelectMailbox("In Box");
    Focus(List());
    SelectRow(0);
    bool ran = false;
    prompt.whileShown = [&](const TRecordingPrompt::Shown&) {
        if (ran) return;
        ran = true;
        w->Toolbar()->BDelete->click();
        w->Actions().emptyTrash->trigger();
    };
    ASSERT_TRUE(store.Flags().indexSave.TryTake());
    store.Prompt().Error("a box raised during an index save");
    store.Flags().indexSave.Release();
    EXPECT_TRUE(ran);
    EXPECT_EQ(store.Headers().Count("In Box"), 1);
    EXPECT_EQ(w->StatusText(), TMailCommands::BusyText());
    // Once the flag is free the same command runs.
    w->Toolbar()->BDelete->click();
    EXPECT_EQ(store.Headers().Count("Trash Can"), 1);
}
