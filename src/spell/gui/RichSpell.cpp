#include "spell/gui/RichSpell.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <algorithm>

#include "common/UserPrompt.h"
#include "common/Windows1252.h"
#include "common/gui/QtText.h"
#include "spell/WordWalker.h"
#include "spell/gui/RichEditText.h"
#include "spell/gui/SugDialog.h"

namespace {

// Pending window events run at least this often while the checker scans, so
// the program stays responsive without paying for an event round per word.
constexpr int kPumpMs = 20;

}  // namespace

TRichSpell::TRichSpell(IUserPrompt& prompt, QWidget* window)
    : QObject(window), prompt_(prompt), dialog_(new TSugDialog(engine_, window)) {
    dialog_->hide();
}

TRichSpell::~TRichSpell() = default;

bool TRichSpell::CheckRich(QTextEdit* box) {
    if (!box) return false;
    const QTextBlock last = box->document()->lastBlock();
    return Check(box, {0, 0}, {last.blockNumber(), last.length() - 1});
}

bool TRichSpell::CheckRichSelection(QTextEdit* box) {
    if (!box || !box->textCursor().hasSelection()) return false;
    const QTextCursor selection = box->textCursor();
    QTextDocument* doc = box->document();
    auto isLetter = [](QChar c) {
        const auto byte = cp1252::FromUnicode(c.unicode());
        return byte ? TWordWalker::IsLetter(*byte) : c.isLetter() || c.isMark() || c.isSurrogate();
    };
    int start = selection.selectionStart();
    int end = selection.selectionEnd();
    while (start > 0 && isLetter(doc->characterAt(start - 1))) --start;
    while (end < doc->characterCount() - 1 && (isLetter(doc->characterAt(end)) || doc->characterAt(end) == u'\''))
        ++end;
    const QTextBlock first = doc->findBlock(start);
    const QTextBlock lastBlock = doc->findBlock(end);
    return Check(box, {first.blockNumber(), start - first.position()},
                 {lastBlock.blockNumber(), end - lastBlock.position()});
}

bool TRichSpell::Check(QTextEdit* box, TTextPoint from, TTextPoint to) {
    if (checking_) {
        // One check at a time: the dialog asks about the other text's word.
        dialog_->raise();
        dialog_->activateWindow();
        return false;
    }
    checking_ = true;
    box_ = box;
    boxPalette_ = box->palette();
    KeepHighlightVisible(box);
    dialog_->SetMaxSuggestions(MaxSuggestions);
    bool finished = false;
    if (OpenDictionaries()) {
        text_ = std::make_unique<TRichEditText>(box);
        dialog_->ShowScanning();
        const int start = text_->Position(from.line, 0);
        QTextCursor caret = box->textCursor();
        caret.setPosition(std::max(start, 0));
        box->setTextCursor(caret);
        dialog_->Clear();
        dialog_->ResetResult();
        dialog_->SetControlsEnabled(false);
        QCoreApplication::processEvents();
        sincePump_.start();
        TSpellCheck check(engine_, lists_, userIdentity_);
        finished = !check.Run(*text_, from, to, *this).cancelled;
        if (box_) {
            QTextCursor back = box_->textCursor();
            back.setPosition(std::clamp(start, 0, box_->document()->characterCount() - 1));
            box_->setTextCursor(back);
        }
        dialog_->hide();
        text_.reset();
    }
    if (!LeaveDictionariesOpen) {
        engine_.CloseAll();
        open_ = false;
        userIdentity_ = 0;
    }
    if (box_) box_->setPalette(boxPalette_);
    box_.clear();
    checking_ = false;
    return finished;
}

bool TRichSpell::OpenDictionaries() {
    if (open_) return true;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        dialog_->adjustSize();
        QRect frame = dialog_->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        dialog_->move(frame.topLeft());
    }
    if (!engine_.OpenMainDictionary(DictionaryMain)) {
        engine_.CloseAll();
        prompt_.Error("Could not open dictionary");
        return false;
    }
    int identity = engine_.OpenUserDictionary(DictionaryUser);
    if (identity == -1) identity = engine_.CreateUserDictionary(DictionaryUser);
    userIdentity_ = identity;
    open_ = true;
    return true;
}

void TRichSpell::KeepHighlightVisible(QTextEdit* box) {
    // The box draws its selection in the inactive colours once the dialog
    // has the focus; those are often too pale to see the word by.
    QPalette palette = box->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    box->setPalette(palette);
}

void TRichSpell::Highlight(const TWordSpan& word) {
    if (!box_ || !text_) return;
    const int from = text_->Position(word.line, word.start);
    QTextCursor cursor = box_->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(text_->Position(word.line, word.end), QTextCursor::KeepAnchor);
    box_->setTextCursor(cursor);
    box_->ensureCursorVisible();
    QCoreApplication::processEvents();
}

TSpellAnswer TRichSpell::Ask(const TWordSpan& word, std::string& replacement) {
    if (!box_) return TSpellAnswer::Cancel;
    const std::vector<std::string> none;
    // A word with letters the code page lacks is shown as the box has it and
    // suggested for by its nearest dictionary spelling.
    const bool other = word.text.find(kOtherLetter) != std::string::npos;
    const QString shown = other ? text_->Text(word) : qttext::FromStored(word.text);
    const std::string key = other ? TRichEditText::DictionaryForm(shown) : word.text;
    const auto& suggestions = SuggestType == stNoSuggest ? none : engine_.Suggest(key, SuggestType, MaxSuggestions);
    dialog_->ResetResult();
    dialog_->ShowWaiting();
    if (!dialog_->isVisible()) dialog_->show();
    dialog_->SetControlsEnabled(true);
    dialog_->ShowWord(shown, suggestions);
    if (AvoidHighlight) MoveOffWord();
    dialog_->raise();
    dialog_->activateWindow();
    if (dialog_->Result() == 0) {
        QEventLoop wait;
        const auto answered = connect(dialog_, &TSugDialog::Answered, &wait, &QEventLoop::quit);
        const auto closed = connect(box_.data(), &QObject::destroyed, &wait, &QEventLoop::quit);
        wait.exec();
        disconnect(answered);
        disconnect(closed);
    }
    dialog_->SetControlsEnabled(false);
    dialog_->ShowScanning();
    sincePump_.restart();
    if (!box_) return TSpellAnswer::Cancel;
    replacement = qttext::ToStored(dialog_->WordEdit->text());
    switch (dialog_->Result()) {
        case TSugDialog::kChange:
            return TSpellAnswer::Change;
        case TSugDialog::kAdd:
            return TSpellAnswer::Add;
        case TSugDialog::kIgnore:
            return TSpellAnswer::Ignore;
        case TSugDialog::kIgnoreAll:
            return TSpellAnswer::IgnoreAll;
        case TSugDialog::kChangeAll:
            return TSpellAnswer::ChangeAll;
        default:
            return TSpellAnswer::Cancel;
    }
}

bool TRichSpell::Pump() {
    if (sincePump_.elapsed() >= kPumpMs) {
        QCoreApplication::processEvents();
        sincePump_.restart();
    }
    return !box_ || dialog_->Result() == TSugDialog::kCancel;
}

void TRichSpell::MoveOffWord() {
    if (!box_) return;
    const QTextCursor selection = box_->textCursor();
    QTextCursor start = selection;
    start.setPosition(selection.selectionStart());
    QTextCursor end = selection;
    end.setPosition(selection.selectionEnd());
    const QRect local = box_->cursorRect(start).united(box_->cursorRect(end));
    const QRect word(box_->viewport()->mapToGlobal(local.topLeft()), local.size());
    const QRect frame = dialog_->frameGeometry();
    if (!frame.intersects(word)) return;
    const QScreen* screen = dialog_->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(word.left(), 0, frame.width(), 1 << 20);
    constexpr int kGap = 8;
    QRect moved = frame;
    if (word.bottom() + kGap + frame.height() <= area.bottom())
        moved.moveTop(word.bottom() + kGap);
    else
        moved.moveBottom(word.top() - kGap);
    dialog_->move(moved.topLeft());
}
