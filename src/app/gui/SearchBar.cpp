#include "app/gui/SearchBar.h"

#include <QAction>
#include <QDateTime>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QTextEdit>
#include <QToolBar>

#include "app/gui/MailCommands.h"
#include "search/MailSearch.h"
#include "search/SearchQuery.h"
#include "store/MailStore.h"

namespace {
constexpr int kTypingPauseMs = 150;
constexpr int kStepMs = 15;
// The list shows at most this many hits, the newest.
constexpr int kMaxHits = 10000;
}  // namespace

TSearchBar::TSearchBar(TMailStore& store, TMailCommands& commands, QMainWindow& window, StatusSink status)
    : QObject(&window),
      store_(store),
      commands_(commands),
      status_(std::move(status)),
      search_(std::make_unique<TMailSearch>(store)) {
    field_ = new QLineEdit(&window);
    field_->setObjectName(QStringLiteral("SearchField"));
    field_->setPlaceholderText(QStringLiteral("Search all mail (Ctrl+K)"));
    field_->setClearButtonEnabled(true);
    field_->setMinimumWidth(220);
    field_->setToolTip(QStringLiteral(
        "Words (all must occur; word* for a prefix), \"a phrase\", from: to: cc: subject: body: attachment:,\n"
        "has:attachment, in:MAILBOX, is:unread/read/replied/sent, before:/after:yyyy-mm-dd, OR, -word"));
    field_->installEventFilter(this);
    // A tool bar of its own beside the buttons, so that a narrow window
    // folds buttons away before the field.
    auto* bar = new QToolBar(QStringLiteral("Search"), &window);
    bar->setObjectName(QStringLiteral("SearchToolBar"));
    bar->setMovable(false);
    bar->addWidget(field_);
    window.addToolBar(Qt::TopToolBarArea, bar);

    focus_ = new QAction(QStringLiteral("Search All Mail"), &window);
    focus_->setObjectName(QStringLiteral("SearchAction"));
    focus_->setShortcut(QKeySequence(QStringLiteral("Ctrl+K")));
    focus_->setShortcutContext(Qt::WindowShortcut);
    window.addAction(focus_);
    connect(focus_, &QAction::triggered, this, [this] {
        field_->setFocus(Qt::ShortcutFocusReason);
        field_->selectAll();
    });

    typing_.setSingleShot(true);
    typing_.setInterval(kTypingPauseMs);
    connect(&typing_, &QTimer::timeout, this, &TSearchBar::Run);
    connect(field_, &QLineEdit::textEdited, this, [this] { typing_.start(); });
    connect(field_, &QLineEdit::returnPressed, this, &TSearchBar::Run);
    // The clear button empties the field without an edit.
    connect(field_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty()) Leave();
    });

    step_.setSingleShot(true);
    step_.setInterval(0);
    connect(&step_, &QTimer::timeout, this, &TSearchBar::StepIndex);
    search_->SetWake([this] {
        if (!step_.isActive()) step_.start();
    });
}

TSearchBar::~TSearchBar() { search_->Close(); }

void TSearchBar::Start() {
    if (!search_->Start()) status_(QStringLiteral("The search index could not be opened; search finds nothing."));
}

void TSearchBar::StepIndex() {
    const bool more = search_->Step(std::chrono::milliseconds(kStepMs));
    if (more) {
        indexing_ = true;
        // A pause between steps keeps typing and scrolling smooth; once
        // every body is read, only the writer's last commit is awaited.
        const auto p = search_->Progress();
        step_.start(p.done < p.total ? 1 : 20);
        ShowProgress();
    } else if (indexing_) {
        indexing_ = false;
        status_(QStringLiteral("Search index up to date."));
        // Hits that were still being read now show.
        if (store_.ShowsFound()) Run();
    }
}

void TSearchBar::ShowProgress() {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - lastProgress_ < 500) return;
    lastProgress_ = now;
    const auto p = search_->Progress();
    if (p.total >= 50)
        status_(QStringLiteral("Indexing mail for search: %1 of %2 messages...").arg(p.done).arg(p.total));
}

void TSearchBar::Run() {
    typing_.stop();
    const std::string text = field_->text().toStdString();
    const TSearchQuery query(text);
    if (query.Empty()) {
        Leave();
        return;
    }
    if (!query.Problem().empty()) {
        status_(QString::fromStdString(query.Problem()));
        return;
    }
    terms_ = query.Terms();
    const auto handles = search_->Find(query, kMaxHits);
    store_.ShowFound(handles);
    QString found = handles.empty()       ? QStringLiteral("No message found.")
                    : handles.size() == 1 ? QStringLiteral("1 message found.")
                                          : QStringLiteral("%1 messages found.").arg(handles.size());
    if (search_->Progress().Busy()) found += QStringLiteral(" (Still indexing: more may come.)");
    status_(found);
}

void TSearchBar::Leave() {
    typing_.stop();
    terms_.clear();
    if (!field_->text().isEmpty()) field_->clear();
    if (!store_.ShowsFound()) return;
    const std::string mailbox = commands_.SelectedMailbox();
    if (mailbox.empty())
        store_.ClearView();
    else
        store_.ShowMailbox(mailbox);
}

namespace {

// A text compared as the index compares: lower case, accents dropped, one
// character for one, so that positions in it are positions in the text.
QString Folded(const QString& text) {
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar c = out[i];
        if (c.isSurrogate() || c.unicode() < 0x80) {
            out[i] = c.toLower();
            continue;
        }
        const QString base = QString(c).normalized(QString::NormalizationForm_D);
        out[i] = (base.isEmpty() ? c : base[0]).toLower();
    }
    return out;
}

bool WordChar(const QString& text, qsizetype at) {
    return at >= 0 && at < text.size() && text[at].isLetterOrNumber();
}

}  // namespace

void TSearchBar::Highlight(QTextEdit& box) const {
    if (!store_.ShowsFound() || terms_.empty()) return;
    const QString text = Folded(box.document()->toPlainText());
    QList<QTextEdit::ExtraSelection> marks;
    QTextCharFormat format;
    format.setBackground(QColor(255, 230, 80));
    for (const std::string& term : terms_) {
        QString word = QString::fromStdString(term);
        const bool prefix = word.endsWith(QLatin1Char('*'));
        if (prefix) word.chop(1);
        word = Folded(word.simplified());
        if (word.isEmpty()) continue;
        for (qsizetype at = text.indexOf(word); at >= 0 && marks.size() < 2000; at = text.indexOf(word, at + 1)) {
            // Whole words, as the index takes them; a prefix may go on.
            const bool spaced = word[0].unicode() < 0x2E80;
            if (spaced && (WordChar(text, at - 1) || (!prefix && WordChar(text, at + word.size())))) continue;
            qsizetype end = at + word.size();
            while (prefix && spaced && WordChar(text, end)) ++end;  // the whole word a prefix began
            QTextEdit::ExtraSelection mark;
            mark.cursor = QTextCursor(box.document());
            mark.cursor.setPosition(static_cast<int>(at));
            mark.cursor.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
            mark.format = format;
            marks << mark;
        }
    }
    box.setExtraSelections(marks);
}

bool TSearchBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        Leave();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
