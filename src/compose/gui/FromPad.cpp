#include "compose/gui/FromPad.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include "common/DisplayDate.h"
#include "common/gui/QtText.h"
#include "compose/AttachmentValue.h"
#include "compose/QuotedBody.h"
#include "compose/ReplySubject.h"
#include "compose/gui/AttachmentList.h"
#include "compose/gui/BodyFinder.h"
#include "compose/gui/PadHost.h"
#include "compose/gui/SRichEdit.h"
#include "richtext/RtfWriter.h"
#include "richtext/gui/QtRichText.h"
#include "store/MailStore.h"

namespace {
QLineEdit* ReadOnlyEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    return edit;
}
}  // namespace

TFromPad::TFromPad(IPadHost& host, int handle) : TMessagePad(host, handle, false) {
    setObjectName(QStringLiteral("FromPad"));
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ButtonFrame"));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const auto button = [&](const char* name, const char* caption, const char* hint, const char* icon) {
        QAction* a = bar->addAction(QIcon::fromTheme(QString::fromLatin1(icon)), QString::fromLatin1(caption));
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(QString::fromLatin1(hint));
        return a;
    };
    reply = button("MakeReply", "Reply", "Reply to sender", "mail-reply-sender");
    forward = button("MakeForward", "Forward", "Forward this message", "mail-forward");
    edit = button("ChangeStatus", "Edit", "Edit the contents of this message", "document-edit");
    edit->setCheckable(true);
    print = button("PrintStickit", "Print", "Print this message", "document-print");
    trash = button("BTrash", "Delete", "Destroy this message", "edit-delete");
    print->setEnabled(Host().CanPrint());
    connect(print, &QAction::triggered, this, [this] { PrintBody(); });
    Top()->addWidget(bar);

    auto* header = new QGridLayout;
    header->setContentsMargins(4, 4, 4, 4);
    fromToText_ = ReadOnlyEdit("FromToText", this);
    QPalette grey = fromToText_->palette();
    grey.setColor(QPalette::Text, Qt::gray);
    fromToText_->setPalette(grey);
    auto* fromButton = new QToolButton(this);
    fromButton->setObjectName(QStringLiteral("BFrom"));
    addSender = new QAction(QStringLiteral("&From"), this);
    addSender->setToolTip(QStringLiteral("Click here to make this user a member of your address book."));
    fromButton->setDefaultAction(addSender);
    addSender->setEnabled(host.CanAddSender());
    fromText_ = ReadOnlyEdit("FromText", this);
    fromDate_ = ReadOnlyEdit("FromDate", this);
    header->addWidget(new QLabel(QStringLiteral("To"), this), 0, 0);
    header->addWidget(fromToText_, 0, 1);
    header->addWidget(fromButton, 1, 0);
    header->addWidget(fromText_, 1, 1);
    header->addWidget(new QLabel(QStringLiteral("Date"), this), 2, 0);
    header->addWidget(fromDate_, 2, 1);
    Top()->addLayout(header);

    connect(reply, &QAction::triggered, this, &TFromPad::Reply);
    connect(forward, &QAction::triggered, this, &TFromPad::Forward);
    connect(edit, &QAction::triggered, this, &TFromPad::ToggleEdit);
    connect(trash, &QAction::triggered, this, &TMessagePad::Destroy);
    connect(addSender, &QAction::triggered, this, [this] { Host().AddSender(qttext::ToStored(fromText_->text())); });
    BuildMenu();
    Fill();
    // An edited body is saved with the record, like a resized window.
    connect(Body(), &QTextEdit::textChanged, this, [this] {
        if (!Body()->isReadOnly()) SaveTimer().start();
    });
}

void TFromPad::BuildMenu() {
    TSRichEdit* box = Body();
    auto* menu = new QMenu(this);
    const auto item = [&](const char* caption, const char* keys) {
        QAction* a = menu->addAction(QString::fromLatin1(caption));
        if (keys) a->setShortcut(QKeySequence(QString::fromLatin1(keys)));
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        box->addAction(a);
        return a;
    };
    undo = item("Undo", "Ctrl+Z");
    menu->addSeparator();
    cut = item("Cu&t", "Ctrl+X");
    QAction* copy = item("&Copy", "Ctrl+C");
    paste = item("&Paste", "Ctrl+V");
    remove = item("&Delete", nullptr);
    menu->addSeparator();
    QAction* selectAll = item("Se&lect All", "Ctrl+L");
    menu->addSeparator();
    QAction* find = item("Find", "Ctrl+F");
    QAction* printItem = item("Print", "Ctrl+P");
    connect(find, &QAction::triggered, Finder(), &TBodyFinder::Open);
    printItem->setEnabled(Host().CanPrint());
    connect(printItem, &QAction::triggered, this, [this] { PrintBody(); });
    for (QAction* a : {undo, cut, paste, remove}) a->setEnabled(false);
    connect(undo, &QAction::triggered, this, [this] {
        Body()->undo();
        undo->setEnabled(false);
    });
    connect(cut, &QAction::triggered, this, [this] {
        Body()->cut();
        undo->setEnabled(true);
    });
    connect(copy, &QAction::triggered, this, [this] {
        Body()->copy();
        undo->setEnabled(true);
        paste->setEnabled(!Body()->isReadOnly());
    });
    connect(paste, &QAction::triggered, this, [this] {
        Body()->paste();
        undo->setEnabled(true);
    });
    connect(selectAll, &QAction::triggered, Body(), &QTextEdit::selectAll);
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QWidget::customContextMenuRequested, this,
            [menu, box](const QPoint& at) { menu->popup(box->viewport()->mapToGlobal(at)); });
}

void TFromPad::Fill() {
    const THeaderItem* item = Record();
    if (!item) return;
    setWindowTitle(qttext::FromStored(item->Subject.str()));
    fromText_->setText(qttext::FromStored(item->Address.str()));
    fromDate_->setText(qttext::FromStored(item->Date.str()));
    fromToText_->setText(qttext::FromStored(item->CCList));
    LoadRecord();
    // The mark follows the files listed; the value itself stays as received.
    const bool attached = Attachments()->count() > 0;
    Host().Store().ChangeRecord(
        Handle(),
        [attached](THeaderItem& record) {
            record.Flags = static_cast<std::uint8_t>(attached ? record.Flags | mfAttach : record.Flags & ~mfAttach);
        },
        TPersist::WithNextSave);
}

void TFromPad::RecordChanged(int handle) {
    // The body on show may hold edits; only the header fields follow.
    if (handle != Handle()) return;
    if (const THeaderItem* item = Record()) setWindowTitle(qttext::FromStored(item->Subject.str()));
}

void TFromPad::ToggleEdit() {
    const bool editable = Body()->isReadOnly();
    Body()->setReadOnly(!editable);
    edit->setChecked(editable);
    cut->setEnabled(editable);
    paste->setEnabled(editable);
}

void TFromPad::Reply() {
    if (!Record()) return;
    const bool attachments = Attachments()->count() > 0;
    Host().Store().ChangeRecord(Handle(), [attachments](THeaderItem& record) {
        record.Flags = static_cast<std::uint8_t>(mfReply | (attachments ? mfAttach : 0));
    });

    TNewMessage message;
    message.subject = replysubject::Reply(qttext::ToStored(windowTitle()));
    message.to = qttext::ToStored(fromText_->text());
    message.flags = mfQueued;
    message.date = displaydate::Format(std::time(nullptr));
    message.body = TRtfWriter::Lines(quotedbody::Quote(qtrichtext::FromQt(*Body()->document())));
    close();
    Host().CreateMessage(std::move(message), true);
}

void TFromPad::Forward() {
    if (!Record()) return;
    const std::string attachments = attachmentvalue::Value(Attachments()->Paths());
    Host().Store().ChangeRecord(Handle(), [&attachments](THeaderItem& record) {
        record.Flags = static_cast<std::uint8_t>(mfForward | (attachments.empty() ? 0 : mfAttach));
    });

    TNewMessage message;
    message.subject = replysubject::Forward(qttext::ToStored(windowTitle()));
    message.flags = mfQueued;
    message.date = displaydate::Format(std::time(nullptr));
    message.attachments = attachments;
    message.body = TRtfWriter::Lines(qtrichtext::FromQt(*Body()->document()));
    close();
    Host().CreateMessage(std::move(message), true);
}
