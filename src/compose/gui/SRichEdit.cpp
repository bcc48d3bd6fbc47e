#include "compose/gui/SRichEdit.h"

#include <QAbstractTextDocumentLayout>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QUrl>

#include "compose/LinkDetector.h"
#include "richtext/LinkTarget.h"

TSRichEdit::TSRichEdit(QWidget* parent) : QTextEdit(parent) {
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &TSRichEdit::OnVScroll);
    // A double click opens the link under the mouse, as a browser would.
    connect(this, &TSRichEdit::OnWebLink, this, [this] {
        if (link_.isEmpty()) return;
        QUrl url = QUrl::fromUserInput(link_);
        QDesktopServices::openUrl(url);
    });
}

int TSRichEdit::CurrentLine() const {
    QTextCursor c = textCursor();
    c.setPosition(c.selectionStart());
    return c.blockNumber();
}

int TSRichEdit::CurrentColumn() const {
    QTextCursor c = textCursor();
    return c.selectionStart() - document()->findBlockByNumber(CurrentLine()).position();
}

int TSRichEdit::TopLine() const {
    // A little below the top edge, past the document margin above the first line.
    const int margin = static_cast<int>(document()->documentMargin());
    return cursorForPosition(QPoint(margin, margin + 1)).blockNumber();
}

int TSRichEdit::LineCount() const { return document()->blockCount(); }

void TSRichEdit::GoToLine(int line) {
    line = std::clamp(line, 0, LineCount() - 1);
    QTextCursor c(document()->findBlockByNumber(line));
    setTextCursor(c);
}

void TSRichEdit::GoToColumn(int column) {
    const QTextBlock block = document()->findBlockByNumber(CurrentLine());
    column = std::clamp(column, 0, block.length() - 1);
    QTextCursor c(block);
    c.setPosition(block.position() + column);
    setTextCursor(c);
}

void TSRichEdit::ScrollToLine(int line) {
    line = std::clamp(line, 0, LineCount() - 1);
    const QTextBlock block = document()->findBlockByNumber(line);
    const QRectF r = document()->documentLayout()->blockBoundingRect(block);
    verticalScrollBar()->setValue(static_cast<int>(r.top()) - static_cast<int>(document()->documentMargin()));
}

void TSRichEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    QTextEdit::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) emit OnWebLink();
}

void TSRichEdit::mouseMoveEvent(QMouseEvent* event) {
    QTextEdit::mouseMoveEvent(event);
    DetectLink(event->position().toPoint());
}

void TSRichEdit::DetectLink(const QPoint& at) {
    // Text that leads to an address of its own (a received HTML link) goes
    // there; otherwise an address written out in the line is the link.
    QString found;
    const QString anchor = anchorAt(at);
    if (!anchor.isEmpty() && linktarget::Followable(anchor.toStdString())) {
        found = anchor;
    } else {
        // Only the character under the mouse counts: elsewhere on the line
        // a double click selects a word and opens nothing.
        const QPoint inDocument = at + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
        const int position = document()->documentLayout()->hitTest(inDocument, Qt::ExactHit);
        if (position >= 0) {
            const QTextBlock block = document()->findBlock(position);
            const QString line = block.text();
            const QByteArray utf8 = line.toUtf8();
            const auto column = static_cast<std::size_t>(line.left(position - block.position()).toUtf8().size());
            if (const auto link = linkdetector::LinkAt(std::string_view(utf8.constData(), utf8.size()), column))
                found = QString::fromStdString(*link);
        }
    }
    if (found == link_) return;
    link_ = found;
    viewport()->setCursor(link_.isEmpty() ? Qt::IBeamCursor : Qt::PointingHandCursor);
    emit LinkStatus(link_.isEmpty() ? QString()
                                    : QString::fromStdString(linkdetector::StatusText(link_.toStdString())));
}
