#pragma once

#include <QObject>

class QAction;
class QMenu;
class QWidget;
class TMainActions;

// The pop-up menus of the main window's lists, tree and preview pane. Items
// that share a command with the main menus use its action, so they are
// enabled and wired together. Every other item is a named action; the items
// of the four list pages carry the shared command they run (the property
// kCommandProperty, a TPageCommand), so that their page wires them.
class TPopupMenus : public QObject {
    Q_OBJECT

public:
    TPopupMenus(TMainActions& actions, QWidget* window);

    // Opens menu on widget at the mouse.
    static void Attach(QWidget* widget, QMenu* menu);

    QMenu* StickitLBPopup;
    QMenu* CategoryLBPopup;
    QMenu* STextBoxPopup;
    QMenu* AddressPopup;
    QMenu* SigFilePopup;
    QMenu* FiltersPopup;
    QMenu* PopupAccounts;

    static constexpr const char* kCommandProperty = "pageCommand";

    // The message list's "&Import": the page's import, wired by the window.
    QAction* listImport;
    // The tree's own items, acting on the node under the mouse.
    QAction* treeRename;
    QAction* treeDelete;
    QAction* treeImport;
    QAction* treeExport;
    QAction* previewCopy;
    QAction* previewSelectAll;

private:
    QMenu* ListPopup(const char* name, bool withImport, bool accessKeys);
    QAction* Disabled(QMenu* menu, const char* caption, const QString& name);
    QAction* Command(QMenu* menu, const char* caption, const QString& name, int command);
    // An item of its own caption that runs a main-menu command.
    QAction* Proxy(QMenu* menu, const char* caption, QAction* target);

    QWidget* window_;
};
