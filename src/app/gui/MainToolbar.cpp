#include "app/gui/MainToolbar.h"

#include <QApplication>
#include <QMenu>
#include <QStyle>
#include <QToolButton>

#include "app/gui/MainActions.h"

TMainToolbar::TMainToolbar(TMainActions& actions, QWidget* parent) : QToolBar(parent) {
    setObjectName(QStringLiteral("Toolbar"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(16, 16));
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

    BNewStickit = Add("BNewStickit", "Message", "Create a new message", "mail-message-new", QStyle::SP_FileIcon);
    BView = Add("BView", "View", "View selected message", "document-open", QStyle::SP_FileDialogContentsView);
    BPrint = Add("BPrint", "Print", "Print selected message", "document-print", QStyle::SP_DriveFDIcon);
    BRename = Add("BRename", "Rename", "Rename selected message", "edit-rename", QStyle::SP_FileDialogDetailedView);
    BDelete = Add("BDelete", "Delete", nullptr, "edit-delete", QStyle::SP_DialogDiscardButton);
    BImport = Add("BImport", "Import", "Import files", "document-import", QStyle::SP_ArrowDown);
    BExport = Add("BExport", "Export", "Export selected message", "document-export", QStyle::SP_ArrowUp);
    BFind = Add("BFind", "Search", "Search messages", "edit-find", QStyle::SP_FileDialogContentsView);
    MailCheck = Add("MailCheck", "Check", "Check for mail", "mail-receive", QStyle::SP_BrowserReload);
    CancelMail = Add("CancelMail", "Stop", "Stop Mail Operations", "process-stop", QStyle::SP_BrowserStop);
    BTrash = Add("BTrash", "Empty", "Empty Trash Can", "user-trash", QStyle::SP_TrashIcon);
    BSetup = Add("BSetup", "Setup", "Setup Skiffpost", "preferences-system", QStyle::SP_FileDialogListView);

    BImport->setMenu(actions.importMenu);
    BImport->setPopupMode(QToolButton::InstantPopup);
    BSetup->setMenu(actions.setupMenu);
    BSetup->setPopupMode(QToolButton::InstantPopup);

    // Until their work is wired, the buttons do what their menu commands do.
    connect(BView, &QToolButton::clicked, actions.view, &QAction::trigger);
    connect(BPrint, &QToolButton::clicked, actions.print, &QAction::trigger);
    connect(BRename, &QToolButton::clicked, actions.rename, &QAction::trigger);
    connect(BExport, &QToolButton::clicked, actions.exportMessage, &QAction::trigger);
    connect(BFind, &QToolButton::clicked, actions.findMessage, &QAction::trigger);
    connect(MailCheck, &QToolButton::clicked, actions.checkMail, &QAction::trigger);
    connect(BTrash, &QToolButton::clicked, actions.emptyTrash, &QAction::trigger);
    for (auto [button, action] : {std::pair{BView, actions.view}, {BPrint, actions.print}, {BRename, actions.rename},
                                  {BExport, actions.exportMessage}, {BFind, actions.findMessage},
                                  {MailCheck, actions.checkMail}, {BTrash, actions.emptyTrash}}) {
        button->setEnabled(action->isEnabled());
        connect(action, &QAction::changed, button, [button, action] { button->setEnabled(action->isEnabled()); });
    }
    for (QToolButton* b : {BNewStickit, BDelete, CancelMail}) b->setEnabled(false);
    SetTrashFull(false);
}

QToolButton* TMainToolbar::Add(const char* name, const char* caption, const char* hint, const char* icon,
                               int fallback) {
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(QString::fromLatin1(caption));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setMinimumSize(50, 34);
    b->setIcon(QIcon::fromTheme(QString::fromLatin1(icon),
                                QApplication::style()->standardIcon(static_cast<QStyle::StandardPixmap>(fallback))));
    if (hint) b->setProperty("hint", QString::fromLatin1(hint));
    b->setToolTip(hint ? QString::fromLatin1(hint) : QString());
    addWidget(b);
    return b;
}

void TMainToolbar::SetHintsVisible(bool visible) {
    for (QToolButton* b : findChildren<QToolButton*>()) {
        if (b == CancelMail) continue;
        b->setToolTip(visible ? b->property("hint").toString() : QString());
    }
}

void TMainToolbar::SetTrashFull(bool full) {
    BTrash->setIcon(QIcon::fromTheme(full ? QStringLiteral("user-trash-full") : QStringLiteral("user-trash"),
                                     QApplication::style()->standardIcon(QStyle::SP_TrashIcon)));
    BTrash->setProperty("trashFull", full);
}

QToolButton* TMainToolbar::Button(const QString& name) const { return findChild<QToolButton*>(name); }
