#include "app/gui/MailboxPorts.h"

#include <QAction>
#include <QFileInfo>
#include <QWidget>

#include "app/gui/FileChooser.h"
#include "app/gui/MailboxTreeView.h"
#include "app/gui/MainActions.h"
#include "app/gui/PopupMenus.h"
#include "common/gui/QtText.h"
#include "store/MailStore.h"

TMailboxPorts::TMailboxPorts(TMailStore& store, TMainActions& actions, TPopupMenus& popups, TMailboxTreeView& tree,
                             std::function<std::string()> selectedMailbox, std::function<IFileChooser&()> chooser,
                             IFilterActions& filterActions, std::string attachFolder, StatusSink status,
                             QWidget* window)
    : QObject(window),
      store_(store),
      selectedMailbox_(std::move(selectedMailbox)),
      chooser_(std::move(chooser)),
      status_(std::move(status)),
      window_(window),
      transfer_(new TMailboxTransfer(store, filterActions, std::move(attachFolder), window)) {
    const std::pair<QAction*, void (TMailboxPorts::*)()> commands[] = {
        {actions.importMailbox, &TMailboxPorts::ImportFile},
        {actions.importMailboxFolder, &TMailboxPorts::ImportFolder},
        {actions.exportMailbox, &TMailboxPorts::ExportSelected},
        {popups.treeImport, &TMailboxPorts::ImportIntoSelected},
        {popups.treeExport, &TMailboxPorts::ExportSelected}};
    for (const auto& [action, run] : commands) {
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, run);
    }
    connect(&tree, &TMailboxTreeView::FilesDropped, this, &TMailboxPorts::ImportDropped);
    connect(transfer_, &TMailboxTransfer::StatusText, this, [this](const QString& text) {
        if (status_) status_(text);
    });
}

QStringList TMailboxPorts::ExportFilters() {
    return {QStringLiteral("Mailbox file (*.mbox)"), QStringLiteral("Folder of messages (*.eml)")};
}

namespace {

QStringList ImportFilters() {
    return {QStringLiteral("Mailbox files (*.mbox *.mbx *.eml)"), QStringLiteral("All files (*)")};
}

}  // namespace

void TMailboxPorts::ImportFile() {
    const QString chosen = chooser_().Open(window_, QStringLiteral("Import a mailbox."), ImportFilters());
    if (!chosen.isEmpty()) transfer_->Import(chosen, std::string());
}

void TMailboxPorts::ImportFolder() {
    const QString chosen = chooser_().OpenFolder(window_, QStringLiteral("Import a mailbox folder."));
    if (!chosen.isEmpty()) transfer_->Import(chosen, std::string());
}

void TMailboxPorts::ImportIntoSelected() {
    const std::string mailbox = selectedMailbox_();
    if (mailbox.empty()) return ImportFile();
    const QString chosen = chooser_().Open(
        window_, QStringLiteral("Import into ") + qttext::FromStored(mailbox) + QStringLiteral("."), ImportFilters());
    if (!chosen.isEmpty()) transfer_->Import(chosen, mailbox);
}

void TMailboxPorts::ExportSelected() {
    const std::string mailbox = selectedMailbox_();
    if (mailbox.empty()) {
        if (status_) status_(QStringLiteral("Select the mailbox to export in the tree first."));
        return;
    }
    int filter = 1;
    QString chosen = chooser_().Save(
        window_, QStringLiteral("Export ") + qttext::FromStored(mailbox) + QStringLiteral("."), ExportFilters(), filter);
    if (chosen.isEmpty()) return;
    const bool eml = filter == 2;
    if (!eml && QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".mbox");
    transfer_->Export(mailbox, chosen, eml ? TMailboxExport::TFormat::Eml : TMailboxExport::TFormat::Mbox);
}

void TMailboxPorts::ImportDropped(int node, const QStringList& paths) {
    if (node < 0 || node >= store_.Tree().Count()) return;
    const std::string mailbox = store_.Tree().At(node).name;
    for (const QString& path : paths) transfer_->Import(path, mailbox);
}
