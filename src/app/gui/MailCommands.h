#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

#include "store/MailStore.h"
#include "store/MailboxOperations.h"
#include "store/MailboxTree.h"

class QItemSelection;
class QModelIndex;
class QProgressBar;
class QWidget;
class TMailPage;
class TMailboxTreeModel;
class TMainActions;
class TMainToolbar;
class TMessageListModel;
class TPopupMenus;

// What the user does on the "Mail Messages" page: viewing a mailbox,
// previewing and opening messages, creating, renaming, moving and deleting
// mailboxes, moving, deleting and destroying messages, emptying the trash.
// Boxes go through the store's user prompt.
class TMailCommands : public QObject, private IShowProgress {
    Q_OBJECT

public:
    using StatusSink = std::function<void(const QString&)>;

    TMailCommands(TMailStore& store, TMailPage& page, TMainActions& actions, TMainToolbar& toolbar,
                  TPopupMenus& popups, QProgressBar& progress, StatusSink status, QWidget* window);
    ~TMailCommands() override;

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
    // Toolbar "Delete" and the Delete commands: the first selected message
    // goes to the "Trash Can".
    void DeleteCommand();
    // The Delete key on the list: every selected message.
    void DeleteKey();
    // Shift+Delete: every selected message, asked one by one.
    void DestroySelected();
    void EmptyTrash();
    void OpenSelected();
    // Moves messages to a mailbox as a drop of rows onto its node does.
    void MoveRows(int node, const QList<int>& handles);
    void MoveNode(int node, TMailboxTree::Place place, int target);
    // Fills the preview pane with the first selected message.
    void PreviewSelected();
    bool RefreshTrashIndicator();

    // Opens a message the way the reader or composer will: read-only, in a
    // window of its own. A received message is marked read first.
    void OpenMessage(int handle);
    void MarkRead(THeaderItem& item);

    // Processing of downloaded messages has finished: shortly after, every
    // new message is opened when "Display Messages" is on.
    void ProcessingFinished();
    QTimer ViewTimer;

    // The window showing a record, null when none.
    QWidget* WindowOf(int handle) const { return viewers_.value(handle); }

signals:
    void MessageOpened(int handle, QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Begin(int maximum) override;
    void Step(int position) override;
    void End() override;
    void Status(const std::string& text) override;

    void CurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    bool Busy() const;
    void RowsDraggedOver(int node);
    void UpdateCommands();
    QList<int> SelectedRows() const;
    int FirstSelectedRow() const;
    bool MoveToTrash(int row);
    void Compact(const std::string& name);
    void ShowBody(int handle, class QTextEdit& box);
    // A record about to be destroyed takes its window with it.
    void CloseWindowOf(int handle);

    TMailStore& store_;
    TMailPage& page_;
    TMainActions& actions_;
    TMainToolbar& toolbar_;
    QProgressBar& progress_;
    StatusSink status_;
    QWidget* window_;
    TMailboxOperations operations_;
    std::unique_ptr<TMessageListModel> listModel_;
    std::unique_ptr<TMailboxTreeModel> treeModel_;
    bool reverting_ = false;
    // The watched widgets, for the event filter.
    const QObject* previewArea_ = nullptr;
    const QObject* list_ = nullptr;
    const QObject* tree_ = nullptr;
    QHash<int, QPointer<QWidget>> viewers_;
};
