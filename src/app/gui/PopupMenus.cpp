#include "app/gui/PopupMenus.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include "app/gui/MainActions.h"
#include "app/gui/MainPage.h"

TPopupMenus::TPopupMenus(TMainActions& a, QWidget* window) : QObject(window), window_(window) {
    StickitLBPopup = new QMenu(window);
    StickitLBPopup->setObjectName(QStringLiteral("StickitLBPopup"));
    Disabled(StickitLBPopup, "Ne&w", QStringLiteral("StickitLBNew"));
    StickitLBPopup->addAction(a.view);
    StickitLBPopup->addAction(a.print);
    StickitLBPopup->addSeparator();
    // One item: it imports for the page showing, as the "Import" button
    // does; the menus name the other imports.
    listImport = StickitLBPopup->addAction(QStringLiteral("&Import"));
    listImport->setObjectName(QStringLiteral("StickitLBImport"));
    StickitLBPopup->addAction(a.exportMessage);
    StickitLBPopup->addSeparator();
    StickitLBPopup->addAction(a.remove);

    CategoryLBPopup = new QMenu(window);
    CategoryLBPopup->setObjectName(QStringLiteral("CategoryLBPopup"));
    Proxy(CategoryLBPopup, "New", a.newMailbox)->setObjectName(QStringLiteral("CategoryLBNew"));
    treeRename = Disabled(CategoryLBPopup, "Rename", QStringLiteral("CategoryLBRename"));
    treeDelete = Disabled(CategoryLBPopup, "Delete", QStringLiteral("CategoryLBDelete"));
    CategoryLBPopup->addSeparator();
    treeImport = Disabled(CategoryLBPopup, "Import Mailbox...", QStringLiteral("CategoryLBImport"));
    treeExport = Disabled(CategoryLBPopup, "Export Mailbox...", QStringLiteral("CategoryLBExport"));
    CategoryLBPopup->addSeparator();
    CategoryLBPopup->addAction(a.emptyTrash);
    CategoryLBPopup->addSeparator();
    // The preferences at their first page.
    Proxy(CategoryLBPopup, "&Setup", a.setupGeneral)->setObjectName(QStringLiteral("CategoryLBSetup"));

    STextBoxPopup = new QMenu(window);
    STextBoxPopup->setObjectName(QStringLiteral("STextBoxPopup"));
    Disabled(STextBoxPopup, "Undo", QStringLiteral("STextBoxUndo"));
    STextBoxPopup->addSeparator();
    Disabled(STextBoxPopup, "Cu&t", QStringLiteral("STextBoxCut"));
    previewCopy = STextBoxPopup->addAction(QStringLiteral("&Copy"));
    previewCopy->setObjectName(QStringLiteral("STextBoxCopy"));
    Disabled(STextBoxPopup, "&Paste", QStringLiteral("STextBoxPaste"));
    STextBoxPopup->addSeparator();
    Disabled(STextBoxPopup, "&Delete", QStringLiteral("STextBoxDelete"));
    STextBoxPopup->addSeparator();
    previewSelectAll = STextBoxPopup->addAction(QStringLiteral("Select &All"));
    previewSelectAll->setObjectName(QStringLiteral("STextBoxSelectAll"));

    AddressPopup = ListPopup("AddressPopup", true, false);
    SigFilePopup = ListPopup("SigFilePopup", true, false);
    FiltersPopup = ListPopup("FiltersPopup", false, false);
    PopupAccounts = ListPopup("PopupAccounts", false, true);
}

QAction* TPopupMenus::Proxy(QMenu* menu, const char* caption, QAction* target) {
    QAction* item = menu->addAction(QString::fromLatin1(caption));
    item->setEnabled(target->isEnabled());
    connect(item, &QAction::triggered, target, &QAction::trigger);
    connect(target, &QAction::changed, item, [item, target] { item->setEnabled(target->isEnabled()); });
    return item;
}

QAction* TPopupMenus::Disabled(QMenu* menu, const char* caption, const QString& name) {
    QAction* item = menu->addAction(QString::fromLatin1(caption));
    item->setObjectName(name);
    item->setEnabled(false);
    return item;
}

QAction* TPopupMenus::Command(QMenu* menu, const char* caption, const QString& name, int command) {
    QAction* item = Disabled(menu, caption, name);
    item->setProperty(kCommandProperty, command);
    return item;
}

QMenu* TPopupMenus::ListPopup(const char* name, bool withImport, bool accessKeys) {
    auto* menu = new QMenu(window_);
    const QString base = QString::fromLatin1(name);
    menu->setObjectName(base);
    Command(menu, accessKeys ? "&New" : "New", base + QStringLiteral("New"), static_cast<int>(TPageCommand::New));
    QAction* edit = Command(menu, accessKeys ? "&Edit" : "Edit", base + QStringLiteral("Edit"),
                            static_cast<int>(TPageCommand::Edit));
    menu->setDefaultAction(edit);
    Command(menu, accessKeys ? "&Rename" : "Rename", base + QStringLiteral("Rename"),
            static_cast<int>(TPageCommand::Rename));
    menu->addSeparator();
    if (withImport) {
        Command(menu, "Import", base + QStringLiteral("Import"), static_cast<int>(TPageCommand::Import));
        menu->addSeparator();
    }
    Command(menu, accessKeys ? "&Delete" : "Delete", base + QStringLiteral("Delete"),
            static_cast<int>(TPageCommand::Delete));
    return menu;
}

void TPopupMenus::Attach(QWidget* widget, QMenu* menu) {
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(widget, &QWidget::customContextMenuRequested, menu,
                     [widget, menu](const QPoint& at) { menu->popup(widget->mapToGlobal(at)); });
}
