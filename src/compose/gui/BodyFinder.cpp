#include "compose/gui/BodyFinder.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include "common/UserPrompt.h"
#include "compose/gui/BodyFindDialog.h"

TBodyFinder::TBodyFinder(QTextEdit& body, IUserPrompt& prompt, QWidget* window)
    : QObject(window), body_(body), prompt_(prompt), window_(window) {}

TBodyFindDialog* TBodyFinder::Dialog() const { return dialog_; }

void TBodyFinder::Open() {
    if (!dialog_) {
        dialog_ = new TBodyFindDialog(window_);
        connect(dialog_, &TBodyFindDialog::FindNext, this, &TBodyFinder::FindNext);
    }
    // A selection over several paragraphs would not fit the one-line box.
    QString selected = body_.textCursor().selectedText();
    if (const auto cut = selected.indexOf(QChar::ParagraphSeparator); cut >= 0) selected.truncate(cut);
    if (!selected.isEmpty()) dialog_->SetText(selected);
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
}

bool TBodyFinder::FindNext() {
    if (!dialog_ || dialog_->Text().isEmpty()) return false;
    const QString text = dialog_->Text();
    QTextDocument::FindFlags flags;
    if (dialog_->MatchCase()) flags |= QTextDocument::FindCaseSensitively;
    if (dialog_->WholeWord()) flags |= QTextDocument::FindWholeWords;

    QTextCursor from = body_.textCursor();
    from.setPosition(from.selectionEnd());
    const QTextCursor found = body_.document()->find(text, from, flags);
    if (!found.isNull()) {
        body_.setTextCursor(found);
        body_.ensureCursorVisible();
        return true;
    }
    // The caret's paragraph shows its first hit, so the last place looked
    // at is not left without a mark.
    const QTextBlock block = from.block();
    QTextCursor start(block);
    const QTextCursor inBlock = body_.document()->find(text, start, flags);
    if (!inBlock.isNull() && inBlock.selectionEnd() <= block.position() + block.length() - 1)
        body_.setTextCursor(inBlock);
    prompt_.Information(kFinished);
    dialog_->close();
    return false;
}
