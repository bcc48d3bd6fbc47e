#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QDesktopServices>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QUrl>

#include "compose/gui/AttachmentList.h"
#include "compose/gui/FMViewer.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"

namespace {

// Takes the files the desktop would be asked to open.
class TOpenCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void Open(const QUrl& url) { opened << url; }
};

}  // namespace

// A received attachment that would run when opened (by its name, by its
// content, or by a run bit) is opened only after the user agreed, told its
// real name; a document opens without a question.
TEST(AttachmentList, AReceivedProgramIsOpenedOnlyWhenTheUserAgrees) {
    TTempDir dir;
    WriteFileOrDie(dir.File("setup.exe"), "MZ\x90\x00 a Windows program");
    WriteFileOrDie(dir.File("invoice.pdf"), std::string("\x7f" "ELF\x02\x01\x01", 7) + std::string(64, '\0'));
    WriteFileOrDie(dir.File("notes.txt"), "#!/bin/sh\necho hi\n");
    ::chmod(dir.File("notes.txt").c_str(), 0755);
    WriteFileOrDie(dir.File("letter.txt"), "Dear Ann,\n");

    TOpenCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "Open");
    TRecordingPrompt prompt;
    TAttachmentList list(false, nullptr);
    list.SetPrompt(&prompt);
    list.SetPaths({dir.File("setup.exe"), dir.File("invoice.pdf"), dir.File("notes.txt"), dir.File("letter.txt")});

    prompt.QueueAnswer(TPromptAnswer::No);
    prompt.QueueAnswer(TPromptAnswer::Yes);
    prompt.QueueAnswer(TPromptAnswer::No);
    list.selectAll();
    QTest::keyClick(&list, Qt::Key_Return);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

    ASSERT_EQ(prompt.Texts().size(), 3u);
    EXPECT_NE(prompt.Texts()[0].text.find("setup.exe"), std::string::npos);
    EXPECT_NE(prompt.Texts()[1].text.find("invoice.pdf"), std::string::npos);  // an ELF program named as a PDF
    EXPECT_NE(prompt.Texts()[2].text.find("notes.txt"), std::string::npos);
    ASSERT_EQ(catcher.opened.size(), 2);
    EXPECT_EQ(catcher.opened[0].toLocalFile().toStdString(), dir.File("invoice.pdf"));
    EXPECT_EQ(catcher.opened[1].toLocalFile().toStdString(), dir.File("letter.txt"));
}

// "View" opens a file viewer per selected item: the composer's titled with
// the file's name, the reader's with its whole path.
TEST(AttachmentList, TheViewerIsTitledWithTheNameInTheComposerAndThePathInTheReader) {
    TTempDir dir;
    WriteFileOrDie(dir.File("notes.txt"), "Dear Ann,\n");
    const QString path = QString::fromStdString(dir.File("notes.txt"));
    for (const bool composer : {true, false}) {
        TAttachmentList list(composer, nullptr);
        list.SetPaths({dir.File("notes.txt")});
        list.selectAll();
        list.view->trigger();
        TFMViewer* viewer = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* v = qobject_cast<TFMViewer*>(top); v && v->isVisible()) viewer = v;
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(viewer->windowTitle(),
                  QStringLiteral("The Fenmarch File Viewer - ") + (composer ? QStringLiteral("notes.txt") : path));
        EXPECT_TRUE(viewer->ViewBox()->toPlainText().startsWith(QStringLiteral("Dear Ann,")));
        viewer->close();  // it frees itself
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

#include "AttachmentListTest.moc"
