#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <fstream>

#include "app/gui/FileChooser.h"
#include "app/gui/MailboxPorts.h"
#include "app/gui/MailboxTreeModel.h"
#include "app/gui/MainActions.h"
#include "app/gui/MessageListModel.h"
#include "app/gui/PopupMenus.h"
#include "common/FileUtil.h"
#include "store/MailboxName.h"
#include "support/gui/WindowFixture.h"

namespace {

class TAnsweringChooser : public IFileChooser {
public:
    QString answer;
    int filter = 1;
    QString Open(QWidget*, const QString&, const QStringList&) override { return answer; }
    QString Save(QWidget*, const QString&, const QStringList&, int& chosen) override {
        chosen = filter;
        return answer;
    }
    QString OpenFolder(QWidget*, const QString&) override { return answer; }
};

std::string Mbox(int count, const std::string& prefix) {
    std::string mbox;
    for (int i = 0; i < count; ++i)
        mbox += "From a@example.org Mon Nov 30 09:15:00 2026\nFrom: Ann <a@example.org>\nSubject: " + prefix + " " +
                std::to_string(i) + "\nDate: Mon, 30 Nov 2026 09:15:00 +0000\nStatus: O\n\nHello " +
                std::to_string(i) + "\n" + std::string(1000, 'x') + "\n\n";
    return mbox;
}

class MailboxPortsTest : public WindowFixture<> {
protected:
    TAnsweringChooser* chooser = nullptr;

    void OpenWindow() {
        WriteFileOrDie(dir.File("Internet.fmt"), "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\r\n");
        Build();
        auto c = std::make_unique<TAnsweringChooser>();
        chooser = c.get();
        w->SetFileChooser(std::move(c));
        Start(Showing::Shown);
    }

    // Lets the window's loop run the transfer to its end.
    void AwaitTransfer() {
        for (int i = 0; i < 2000 && w->Ports()->Transfer().Busy(); ++i) QTest::qWait(5);
        ASSERT_FALSE(w->Ports()->Transfer().Busy());
    }

    std::string LastInformation() const {
        for (auto it = prompt.Texts().rbegin(); it != prompt.Texts().rend(); ++it)
            if (it->kind == TRecordingPrompt::Shown::Kind::Information) return it->text;
        return {};
    }
};

// A file dropped from the desktop on a mailbox of the tree is imported
// there, the list follows, the summary is shown; File, "Export Mailbox"
// writes the selected mailbox as an mbox another program reads.
TEST_F(MailboxPortsTest, DroppedFileIsImportedIntoTheMailboxAndExportedAgain) {
    OpenWindow();
    WriteFileOrDie(dir.File("dropped.mbox"), Mbox(3, "dropped"));
    ASSERT_TRUE(C().SelectMailbox(TMailboxName::kInBox));
    const int node = store.Tree().IndexOf(TMailboxName::kInBox);
    const QRect rect = Tree()->visualRect(C().TreeModel()->IndexOfNode(node));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.File("dropped.mbox")))});
    QDropEvent drop(QPointF(rect.center()), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    int dropped = 0;
    QObject::connect(Tree(), &TMailboxTreeView::FilesDropped, Tree(), [&dropped] { ++dropped; });
    QDragEnterEvent enter(rect.center(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Tree()->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDragMoveEvent move(rect.center(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Tree()->viewport(), &move);
    EXPECT_TRUE(move.isAccepted());
    QApplication::sendEvent(Tree()->viewport(), &drop);
    ASSERT_EQ(dropped, 1);
    AwaitTransfer();
    EXPECT_EQ(store.Headers().Count(TMailboxName::kInBox), 3);
    EXPECT_EQ(C().ListModel()->rowCount(), 3);  // the rows on view follow the store
    EXPECT_EQ(store.Headers().CountNew(TMailboxName::kInBox), 3);
    EXPECT_EQ(LastInformation(), "3 messages imported into In Box.");

    chooser->answer = QString::fromStdString(dir.File("out"));
    chooser->filter = 1;
    w->Actions().exportMailbox->trigger();
    AwaitTransfer();
    const auto written = fileutil::ReadAll(dir.File("out.mbox"));
    ASSERT_TRUE(written);
    EXPECT_EQ(written->rfind("From ", 0), 0u);
    EXPECT_NE(written->find("Subject: dropped 2\n"), std::string::npos);
    EXPECT_EQ(LastInformation(), "3 messages exported to " + dir.File("out.mbox") + ".");
    EXPECT_TRUE(prompt.Errors().empty());
}

// File, Import, "Mailbox" of a long file shows the progress dialog; its
// Cancel stops the import with what was stored so far kept and counted.
TEST_F(MailboxPortsTest, CancelInTheProgressDialogKeepsWhatWasImported) {
    OpenWindow();
    WriteFileOrDie(dir.File("Long.mbox"), Mbox(1000, "long"));
    TMailboxTransfer& transfer = w->Ports()->Transfer();
    transfer.SetStepBudget(0);  // a message a step
    // The user presses Cancel once some messages are in.
    QObject::connect(&transfer, &TMailboxTransfer::Stepped, &transfer, [&transfer](qint64 stored) {
        if (stored < 20 || !transfer.Dialog()) return;
        if (auto* button = transfer.Dialog()->findChild<QPushButton*>()) button->click();
    });
    chooser->answer = QString::fromStdString(dir.File("Long.mbox"));
    w->Actions().importMailbox->trigger();
    ASSERT_TRUE(transfer.Busy());
    AwaitTransfer();
    const int kept = store.Headers().Count("Long");
    EXPECT_GE(kept, 20);
    EXPECT_LT(kept, 1000);
    EXPECT_EQ(LastInformation(), std::to_string(kept) + " messages imported into Long before the import was cancelled.");
}

}  // namespace
