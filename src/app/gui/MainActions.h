#pragma once

#include <QObject>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// Every command of the main window's menus, with its caption, access key and
// shortcut. Commands whose work is not available are disabled; the window
// wires and enables each one where its work lives.
class TMainActions : public QObject {
    Q_OBJECT

public:
    explicit TMainActions(QWidget* window);

    // Fills the menu bar in its order.
    void BuildMenus(QMenuBar* bar);
    // Shows or hides "&File", "&Edit", "&Setup" and "&Help"; "Utilities" and
    // "&View" always show.
    void SetMenuSystemVisible(bool visible);

    // File
    QAction* newMember;
    QAction* newServer;
    QAction* newMailbox;
    QAction* newFilter;
    QAction* newSignature;
    QAction* view;
    QAction* print;
    QAction* emptyTrash;
    QAction* checkMail;
    QAction* importAddressBook;
    QAction* importSignature;
    QAction* importMailbox;
    QAction* importMessage;
    QAction* importMailboxFolder;
    QAction* exportMailbox;
    QAction* exportMessage;
    QAction* close;
    // Edit
    QAction* rename;
    QAction* remove;
    QAction* selectAll;
    // Utilities
    QAction* phoneDialer;
    QAction* findMessage;
    QAction* plugins;
    // Setup: the five pages of the preferences dialog
    QAction* setupGeneral;
    QAction* setupBells;
    QAction* setupDefaults;
    QAction* setupSending;
    QAction* setupPersonal;
    // View
    QAction* previewer;
    // Help
    QAction* about;
    QAction* topics;
    QAction* feedback;
    QAction* storeFront;
    QAction* support;
    QAction* products;
    QAction* updates;
    QAction* whatsNew;

    QMenu* importMenu = nullptr;
    QMenu* setupMenu = nullptr;

private:
    QAction* Make(const char* caption, const char* name, const char* shortcut = nullptr, bool enabled = false);

    QWidget* window_;
    QMenu* fileMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QMenu* setupMenuBar_ = nullptr;
    QMenu* helpMenu_ = nullptr;
};
