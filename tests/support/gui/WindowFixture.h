#pragma once

#include <QApplication>
#include <QItemSelectionModel>
#include <QList>
#include <QTest>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

#include "app/gui/ControlCenter.h"
#include "app/gui/FMListView.h"
#include "app/gui/LeftoverProcessing.h"
#include "app/gui/ListPages.h"
#include "app/gui/MailCommands.h"
#include "app/gui/MailPage.h"
#include "app/gui/MailboxTreeView.h"
#include "common/SleepPump.h"
#include "store/HeaderItem.h"
#include "store/MailStore.h"
#include "support/gui/DataFolderFixture.h"

// The main window over a store in a fresh data folder, put together as the
// program does it. A test lays out the files it wants found, then opens the
// window. Pump is what the store runs while it waits for a flag another
// thread holds: TQtEventPump where that thread posts to the window and the
// wait must let it through, as in the program.
template <class Pump = TSleepPump>
class WindowFixture : public DataFolderFixture {
protected:
    // How far a test needs the window on screen before it goes on.
    enum class Showing { Hidden, Shown, Exposed, Active };

    Pump pump;
    TMailStore store{dir.Path(), ini, prompt, pump};
    std::unique_ptr<TControlCenter> w;
    // Declared after the window so that it goes first, as in the program:
    // it works with the window's filters.
    std::unique_ptr<TLeftoverProcessing> processing;

    void TearDown() override {
        processing.reset();
        w.reset();
        // Whatever the window left for deletion goes with this test instead
        // of running into the next one's event loop.
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A new window over this run's store, or over the store of a later run;
    // it is not started yet, so a test can still set what start-up uses.
    TControlCenter& Build(TMailStore& over) {
        w = std::make_unique<TControlCenter>(ini, folders, prompt);
        w->SetStore(over);
        return *w;
    }
    TControlCenter& Build() { return Build(store); }

    // Leftover downloads processed as the program wires it: a thread of
    // their own over this run's store, and the window told when a run is
    // done. Between Build and Start.
    void ProcessLeftovers() {
        processing = std::make_unique<TLeftoverProcessing>(store, folders, prompt, w->ListPages()->Filters(),
                                                           w->FilterActions());
        w->SetLeftoverProcessing([this] { processing->Start([this] { w->Commands()->ProcessingFinished(); }); });
    }

    // Starts the built window and brings it as far on screen as asked, then
    // forgets the boxes start-up showed, so that a test sees its own only.
    void Start(Showing showing = Showing::Hidden) {
        w->Initialise();
        if (showing != Showing::Hidden) w->show();
        if (showing == Showing::Exposed) {
            ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        }
        if (showing == Showing::Active) {
            w->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        }
        prompt.Clear();
    }
    void Open(Showing showing = Showing::Hidden) {
        Build();
        Start(showing);
    }

    TMailCommands& C() { return *w->Commands(); }
    TFMListView* List() { return w->MailPage()->StickitLB; }
    TMailboxTreeView* Tree() { return w->MailPage()->CategoryLB; }
    void SelectRows(const QList<int>& rows) {
        List()->clearSelection();
        for (int r : rows)
            List()->selectionModel()->select(List()->model()->index(r, 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    // A record for a mailbox that is not in the store yet: a plain-text
    // message already read, its body not stored anywhere.
    static std::unique_ptr<THeaderItem> Record(const std::string& mailbox, const std::string& subject) {
        auto item = std::make_unique<THeaderItem>();
        item->Mailbox = mailbox;
        item->Subject = subject;
        item->MsgType = "Text";
        item->Flags = mfRead;
        item->Offset = -1;
        return item;
    }
    // Adds the record to the store's list with its body in the mailbox's
    // message file; the handle it has there.
    int Put(std::unique_ptr<THeaderItem> item, const std::string& body) {
        const int handle = store.AddRecord(*item, body);
        EXPECT_GE(store.Headers().At(handle)->Offset, 0);
        return handle;
    }

    // The message windows are top-level windows of their own: the one showing
    // with this name, or nullptr.
    static QWidget* OpenPad(const char* name) {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QLatin1String(name) && !widget->testAttribute(Qt::WA_WState_Hidden) &&
                widget->isVisible())
                return widget;
        return nullptr;
    }
    static int TopLevelCount(const char* name) {
        int n = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QLatin1String(name) && widget->isVisible()) ++n;
        return n;
    }
};
