#include "app/gui/HelpWindow.h"

#include <QFile>
#include <QTextBlock>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "common/AppTitle.h"

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("THelpWindow"));
    setWindowTitle(QString::fromLatin1(kAppTitle) + QStringLiteral(" Help"));
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(640, 560);
}

bool THelpWindow::Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError) return false;
    browser_->setMarkdown(QString::fromUtf8(text));
    return true;
}

void THelpWindow::ShowSection(const QString& heading) {
    QTextCursor at(browser_->document());
    for (QTextBlock block = browser_->document()->begin(); block.isValid() && !heading.isEmpty();
         block = block.next()) {
        if (block.blockFormat().headingLevel() > 0 && block.text().trimmed() == heading) {
            at = QTextCursor(block);
            break;
        }
    }
    show();
    raise();
    activateWindow();
    // From the end back to the place, so the heading comes to the top.
    browser_->moveCursor(QTextCursor::End);
    browser_->setTextCursor(at);
    browser_->ensureCursorVisible();
}
