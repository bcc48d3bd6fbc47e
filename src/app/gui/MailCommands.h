#pragma once

#include <QList>
#include <QPersistentModelIndex>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/gui/MainPage.h"
#include "store/MailStore.h"
#include "store/MailboxOperations.h"
#include "store/MailboxTree.h"

class QModelIndex;
class QProgressBar;
class QWidget;
class TMailPage;
class TMailboxTreeModel;
class TMainActions;
class TMainToolbar;
class TMessageListModel;
class TMessageWindows;
class TPopupMenus;
class TPrintService;
class IFileChooser;
class IFilterActions;

// The "Mail Messages" page: viewing a mailbox, previewing and opening
// messages, creating, renaming, moving and deleting mailboxes, moving,
// deleting and destroying messages, emptying the trash. The store sequences
// are the application services'; this class adds the selection, focus and
// drag rules. Shared commands go to the tree or the list by which of the two
// had the focus last. Boxes go through the store's user prompt.
class TMailCommands : public TMainPage, private IShowProgress {
    Q_OBJECT

public:
    using StatusSink = std::function<void(const QString&)>;

    TMailCommands(TMailStore& store, TMailPage& page, TMainActions& actions, TMainToolbar& toolbar, TPopupMenus& popups,
                  TMessageWindows& windows, TPrintService& printing, IFilterActions& filterActions,
                  IFileChooser& chooser, QProgressBar& progress, StatusSink status, QWidget* window);
    ~TMailCommands() override;

    // The page interface.
    QWidget* Widget() const override;
    bool Enabled(TPageCommand command) const override;
    void Run(TPageCommand command) override;

    // Which of the page's two panes the shared commands act on.
    enum class TPane { Tree, List };
    TPane Pane() const { return pane_; }

    TMailboxOperations& Operations() { return operations_; }
    TMessageListModel* ListModel() const { return listModel_.get(); }
    TMailboxTreeModel* TreeModel() const { return treeModel_.get(); }

    // Loads the tree and every mailbox from the data folder.
    void LoadStore();
    // Selects the mailbox of that name (without regard to case); false when
    // there is none.
    bool SelectMailbox(const std::string& name);
    // The mailbox of the selected node, empty when none.
    std::string SelectedMailbox() const;

    void NewMailbox();
    void RenameSelected();
    void DeleteMailbox();
    // Toolbar "Delete" and the Delete commands on the list: the first
    // selected message goes to the "Trash Can".
    void DeleteCommand();
    // The Delete key on the list: every selected message.
    void DeleteKey();
    // Shift+Delete: every selected message, asked one by one.
    void DestroySelected();
    void EmptyTrash();
    void OpenSelected();
    // Gives the message list the focus (the window was just brought back).
    void FocusList();
    // Prints every selected message, in list order, under its subject, and
    // unselects each row once its job is out. A body that cannot be read
    // prints as empty text under its heading.
    void PrintSelected();
    // Writes the first selected message to a text or rich-text file the
    // user names.
    void ExportSelected();
    // Makes a text or rich-text file the user chooses a new outgoing
    // message in the "Out Box".
    void ImportMessageFile();
    void SetFileChooser(IFileChooser& chooser) { chooser_ = &chooser; }

    // The filters of the import and export dialogs, in the order export
    // numbers them.
    static QStringList FileFilters();
    // Moves messages to a mailbox as a drop of rows onto its node does.
    void MoveRows(int node, const QList<int>& handles);
    void MoveNode(int node, TMailboxTree::Place place, int target);
    // Fills the preview pane with the first selected message.
    void PreviewSelected();
    bool RefreshTrashIndicator();

    // Opens a message in the window its status asks for (the reader or the
    // composer), through the opener the main window gives.
    void OpenMessage(int handle);
    void SetOpener(std::function<void(int)> open) { open_ = std::move(open); }

    // Processing of downloaded messages has finished: shortly after, every
    // new message is opened when "Display Messages" is on.
    void ProcessingFinished();
    QTimer ViewTimer;

    // The status text of a command refused while the store is busy.
    static QString BusyText();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Begin(int maximum) override;
    void Step(int position) override;
    void End() override;
    void Status(const std::string& text) override;

    void CurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    // A mutating command is refused, with a status text, while another
    // operation holds a busy flag (e.g. while its box is up).
    bool Refused();
    void RowsDraggedOver(int node);
    QList<int> SelectedRows() const;
    std::vector<int> HandlesOf(const QList<int>& rows) const;
    int FirstSelectedRow() const;
    bool CanRenameNode() const;
    bool CanDeleteNode() const;
    bool CanDeleteMessage() const;
    void FocusChanged(QWidget* now);

    TMailStore& store_;
    TMailPage& page_;
    TMainActions& actions_;
    TMainToolbar& toolbar_;
    TPopupMenus& popups_;
    TMessageWindows& windows_;
    TPrintService& printing_;
    IFilterActions& filterActions_;
    IFileChooser* chooser_;
    QProgressBar& progress_;
    StatusSink status_;
    std::function<void(int)> open_;
    QWidget* window_;
    TMailboxOperations operations_;
    std::unique_ptr<TMessageListModel> listModel_;
    std::unique_ptr<TMailboxTreeModel> treeModel_;
    static constexpr int kWantedRetryMs = 50;
    bool reverting_ = false;
    // A mailbox chosen while the store was busy, shown once it is free.
    QPersistentModelIndex wantedNode_;
    QTimer wantedRetry_;
    TPane pane_ = TPane::List;
    // The watched widgets, for the event filter.
    const QObject* previewArea_ = nullptr;
    const QObject* list_ = nullptr;
    const QObject* tree_ = nullptr;
};
