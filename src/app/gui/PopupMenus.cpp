#include "app/gui/PopupMenus.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include "app/gui/MainActions.h"

TPopupMenus::TPopupMenus(TMainActions& a, QWidget* window) : QObject(window), window_(window) {
    StickitLBPopup = new QMenu(window);
    StickitLBPopup->setObjectName(QStringLiteral("StickitLBPopup"));
    Disabled(StickitLBPopup, "Ne&w");
    StickitLBPopup->addAction(a.view);
    StickitLBPopup->addAction(a.print);
    StickitLBPopup->addSeparator();
    StickitLBPopup->addMenu(a.importMenu);
    StickitLBPopup->addAction(a.exportMessage);
    StickitLBPopup->addSeparator();
    StickitLBPopup->addAction(a.remove);

    CategoryLBPopup = new QMenu(window);
    CategoryLBPopup->setObjectName(QStringLiteral("CategoryLBPopup"));
    Proxy(CategoryLBPopup, "New", a.newMailbox);
    Disabled(CategoryLBPopup, "Rename");
    Disabled(CategoryLBPopup, "Delete");
    CategoryLBPopup->addSeparator();
    CategoryLBPopup->addAction(a.emptyTrash);
    CategoryLBPopup->addSeparator();
    CategoryLBPopup->addAction(a.setupGeneral);

    STextBoxPopup = new QMenu(window);
    STextBoxPopup->setObjectName(QStringLiteral("STextBoxPopup"));
    Disabled(STextBoxPopup, "Undo");
    STextBoxPopup->addSeparator();
    Disabled(STextBoxPopup, "Cu&t");
    previewCopy = STextBoxPopup->addAction(QStringLiteral("&Copy"));
    Disabled(STextBoxPopup, "&Paste");
    STextBoxPopup->addSeparator();
    Disabled(STextBoxPopup, "&Delete");
    STextBoxPopup->addSeparator();
    previewSelectAll = STextBoxPopup->addAction(QStringLiteral("Select &All"));

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

QAction* TPopupMenus::Disabled(QMenu* menu, const char* caption) {
    QAction* item = menu->addAction(QString::fromLatin1(caption));
    item->setEnabled(false);
    return item;
}

QMenu* TPopupMenus::ListPopup(const char* name, bool withImport, bool accessKeys) {
    auto* menu = new QMenu(window_);
    menu->setObjectName(QString::fromLatin1(name));
    Disabled(menu, accessKeys ? "&New" : "New");
    QAction* edit = Disabled(menu, accessKeys ? "&Edit" : "Edit");
    menu->setDefaultAction(edit);
    Disabled(menu, accessKeys ? "&Rename" : "Rename");
    menu->addSeparator();
    if (withImport) {
        Disabled(menu, "Import");
        menu->addSeparator();
    }
    Disabled(menu, accessKeys ? "&Delete" : "Delete");
    return menu;
}

void TPopupMenus::Attach(QWidget* widget, QMenu* menu) {
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(widget, &QWidget::customContextMenuRequested, menu,
                     [widget, menu](const QPoint& at) { menu->popup(widget->mapToGlobal(at)); });
}
