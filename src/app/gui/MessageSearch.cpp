#include "app/gui/MessageSearch.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "app/gui/FMListView.h"
#include "app/gui/FindDialog.h"
#include "app/gui/MailCommands.h"
#include "app/gui/MailPage.h"
#include "app/gui/MessageListModel.h"
#include "common/AppTitle.h"
#include "common/UserPrompt.h"
#include "common/gui/QtText.h"
#include "compose/gui/SRichEdit.h"
#include "mail/RecordBody.h"
#include "richtext/gui/QtRichText.h"
#include "store/MailStore.h"

namespace {
// The time one step may take: well under what a user notices as a stall.
constexpr std::chrono::milliseconds kStep{25};
}  // namespace

TMessageSearch::TMessageSearch(TMailStore& store, TMailCommands& commands, TMailPage& page, QWidget* window,
                               StatusSink status)
    : QObject(window),
      store_(store),
      commands_(commands),
      page_(page),
      window_(window),
      status_(std::move(status)),
      finder_(store) {
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &TMessageSearch::Step);
}

TMessageSearch::~TMessageSearch() { timer_.stop(); }

TFindDialog* TMessageSearch::Dialog() const { return dialog_; }

void TMessageSearch::Open() {
    if (window_->isMinimized() || window_->isHidden()) {
        window_->showNormal();
        page_.StickitLB->setFocus();
    }
    Stop();
    position_ = 0;
    if (!dialog_) {
        dialog_ = new TFindDialog(window_);
        connect(dialog_, &TFindDialog::FindNext, this, &TMessageSearch::FindNext);
        connect(dialog_, &TFindDialog::StopRequested, this, &TMessageSearch::Stop);
        connect(dialog_, &QDialog::finished, this, &TMessageSearch::Stop);
    }
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
}

void TMessageSearch::FindNext(const QString& text) {
    if (Searching()) return;
    text_ = text;
    selectionTries_ = 0;
    waiting_ = false;
    finder_.Start(text.toStdString(), position_);
    if (dialog_) dialog_->SetSearching(true);
    status_(QStringLiteral("Searching for \"") + text + QStringLiteral("\"..."));
    timer_.setInterval(0);
    timer_.start();
}

void TMessageSearch::Stop() {
    if (!Searching()) return;
    timer_.stop();
    finder_.Stop();
    // The next press goes on where this one was stopped.
    position_ = waiting_ ? finder_.Hit().handle : finder_.Position();
    waiting_ = false;
    status_(QStringLiteral("Search stopped."));
    End();
}

void TMessageSearch::End() {
    if (dialog_) dialog_->SetSearching(false);
    emit SearchEnded();
}

std::string TMessageSearch::SelectionTimeoutError() {
    return std::string(kAppTitle) + " mailbox selection timeout error.";
}

void TMessageSearch::Step() {
    switch (waiting_ ? TMessageFinder::TState::Found : finder_.Step(kStep)) {
        case TMessageFinder::TState::Searching:
            return;
        case TMessageFinder::TState::Found:
            switch (ShowHit()) {
                case TShown::Shown:
                    break;
                case TShown::SearchOn:  // the record showed in no row
                    waiting_ = false;
                    timer_.setInterval(0);
                    return;
                case TShown::TryAgain:
                    waiting_ = true;
                    timer_.setInterval(static_cast<int>(selectionPause_.count()));
                    return;
            }
            break;
        case TMessageFinder::TState::Finished:
        case TMessageFinder::TState::Idle:
            timer_.stop();
            position_ = 0;
            status_(QStringLiteral("No more messages contain \"") + text_ + QStringLiteral("\"."));
            if (dialog_) dialog_->close();
            break;
    }
    waiting_ = false;
    timer_.stop();
    End();
}

TMessageSearch::TShown TMessageSearch::ShowHit() {
    const TMessageFinder::THit hit = finder_.Hit();
    const THeaderItem* item = store_.Headers().At(hit.handle);
    const std::string mailbox = item ? item->Mailbox.str() : std::string();
    // A record no mailbox of the tree shows cannot be shown: the search
    // goes on past it.
    if (!item || store_.Tree().IndexOfNoCase(mailbox) < 0) {
        finder_.Start(text_.toStdString(), hit.handle + 1);
        return TShown::SearchOn;
    }
    // Selecting a mailbox is refused while the store is busy: the search
    // tries again while the window runs, and gives up after its tries.
    if (store_.Viewed() != mailbox && (store_.Flags().AnyHeld() || !commands_.SelectMailbox(mailbox))) {
        if (++selectionTries_ <= kSelectionTries) return TShown::TryAgain;
        // The next press tries this record again; no step runs under the box.
        position_ = hit.handle;
        waiting_ = false;
        timer_.stop();
        status_(QString());
        store_.Prompt().Error(SelectionTimeoutError());
        return TShown::Shown;
    }
    const int row = store_.Rows().Find(hit.handle);
    if (row < 0) {
        finder_.Start(text_.toStdString(), hit.handle + 1);
        return TShown::SearchOn;
    }
    TFMListView* list = page_.StickitLB;
    const QModelIndex index = list->model()->index(row, 0);
    list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list->scrollTo(index);
    list->setFocus();
    TSRichEdit* preview = page_.STextBox;
    preview->clear();
    if (const auto doc = TRecordBody(store_).Document(hit.handle)) qtrichtext::Fill(*preview->document(), *doc);
    const int start = PositionOfLine(*preview, hit.line);
    QTextCursor cursor(preview->document());
    const QTextBlock block = preview->document()->findBlock(start);
    const QString rest = block.text().mid(start - block.position());
    // The column counts characters; the box counts UTF-16 units.
    const std::u32string prefix = rest.toStdU32String().substr(0, hit.column);
    const int from = start + static_cast<int>(QString::fromStdU32String(prefix).size());
    const std::u32string found =
        rest.toStdU32String().substr(std::min(hit.column, rest.toStdU32String().size()), hit.length);
    cursor.setPosition(from);
    cursor.setPosition(from + static_cast<int>(QString::fromStdU32String(found).size()), QTextCursor::KeepAnchor);
    preview->setTextCursor(cursor);
    preview->ensureCursorVisible();
    position_ = hit.handle + 1;
    status_(QStringLiteral("Found \"") + text_ + QStringLiteral("\" in \"") + qttext::FromStored(item->Subject.str()) +
            QStringLiteral("\"."));
    return TShown::Shown;
}

int TMessageSearch::PositionOfLine(const QTextEdit& box, int line) {
    int number = 0;
    int last = 0;
    for (QTextBlock b = box.document()->begin(); b.isValid(); b = b.next()) {
        const QString text = b.text();
        int from = 0;
        for (;;) {
            last = b.position() + from;
            if (number == line) return last;
            const auto separator = text.indexOf(QChar::LineSeparator, from);
            if (separator < 0) break;
            from = static_cast<int>(separator) + 1;
            ++number;
        }
        ++number;
    }
    return last;
}
