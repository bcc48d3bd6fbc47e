#include "app/gui/MainActions.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

QAction* TMainActions::Make(const char* caption, const char* name, const char* shortcut, bool enabled) {
    auto* a = new QAction(QString::fromLatin1(caption), window_);
    a->setObjectName(QString::fromLatin1(name));
    if (shortcut) {
        a->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
        a->setShortcutContext(Qt::WindowShortcut);
    }
    a->setEnabled(enabled);
    window_->addAction(a);
    return a;
}

TMainActions::TMainActions(QWidget* window) : QObject(window), window_(window) {
    newMember = Make("Address Book Member", "NewMember");
    newServer = Make("Internet Server", "NewServer");
    newMailbox = Make("Mailbox Folder", "NewMailbox");
    newFilter = Make("Message Filter", "NewFilter");
    newSignature = Make("Signature File", "NewSignature");
    view = Make("&View", "View1", "Ctrl+V");
    print = Make("&Print", "Print1", "Ctrl+P");
    emptyTrash = Make("Empty Trash", "EmptyTrash1");
    checkMail = Make("Check Mail", "CheckMail1", "Ctrl+M");
    importAddressBook = Make("Address Book", "ImportAddressBook");
    importSignature = Make("Signature File", "ImportSignature");
    importMailbox = Make("Mailbox", "ImportMailbox");
    importMailboxFolder = Make("Mailbox Folder", "ImportMailboxFolder");
    exportMailbox = Make("Export Mailbox", "ExportMailbox");
    importMessage = Make("Message File", "ImportMessage");
    exportMessage = Make("&Export", "Export1", "Ctrl+E");
    close = Make("Close", "Close1", nullptr, true);
    rename = Make("Rena&me", "Rename1", "F2");
    remove = Make("&Delete", "Delete1");
    // The menu names the Delete key; the key itself belongs to the list or
    // tree that has the focus (on the message list it moves every selected
    // message, where the command moves the first), so the shortcut is bound
    // to nothing that takes focus.
    remove->setShortcut(QKeySequence(QKeySequence::Delete));
    remove->setShortcutContext(Qt::WidgetShortcut);
    selectAll = Make("Select All", "SelectAll1", "Ctrl+A", true);
    phoneDialer = Make("Phone Dialer", "PhoneDialer1", "Ctrl+D");
    findMessage = Make("Find Message", "FindMessage1", "Ctrl+F");
    plugins = Make("Plugin(s)", "Plugins1");  // no plug-ins exist
    setupGeneral = Make("General Options", "GeneralOptions1");
    setupBells = Make("Bells and Whistles", "BellsandWhistles1");
    setupDefaults = Make("Default Messages", "DefaultMessages1");
    setupSending = Make("Sending and Receiving", "SendingandReceiving1");
    setupPersonal = Make("Personal Information", "PersonalInformation1");
    previewer = Make("Previewer", "Previewer1", nullptr, true);
    previewer->setCheckable(true);
    previewer->setChecked(true);
    about = Make("About", "About1", nullptr, true);
    topics = Make("Topics", "Topics1", "F1", true);
    feedback = Make("Feedback", "Feedback1", nullptr, true);
    storeFront = Make("Store Front", "StoreFront1", nullptr, true);
    support = Make("Support", "Support1", nullptr, true);
    products = Make("Products", "Products1", nullptr, true);
    updates = Make("Updates", "Updates1", nullptr, true);
    whatsNew = Make("What's New", "WhatsNew1", nullptr, true);
}

void TMainActions::BuildMenus(QMenuBar* bar) {
    fileMenu_ = bar->addMenu(QStringLiteral("&File"));
    QMenu* newMenu = fileMenu_->addMenu(QStringLiteral("Ne&w"));
    newMenu->addActions({newMember, newServer, newMailbox, newFilter, newSignature});
    newMenu->setDefaultAction(newServer);
    fileMenu_->addAction(view);
    fileMenu_->addAction(print);
    fileMenu_->addSeparator();
    fileMenu_->addAction(emptyTrash);
    fileMenu_->addSeparator();
    fileMenu_->addAction(checkMail);
    fileMenu_->addSeparator();
    importMenu = fileMenu_->addMenu(QStringLiteral("&Import"));
    importMenu->menuAction()->setShortcut(QKeySequence(QStringLiteral("Ctrl+I")));
    importMenu->addActions({importAddressBook, importSignature, importMailbox, importMailboxFolder, importMessage});
    fileMenu_->addAction(exportMessage);
    fileMenu_->addAction(exportMailbox);
    fileMenu_->addSeparator();
    fileMenu_->addAction(close);

    editMenu_ = bar->addMenu(QStringLiteral("&Edit"));
    editMenu_->addActions({rename, remove});
    editMenu_->addSeparator();
    editMenu_->addAction(selectAll);

    QMenu* utilities = bar->addMenu(QStringLiteral("Utilities"));
    utilities->addActions({phoneDialer, findMessage});
    utilities->addSeparator();
    utilities->addAction(plugins);

    setupMenuBar_ = bar->addMenu(QStringLiteral("&Setup"));
    setupMenuBar_->addActions({setupGeneral, setupBells, setupDefaults, setupSending});
    setupMenuBar_->addSeparator();
    setupMenuBar_->addAction(setupPersonal);
    setupMenu = setupMenuBar_;

    QMenu* viewMenu = bar->addMenu(QStringLiteral("&View"));
    viewMenu->addAction(previewer);

    helpMenu_ = bar->addMenu(QStringLiteral("&Help"));
    helpMenu_->addActions({about, topics});
    helpMenu_->addSeparator();
    helpMenu_->addActions({feedback, storeFront, support, products, updates});
    helpMenu_->addSeparator();
    helpMenu_->addAction(whatsNew);
}

void TMainActions::SetMenuSystemVisible(bool visible) {
    for (QMenu* m : {fileMenu_, editMenu_, setupMenuBar_, helpMenu_})
        if (m) m->menuAction()->setVisible(visible);
}
