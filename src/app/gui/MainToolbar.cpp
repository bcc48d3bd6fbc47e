#include "app/gui/MainToolbar.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStyle>

#include "app/gui/MainActions.h"
#include "app/gui/ToolButton.h"

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
    BImport = Add("BImport", "Import", "Import files", "document-import", QStyle::SP_ArrowDown, false);
    BExport = Add("BExport", "Export", "Export selected message", "document-export", QStyle::SP_ArrowUp);
    BFind = Add("BFind", "Search", "Search messages", "edit-find", QStyle::SP_FileDialogContentsView);
    MailCheck = Add("MailCheck", "Check", "Check for mail", "mail-receive", QStyle::SP_BrowserReload);
    CancelMail = Add("CancelMail", "Stop", "Stop Mail Operations", "process-stop", QStyle::SP_BrowserStop);
    BTrash = Add("BTrash", "Empty", "Empty Trash Can", "user-trash", QStyle::SP_TrashIcon);
    BSetup = Add("BSetup", "Setup", "Setup Skiffpost", "preferences-system", QStyle::SP_FileDialogListView, false);

    BImport->setMenu(actions.importMenu);
    BImport->setPopupMode(QToolButton::InstantPopup);
    BSetup->setMenu(actions.setupMenu);
    BSetup->setPopupMode(QToolButton::InstantPopup);

    // Search runs its menu command and is available with it. "Check" has
    // rules of its own (a menu with several accounts), wired by the mail
    // operations.
    for (auto [button, command] : {std::pair{BFind, actions.findMessage}}) {
        QAction* own = button->defaultAction();
        own->setEnabled(command->isEnabled());
        connect(own, &QAction::triggered, command, &QAction::trigger);
        connect(command, &QAction::enabledChanged, own, &QAction::setEnabled);
    }
    SetTrashFull(false);
}

TToolButton* TMainToolbar::Add(const char* name, const char* caption, const char* hint, const char* icon, int fallback,
                               bool withAction) {
    auto* b = new TToolButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setMinimumSize(50, 34);
    const QIcon picture = QIcon::fromTheme(
        QString::fromLatin1(icon), QApplication::style()->standardIcon(static_cast<QStyle::StandardPixmap>(fallback)));
    if (withAction) {
        auto* action = new QAction(picture, QString::fromLatin1(caption), this);
        action->setObjectName(QString::fromLatin1(name) + QStringLiteral("Action"));
        action->setEnabled(false);  // until the window wires its work
        b->Show(action);
    } else {
        b->setText(QString::fromLatin1(caption));
        b->setIcon(picture);
    }
    b->SetHint(hint ? QString::fromLatin1(hint) : QString());
    addWidget(b);
    return b;
}

void TMainToolbar::SetHintsVisible(bool visible) {
    for (TToolButton* b : findChildren<TToolButton*>()) b->SetHintVisible(visible || b == CancelMail);
}

void TMainToolbar::SetTrashFull(bool full) {
    BTrash->defaultAction()->setIcon(
        QIcon::fromTheme(full ? QStringLiteral("user-trash-full") : QStringLiteral("user-trash"),
                         QApplication::style()->standardIcon(QStyle::SP_TrashIcon)));
    BTrash->setProperty("trashFull", full);
}

QToolButton* TMainToolbar::Button(const QString& name) const { return findChild<QToolButton*>(name); }
