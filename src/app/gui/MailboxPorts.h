#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <string>

#include "app/gui/MailboxTransfer.h"

class IFileChooser;
class IFilterActions;
class QWidget;
class TMailStore;
class TMailboxTreeView;
class TMainActions;
class TPopupMenus;

// The window's commands that bring whole mailboxes in and take them out:
// File, Import, "Mailbox" (a file: mbox or .eml) and "Mailbox Folder" (a
// Maildir, a folder of .eml files or another program's tree), each into a
// new mailbox named after it; the tree's pop-up to import into the mailbox
// under the mouse and to export it; File, "Export Mailbox" for the selected
// mailbox; and files dropped on a mailbox of the tree, imported there.
class TMailboxPorts : public QObject {
    Q_OBJECT

public:
    using StatusSink = std::function<void(const QString&)>;

    TMailboxPorts(TMailStore& store, TMainActions& actions, TPopupMenus& popups, TMailboxTreeView& tree,
                  std::function<std::string()> selectedMailbox, std::function<IFileChooser&()> chooser,
                  IFilterActions& filterActions, std::string attachFolder, StatusSink status, QWidget* window);

    void ImportFile();
    void ImportFolder();
    void ImportIntoSelected();
    void ExportSelected();
    void ImportDropped(int node, const QStringList& paths);

    TMailboxTransfer& Transfer() { return *transfer_; }

    // The save dialog's filters, numbered from 1 as the dialog gives them.
    static QStringList ExportFilters();

private:
    TMailStore& store_;
    std::function<std::string()> selectedMailbox_;
    std::function<IFileChooser&()> chooser_;
    StatusSink status_;
    QWidget* window_;
    TMailboxTransfer* transfer_;
};
