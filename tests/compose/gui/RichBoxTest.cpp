#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QTextBrowser>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QUrl>

#include "compose/gui/FMViewer.h"
#include "compose/gui/FileDrag.h"
#include "compose/gui/SRichEdit.h"
#include "richtext/RtfReader.h"
#include "richtext/gui/QtRichText.h"

TEST(SRichEdit, LineAndColumnNavigationClamps) {
    TSRichEdit box;
    box.setPlainText("first line\nsecond\nthird line here");
    EXPECT_EQ(box.LineCount(), 3);
    box.GoToLine(1);
    EXPECT_EQ(box.CurrentLine(), 1);
    EXPECT_EQ(box.CurrentColumn(), 0);
    box.GoToColumn(4);
    EXPECT_EQ(box.CurrentColumn(), 4);
    box.GoToColumn(99);  // clamped to the line's length
    EXPECT_EQ(box.CurrentColumn(), 6);
    box.GoToLine(99);
    EXPECT_EQ(box.CurrentLine(), 2);
    box.GoToLine(-3);
    EXPECT_EQ(box.CurrentLine(), 0);
    EXPECT_FALSE(box.textCursor().hasSelection());
}

TEST(SRichEdit, ScrollingBeyondTheLastLineShowsTheLast) {
    TSRichEdit box;
    QStringList lines;
    for (int i = 0; i < 200; ++i) lines << QString::number(i);
    box.setPlainText(lines.join('\n'));
    box.resize(200, 100);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QSignalSpy scrolled(&box, &TSRichEdit::OnVScroll);
    box.ScrollToLine(50);
    EXPECT_EQ(box.TopLine(), 50);
    EXPECT_GE(scrolled.count(), 1);
    box.ScrollToLine(5000);
    EXPECT_GT(box.TopLine(), 150);  // as far as the last line allows
}

TEST(SRichEdit, MouseOverALinkReportsIt) {
    TSRichEdit box;
    box.setPlainText("hello world\nsee www.example.com now");
    box.resize(400, 200);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QSignalSpy status(&box, &TSRichEdit::LinkStatus);
    // Over the link's own letters ("see " is four characters in).
    const auto over = [&](int block, int column) {
        QTextCursor c(box.document()->findBlockByNumber(block));
        c.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
        return box.cursorRect(c).center() + QPoint(3, 0);
    };
    QTest::mouseMove(box.viewport(), over(1, 6));
    EXPECT_EQ(box.LinkText(), QStringLiteral("www.example.com"));
    ASSERT_FALSE(status.isEmpty());
    EXPECT_EQ(status.last().at(0).toString(), QStringLiteral("Shortcut to www.example.com"));
    QTest::mouseMove(box.viewport(), over(0, 1));
    EXPECT_TRUE(box.LinkText().isEmpty());
    EXPECT_TRUE(status.last().at(0).toString().isEmpty());
    // Elsewhere on the link's line there is no link: a double click there
    // selects a word and opens nothing.
    QTest::mouseMove(box.viewport(), over(1, 1));
    EXPECT_TRUE(box.LinkText().isEmpty());
}

// A secure address written out in a line is opened as it is written, never
// as the plain "www" address inside it.
TEST(SRichEdit, ADoubleClickOnAWrittenSecureAddressOpensItWhole) {
    TSRichEdit box;
    box.setPlainText("read https://www.example.com/a?b=1 and more");
    box.resize(500, 200);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    const auto over = [&](int column) {
        QTextCursor c(box.document()->firstBlock());
        c.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
        return box.cursorRect(c).center() + QPoint(3, 0);
    };
    QTextBrowser secure, plain;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &secure, "setSource");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &plain, "setSource");
    QTest::mouseMove(box.viewport(), over(40));  // "more"
    QTest::mouseDClick(box.viewport(), Qt::LeftButton, {}, over(40));
    EXPECT_TRUE(secure.source().isEmpty());
    QTest::mouseMove(box.viewport(), over(15));  // inside the address
    EXPECT_EQ(box.LinkText(), QStringLiteral("https://www.example.com/a?b=1"));
    QTest::mouseDClick(box.viewport(), Qt::LeftButton, {}, over(15));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    EXPECT_EQ(secure.source(), QUrl(QStringLiteral("https://www.example.com/a?b=1")));
    EXPECT_TRUE(plain.source().isEmpty());
}

// A received HTML link is text that leads to its address: the mouse over
// it names the address, which a double click opens; an address that may
// not be followed (a local file) is no link.
TEST(SRichEdit, MouseOverALinkFieldReportsItsAddress) {
    TSRichEdit box;
    qtrichtext::Fill(*box.document(),
                     TRtfReader::Read("{\\rtf1 {\\field{\\*\\fldinst{HYPERLINK \"https://example.com/review?t=1\"}}"
                                      "{\\fldrslt Review activity}}\\par {\\field{\\*\\fldinst{HYPERLINK "
                                      "\"file:///bin/sh\"}}{\\fldrslt Open me}}\\par plain\\par}"));
    box.resize(400, 200);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QSignalSpy status(&box, &TSRichEdit::LinkStatus);
    const auto at = [&](int block) {
        return box.cursorRect(QTextCursor(box.document()->findBlockByNumber(block))).center() + QPoint(5, 0);
    };
    QTest::mouseMove(box.viewport(), at(0));
    EXPECT_EQ(box.LinkText(), QStringLiteral("https://example.com/review?t=1"));
    ASSERT_FALSE(status.isEmpty());
    EXPECT_EQ(status.last().at(0).toString(), QStringLiteral("Shortcut to https://example.com/review?t=1"));
    QTest::mouseMove(box.viewport(), at(1));
    EXPECT_TRUE(box.LinkText().isEmpty());
    // The desktop's handler of web addresses stands in for the browser.
    QTextBrowser browser;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "setSource");
    QTest::mouseMove(box.viewport(), at(0));
    QTest::mouseDClick(box.viewport(), Qt::LeftButton, {}, at(0));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    EXPECT_EQ(browser.source(), QUrl(QStringLiteral("https://example.com/review?t=1")));
}

TEST(FMViewer, CaptionNamesTheFile) {
    auto* viewer = new TFMViewer;
    viewer->SetFileName(QStringLiteral("notes.txt"));
    viewer->show();
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("The Fenmarch File Viewer - notes.txt"));
    EXPECT_TRUE(viewer->ViewBox()->isReadOnly());
    viewer->close();  // frees itself
}

TEST(FileDrag, DropOfLocalFilesFillsTheLists) {
    QWidget owner;
    TFileDrag drag(&owner);
    drag.SetEnableDrop(true);
    EXPECT_TRUE(owner.acceptDrops());
    QSignalSpy dropped(&drag, &TFileDrag::OnDrop);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/tmp/a.b.c"), QUrl::fromLocalFile("/tmp/plain")});
    EXPECT_TRUE(drag.Take(&mime));
    ASSERT_EQ(dropped.count(), 1);
    EXPECT_EQ(drag.Files().FileCount, 2);
    EXPECT_EQ(drag.Files().Extension[0], "b.c");
    // A drop of something that is not a file is not taken.
    QMimeData text;
    text.setText(QStringLiteral("hello"));
    EXPECT_FALSE(drag.Take(&text));
    EXPECT_EQ(dropped.count(), 1);
    drag.SetEnableDrop(false);
    EXPECT_FALSE(owner.acceptDrops());
}
