#include "book/gui/Quick.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "common/gui/QtText.h"

namespace {

const char* const kPageCaptions[] = {"To Recipients", "CC Recipients", "BCC Recipients"};
const char* const kPageNames[] = {"To", "CC", "BCC"};

}  // namespace

TQuick::TQuick(std::vector<TListRow> book, QWidget* parent) : QDialog(parent), book_(std::move(book)) {
    setObjectName(QStringLiteral("TQuick"));
    setWindowTitle(QStringLiteral("Fenmarch Quick Addressee Book"));
    auto* layout = new QVBoxLayout(this);
    Pages = new QTabWidget(this);
    Pages->setObjectName(QStringLiteral("Pages"));
    Pages->setUsesScrollButtons(false);
    for (int page = 0; page < TQuickLists::kPages; ++page)
        Pages->addTab(BuildPage(page), QString::fromLatin1(kPageCaptions[page]));
    layout->addWidget(Pages, 1);

    auto* row = new QHBoxLayout;
    Back = new QPushButton(QStringLiteral("<< &Back"), this);
    Next = new QPushButton(QStringLiteral("&Next >>"), this);
    ApplyButton = new QPushButton(QStringLiteral("&Apply"), this);
    Done = new QPushButton(QStringLiteral("&Done"), this);
    Back->setObjectName(QStringLiteral("Back"));
    Next->setObjectName(QStringLiteral("Next"));
    ApplyButton->setObjectName(QStringLiteral("Apply"));
    Done->setObjectName(QStringLiteral("Done"));
    Done->setDefault(true);
    row->addStretch(1);
    for (QPushButton* b : {Back, Next, ApplyButton, Done}) row->addWidget(b);
    layout->addLayout(row);

    connect(Back, &QPushButton::clicked, this, [this] { ShowPage(Pages->currentIndex() - 1); });
    connect(Next, &QPushButton::clicked, this, [this] { ShowPage(Pages->currentIndex() + 1); });
    connect(ApplyButton, &QPushButton::clicked, this, &TQuick::Apply);
    connect(Done, &QPushButton::clicked, this, [this] {
        Apply();
        accept();
    });
    connect(Pages, &QTabWidget::currentChanged, this, &TQuick::FollowPage);
    FollowPage();
    resize(sizeHint().expandedTo(QSize(520, 320)));
}

QWidget* TQuick::BuildPage(int page) {
    auto* widget = new QWidget(this);
    TPageWidgets& w = pages_[static_cast<std::size_t>(page)];
    const QString name = QString::fromLatin1(kPageNames[page]);
    auto* grid = new QGridLayout(widget);

    w.members = new QComboBox(widget);
    w.members->setObjectName(name + QStringLiteral("Members"));
    w.members->setToolTip(QStringLiteral("Drop down an address book member."));
    // An address typed here is a recipient too, so the box is editable;
    // what is typed does not join the member list.
    w.members->setEditable(true);
    w.members->setInsertPolicy(QComboBox::NoInsert);
    for (const auto& member : book_) w.members->addItem(qttext::FromStored(member.caption));
    w.members->setCurrentIndex(-1);
    w.members->lineEdit()->setDragEnabled(true);
    auto* membersLabel = new QLabel(QStringLiteral("Address Book Members"), widget);
    membersLabel->setBuddy(w.members);

    w.available = new QListWidget(widget);
    w.available->setObjectName(name + QStringLiteral("Available"));
    w.available->setDragEnabled(true);
    w.available->setDragDropMode(QAbstractItemView::DragOnly);
    w.recipients = new QListWidget(widget);
    w.recipients->setObjectName(name + QStringLiteral("Recipients"));
    w.recipients->setAcceptDrops(true);
    w.recipients->viewport()->setAcceptDrops(true);
    w.recipients->setDragDropMode(QAbstractItemView::DropOnly);

    w.add = new QPushButton(QStringLiteral("&Add >>"), widget);
    w.add->setObjectName(name + QStringLiteral("Add"));
    w.remove = new QPushButton(QStringLiteral("<< &Remove"), widget);
    w.remove->setObjectName(name + QStringLiteral("Remove"));
    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(w.add);
    buttons->addWidget(w.remove);
    buttons->addStretch(1);

    grid->addWidget(membersLabel, 0, 0);
    grid->addWidget(w.members, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Available Member Addressees"), widget), 2, 0);
    grid->addWidget(w.available, 3, 0);
    grid->addLayout(buttons, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Recipient List"), widget), 2, 2);
    grid->addWidget(w.recipients, 3, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);

    source_[static_cast<std::size_t>(page)] = w.members;
    for (QObject* o : {static_cast<QObject*>(w.members), static_cast<QObject*>(w.members->lineEdit()),
                       static_cast<QObject*>(w.available), static_cast<QObject*>(w.recipients->viewport())})
        o->installEventFilter(this);

    connect(w.members, &QComboBox::textActivated, this,
            [this, page](const QString& text) { ChooseMember(page, text); });
    // Typing in the drop-down or picking in the list is using it, even
    // before the focus has come (a window not active yet).
    connect(w.members, &QComboBox::editTextChanged, this,
            [this, page] { source_[static_cast<std::size_t>(page)] = pages_[static_cast<std::size_t>(page)].members; });
    connect(w.available, &QListWidget::itemSelectionChanged, this, [this, page] {
        source_[static_cast<std::size_t>(page)] = pages_[static_cast<std::size_t>(page)].available;
    });
    connect(w.available, &QListWidget::itemDoubleClicked, this, [this, page] {
        source_[static_cast<std::size_t>(page)] = pages_[static_cast<std::size_t>(page)].available;
        Add(page);
    });
    connect(w.add, &QPushButton::clicked, this, [this, page] { Add(page); });
    connect(w.remove, &QPushButton::clicked, this, [this, page] { Remove(page); });
    return widget;
}

void TQuick::Load(const QString& to, const QString& cc, const QString& bcc) {
    lists_.Load(qttext::ToStored(to), qttext::ToStored(cc), qttext::ToStored(bcc));
    for (int page = 0; page < TQuickLists::kPages; ++page) ShowRecipients(page);
}

void TQuick::ShowPage(int page) {
    if (page < 0 || page >= TQuickLists::kPages) return;
    Pages->setCurrentIndex(page);
    FollowPage();
}

void TQuick::FollowPage() {
    const int page = Pages->currentIndex();
    Back->setEnabled(page > 0);
    Next->setEnabled(page < TQuickLists::kPages - 1);
}

void TQuick::ChooseMember(int page, const QString& name) {
    QListWidget* available = pages_[static_cast<std::size_t>(page)].available;
    available->clear();
    for (const auto& address : TQuickLists::MemberAddresses(book_, qttext::ToStored(name)))
        available->addItem(qttext::FromStored(address));
    if (available->count() > 0) available->setCurrentRow(0);
    source_[static_cast<std::size_t>(page)] = pages_[static_cast<std::size_t>(page)].members;
}

QString TQuick::ValueOf(int page, const QObject* source) const {
    const TPageWidgets& w = pages_[static_cast<std::size_t>(page)];
    if (source == w.available) {
        const QListWidgetItem* item = w.available->currentItem();
        return item && item->isSelected() ? item->text() : QString();
    }
    if (source == w.members || source == w.members->lineEdit()) return w.members->currentText();
    return {};
}

void TQuick::AddValue(int page, const QString& value) {
    if (lists_.Add(page, qttext::ToStored(value))) ShowRecipients(page);
}

void TQuick::Add(int page) {
    if (page < 0 || page >= TQuickLists::kPages) return;
    AddValue(page, ValueOf(page, source_[static_cast<std::size_t>(page)]));
}

bool TQuick::DropFrom(int page, const QObject* source) {
    if (page < 0 || page >= TQuickLists::kPages || !source) return false;
    const TPageWidgets& w = pages_[static_cast<std::size_t>(page)];
    if (source != w.available && source != w.members && source != w.members->lineEdit()) return false;
    AddValue(page, ValueOf(page, source));
    return true;
}

void TQuick::Remove(int page) {
    if (page < 0 || page >= TQuickLists::kPages) return;
    QListWidget* list = pages_[static_cast<std::size_t>(page)].recipients;
    const QListWidgetItem* item = list->currentItem();
    if (!item || !item->isSelected()) return;
    const int row = list->row(item);
    lists_.Remove(page, row);
    ShowRecipients(page);
    list->setCurrentRow(std::min(row, list->count() - 1));
}

void TQuick::ShowRecipients(int page) {
    QListWidget* list = pages_[static_cast<std::size_t>(page)].recipients;
    list->clear();
    for (const auto& entry : lists_.Entries(page)) list->addItem(qttext::FromStored(entry));
}

void TQuick::Apply() {
    emit Applied(qttext::FromStored(lists_.Joined(TQuickLists::To)), qttext::FromStored(lists_.Joined(TQuickLists::CC)),
                 qttext::FromStored(lists_.Joined(TQuickLists::BCC)));
}

int TQuick::PageOf(const QObject* widget) const {
    for (int page = 0; page < TQuickLists::kPages; ++page) {
        const TPageWidgets& w = pages_[static_cast<std::size_t>(page)];
        if (widget == w.members || widget == w.members->lineEdit() || widget == w.available ||
            widget == w.recipients->viewport())
            return page;
    }
    return -1;
}

bool TQuick::eventFilter(QObject* watched, QEvent* event) {
    const int page = PageOf(watched);
    if (page < 0) return QDialog::eventFilter(watched, event);
    TPageWidgets& w = pages_[static_cast<std::size_t>(page)];
    switch (event->type()) {
        case QEvent::FocusIn:
            if (watched != w.recipients->viewport())
                source_[static_cast<std::size_t>(page)] =
                    watched == w.available ? static_cast<QObject*>(w.available) : static_cast<QObject*>(w.members);
            break;
        case QEvent::KeyPress: {
            // Enter in the drop-down chooses the member typed there; it does
            // not close the book through its default button.
            const int key = static_cast<QKeyEvent*>(event)->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && watched == w.members->lineEdit()) {
                ChooseMember(page, w.members->currentText());
                return true;
            }
            break;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove:
            if (watched == w.recipients->viewport()) {
                auto* drag = static_cast<QDropEvent*>(event);
                const QObject* from = drag->source();
                if (from && (from == w.available || from == w.members->lineEdit() || from == w.members)) {
                    drag->setDropAction(Qt::CopyAction);
                    drag->accept();
                } else {
                    drag->ignore();
                }
                return true;
            }
            break;
        case QEvent::Drop:
            if (watched == w.recipients->viewport()) {
                auto* drop = static_cast<QDropEvent*>(event);
                if (DropFrom(page, drop->source())) {
                    drop->setDropAction(Qt::CopyAction);
                    drop->accept();
                } else {
                    drop->ignore();
                }
                return true;
            }
            break;
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}
