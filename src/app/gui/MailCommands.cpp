#include "app/gui/MailCommands.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QProgressBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>
#include <ctime>
#include <iterator>

#include "app/gui/FMListView.h"
#include "app/gui/FileChooser.h"
#include "app/gui/MailPage.h"
#include "app/gui/MailboxTreeModel.h"
#include "app/gui/MailboxTreeView.h"
#include "app/gui/MainActions.h"
#include "app/gui/MainToolbar.h"
#include "app/gui/MessageListModel.h"
#include "app/gui/MessageWindows.h"
#include "app/gui/PopupMenus.h"
#include "app/gui/PrintService.h"
#include "app/gui/ToolButton.h"
#include "book/FilterList.h"
#include "common/AppTitle.h"
#include "common/FileUtil.h"
#include "common/UserPrompt.h"
#include "common/gui/FileChooser.h"
#include "common/gui/QtText.h"
#include "compose/gui/SRichEdit.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "mail/MessageDestroyer.h"
#include "mail/MessageExport.h"
#include "mail/MessageImport.h"
#include "mail/MessageMover.h"
#include "mail/RecordBody.h"
#include "richtext/gui/QtRichText.h"
#include "store/MailboxName.h"

namespace {
constexpr int kListWidths[] = {150, 100, 100, 30, 30};

// The cursor of a long operation on the list and the tree, restored on
// every path out.
class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};
}  // namespace

TMailCommands::TMailCommands(TMailStore& store, TMailPage& page, TMainActions& actions, TMainToolbar& toolbar,
                             TPopupMenus& popups, TMessageWindows& windows, TPrintService& printing,
                             IFilterActions& filterActions, IFileChooser& chooser, QProgressBar& progress,
                             StatusSink status, QWidget* window)
    : TMainPage(window),
      store_(store),
      page_(page),
      actions_(actions),
      toolbar_(toolbar),
      popups_(popups),
      windows_(windows),
      printing_(printing),
      filterActions_(filterActions),
      chooser_(&chooser),
      progress_(progress),
      status_(std::move(status)),
      window_(window),
      operations_(store) {
    listModel_ = std::make_unique<TMessageListModel>(store_);
    treeModel_ = std::make_unique<TMailboxTreeModel>(store_, operations_);

    TFMListView* list = page_.StickitLB;
    list->setModel(listModel_.get());
    for (int i = 0; i < static_cast<int>(std::size(kListWidths)); ++i) list->setColumnWidth(i, kListWidths[i]);
    list->header()->setSectionsClickable(true);
    list->setDragEnabled(true);
    list->setDragDropMode(QAbstractItemView::DragOnly);
    list->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    list->installEventFilter(this);
    connect(list->header(), &QHeaderView::sectionClicked, this, [this](int column) { listModel_->sort(column); });
    connect(list, &QAbstractItemView::doubleClicked, this, [this] { OpenSelected(); });
    connect(list, &TFMListView::DragFinished, this, [this] { status_(QString()); });

    TMailboxTreeView* tree = page_.CategoryLB;
    tree->setModel(treeModel_.get());
    tree->installEventFilter(this);
    connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this, &TMailCommands::CurrentChanged);
    connect(treeModel_.get(), &TMailboxTreeModel::Rebuilt, tree, &QTreeView::expandAll);
    connect(treeModel_.get(), &TMailboxTreeModel::Reveal, tree, [tree](const QModelIndex& i) { tree->scrollTo(i); });
    connect(tree, &TMailboxTreeView::RowsDraggedOver, this, &TMailCommands::RowsDraggedOver);
    connect(tree, &TMailboxTreeView::RowsDropped, this, &TMailCommands::MoveRows);
    connect(tree, &TMailboxTreeView::NodeDropped, this, &TMailCommands::MoveNode);

    // The answers of Enabled change with the selection, the rows and the focus.
    const auto changed = [this] { emit CommandsChanged(); };
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, changed);
    connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this, changed);
    connect(listModel_.get(), &QAbstractItemModel::modelReset, this, changed);
    connect(listModel_.get(), &QAbstractItemModel::rowsRemoved, this, changed);
    connect(listModel_.get(), &QAbstractItemModel::rowsInserted, this, changed);
    connect(treeModel_.get(), &QAbstractItemModel::modelReset, this, changed);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { FocusChanged(now); });

    wantedRetry_.setSingleShot(true);
    wantedRetry_.setInterval(kWantedRetryMs);
    connect(&wantedRetry_, &QTimer::timeout, this, [this] {
        if (!wantedNode_.isValid()) return;
        if (store_.Flags().AnyHeld()) {
            wantedRetry_.start();
            return;
        }
        const QModelIndex wanted = wantedNode_;
        wantedNode_ = QPersistentModelIndex();
        page_.CategoryLB->setCurrentIndex(wanted);
    });

    ViewTimer.setSingleShot(true);
    connect(&ViewTimer, &QTimer::timeout, this, [this] {
        if (!store_.Config().Read(cfg::DisplayMessages)) return;
        const THeaders& headers = store_.Headers();
        for (int h = 0; h < headers.Length(); ++h)
            if (const THeaderItem* item = headers.At(h); item && item->Has(mfNew)) OpenMessage(h);
    });

    page_.STextBox->setAcceptDrops(true);
    previewArea_ = page_.STextBox->viewport();
    list_ = page_.StickitLB;
    tree_ = page_.CategoryLB;
    page_.STextBox->viewport()->installEventFilter(this);

    connect(actions_.newMailbox, &QAction::triggered, this, &TMailCommands::NewMailbox);
    actions_.newMailbox->setEnabled(true);
    connect(actions_.emptyTrash, &QAction::triggered, this, &TMailCommands::EmptyTrash);
    // The button empties the trash whenever it is pressed; an empty trash
    // simply has nothing to destroy.
    QAction* trashButton = toolbar_.BTrash->defaultAction();
    trashButton->setEnabled(true);
    connect(trashButton, &QAction::triggered, this, &TMailCommands::EmptyTrash);

    // The tree's own pop-up items act on the node under the mouse.
    popups_.treeRename->setEnabled(true);
    popups_.treeDelete->setEnabled(true);
    connect(popups_.treeRename, &QAction::triggered, this, &TMailCommands::RenameSelected);
    connect(popups_.treeDelete, &QAction::triggered, this, &TMailCommands::DeleteMailbox);
    connect(popups_.CategoryLBPopup, &QMenu::aboutToShow, this, [this] {
        popups_.treeRename->setEnabled(CanRenameNode());
        popups_.treeDelete->setEnabled(CanDeleteNode());
    });
}

QWidget* TMailCommands::Widget() const { return &page_; }

QString TMailCommands::BusyText() { return QStringLiteral("Messages are being saved. Please try again in a moment."); }

bool TMailCommands::Refused() {
    if (!store_.Flags().AnyHeld()) return false;
    status_(BusyText());
    return true;
}

void TMailCommands::FocusChanged(QWidget* now) {
    if (now == page_.CategoryLB)
        pane_ = TPane::Tree;
    else if (now == page_.StickitLB)
        pane_ = TPane::List;
    else
        return;
    emit CommandsChanged();
}

bool TMailCommands::CanRenameNode() const {
    const QModelIndex current = page_.CategoryLB->currentIndex();
    return current.isValid() && (treeModel_->flags(current) & Qt::ItemIsEditable);
}

bool TMailCommands::CanDeleteNode() const {
    const std::string name = SelectedMailbox();
    return !name.empty() && !TMailboxName::IsSystem(name);
}

bool TMailCommands::CanDeleteMessage() const {
    const std::string viewed = store_.Viewed();
    return !viewed.empty() && viewed != TMailboxName::kTrashCan && FirstSelectedRow() >= 0;
}

bool TMailCommands::Enabled(TPageCommand command) const {
    const bool tree = pane_ == TPane::Tree;
    switch (command) {
        case TPageCommand::New:
            return true;
        case TPageCommand::Edit:
            return FirstSelectedRow() >= 0;
        case TPageCommand::Rename:
            if (tree) return CanRenameNode();
            return FirstSelectedRow() >= 0 && listModel_->Editable(FirstSelectedRow());
        case TPageCommand::Delete:
            return tree ? CanDeleteNode() : CanDeleteMessage();
        case TPageCommand::SelectAll:
            // Rows, not mailboxes: only while the list has the focus.
            return !tree && listModel_->rowCount() > 0;
        case TPageCommand::Print:
            return FirstSelectedRow() >= 0;
        case TPageCommand::Import:
            return true;
        case TPageCommand::Export:
            return FirstSelectedRow() >= 0;
    }
    return false;
}

void TMailCommands::Run(TPageCommand command) {
    if (!Enabled(command)) return;
    switch (command) {
        case TPageCommand::New:
            NewMailbox();
            break;
        case TPageCommand::Edit:
            OpenSelected();
            break;
        case TPageCommand::Rename:
            RenameSelected();
            break;
        case TPageCommand::Delete:
            if (pane_ == TPane::Tree)
                DeleteMailbox();
            else
                DeleteCommand();
            break;
        case TPageCommand::SelectAll:
            page_.StickitLB->selectAll();
            break;
        case TPageCommand::Print:
            PrintSelected();
            break;
        case TPageCommand::Export:
            ExportSelected();
            break;
        case TPageCommand::Import:
            ImportMessageFile();
            break;
        default:
            break;
    }
}

// The views are children of the window made before this object, so they are
// gone by the time the models go.
TMailCommands::~TMailCommands() = default;

void TMailCommands::LoadStore() {
    store_.LoadTree();
    page_.CategoryLB->expandAll();
    RefreshTrashIndicator();
}

bool TMailCommands::SelectMailbox(const std::string& name) {
    const int node = store_.Tree().IndexOfNoCase(name);
    if (node < 0) return false;
    page_.CategoryLB->setCurrentIndex(treeModel_->IndexOfNode(node));
    return store_.Viewed() == store_.Tree().At(node).name;
}

std::string TMailCommands::SelectedMailbox() const {
    const int node = treeModel_->NodeOf(page_.CategoryLB->currentIndex());
    return node < 0 ? std::string() : store_.Tree().At(node).name;
}

void TMailCommands::CurrentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (reverting_) return;
    if (store_.Flags().AnyHeld()) {
        reverting_ = true;
        page_.CategoryLB->setCurrentIndex(previous);
        reverting_ = false;
        // Messages are being saved for a moment: the choice is kept and
        // carried out as soon as they are.
        wantedNode_ = current;
        wantedRetry_.start();
        return;
    }
    wantedNode_ = QPersistentModelIndex();
    page_.STextBox->clear();
    const int node = treeModel_->NodeOf(current);
    if (node >= 0) {
        store_.ShowMailbox(store_.Tree().At(node).name, this);
    } else {
        store_.ClearView();
        status_(QStringLiteral("No mailbox selected."));
    }
}

void TMailCommands::Begin(int maximum) {
    progress_.setRange(0, std::max(1, maximum));
    progress_.setValue(0);
    progress_.setVisible(true);
}

void TMailCommands::Step(int position) {
    progress_.setValue(position);
    // The bar is painted as it advances; the pending input waits for the fill.
    progress_.repaint();
}

void TMailCommands::End() { progress_.setVisible(false); }

void TMailCommands::Status(const std::string& text) { status_(qttext::FromStored(text)); }

QList<int> TMailCommands::SelectedRows() const {
    QList<int> rows;
    if (!page_.StickitLB->selectionModel()) return rows;
    for (const QModelIndex& i : page_.StickitLB->selectionModel()->selectedRows()) rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

int TMailCommands::FirstSelectedRow() const {
    // Asked on every change of the selection: the smallest row without
    // sorting them all.
    if (!page_.StickitLB->selectionModel()) return -1;
    int first = -1;
    for (const QModelIndex& i : page_.StickitLB->selectionModel()->selectedRows())
        if (first < 0 || i.row() < first) first = i.row();
    return first;
}

std::vector<int> TMailCommands::HandlesOf(const QList<int>& rows) const {
    std::vector<int> handles;
    handles.reserve(static_cast<std::size_t>(rows.size()));
    for (const int row : rows) handles.push_back(listModel_->HandleAt(row));
    return handles;
}

void TMailCommands::NewMailbox() {
    if (Refused()) return;
    if (window_->isMinimized() || window_->isHidden()) window_->showNormal();
    if (auto* pages = qobject_cast<QTabWidget*>(page_.parentWidget() ? page_.parentWidget()->parentWidget() : nullptr))
        pages->setCurrentWidget(&page_);
    page_.CategoryLB->setFocus();
    const int parent = treeModel_->NodeOf(page_.CategoryLB->currentIndex());
    const auto name = operations_.CreateMailbox(store_.Config().Read(cfg::NewMailbox), parent);
    if (!name) return;
    const QModelIndex created = treeModel_->IndexOfNode(store_.Tree().IndexOf(*name));
    page_.CategoryLB->setCurrentIndex(created);
    page_.CategoryLB->scrollTo(created);
    if (store_.Config().Read(cfg::RenameOnMailboxCreation)) page_.CategoryLB->edit(created);
}

void TMailCommands::RenameSelected() {
    if (Refused()) return;
    if (pane_ == TPane::List) {
        const int row = FirstSelectedRow();
        if (row >= 0 && listModel_->Editable(row)) page_.StickitLB->edit(listModel_->index(row, 0));
        return;
    }
    if (CanRenameNode()) page_.CategoryLB->edit(page_.CategoryLB->currentIndex());
}

void TMailCommands::DeleteMailbox() {
    if (Refused()) return;
    const std::string name = SelectedMailbox();
    if (name.empty()) return;
    if (operations_.DeleteMailbox(name) && store_.Viewed().empty()) status_(QStringLiteral("No mailbox selected."));
    RefreshTrashIndicator();
}

void TMailCommands::DeleteCommand() {
    if (Refused()) return;
    const std::string viewed = store_.Viewed();
    if (viewed.empty() || viewed == TMailboxName::kTrashCan) return;
    const int row = FirstSelectedRow();
    if (row < 0) return;
    TMessageMover(store_).MoveToTrash({listModel_->HandleAt(row)});
    RefreshTrashIndicator();
}

void TMailCommands::DeleteKey() {
    if (Refused()) return;
    const std::string viewed = store_.Viewed();
    if (viewed.empty() || viewed == TMailboxName::kTrashCan) return;
    TMessageMover(store_).MoveToTrash(HandlesOf(SelectedRows()));
    // A row that could not be moved stays, selected no more, so that the
    // next Delete does not report it again at once.
    page_.StickitLB->clearSelection();
    RefreshTrashIndicator();
}

void TMailCommands::DestroySelected() {
    if (Refused()) return;
    if (store_.Viewed().empty()) return;
    std::vector<int> chosen;
    bool all = false;
    for (const int handle : HandlesOf(SelectedRows())) {
        const THeaderItem* item = store_.Headers().At(handle);
        if (item && !all) {
            const TPromptAnswer answer =
                store_.Prompt().YesNoAll(TMessageDestroyer::DestroyQuestion(item->Subject.str()));
            if (answer == TPromptAnswer::No) {
                // Kept, and no longer selected.
                const int row = store_.Rows().Find(handle);
                if (row >= 0)
                    page_.StickitLB->selectionModel()->select(
                        listModel_->index(row, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
                continue;
            }
            if (answer == TPromptAnswer::All) all = true;
        }
        chosen.push_back(handle);
    }
    TMessageDestroyer(store_).Destroy(chosen);
    RefreshTrashIndicator();
}

void TMailCommands::EmptyTrash() {
    if (Refused()) return;
    const int count = store_.Headers().Count(TMailboxName::kTrashCan);
    if (count == 0) return;
    SelectMailbox(TMailboxName::kTrashCan);
    if (!store_.Prompt().YesNo(TMessageDestroyer::EmptyTrashQuestion(count))) return;
    TMessageDestroyer(store_).EmptyTrash();
    RefreshTrashIndicator();
}

bool TMailCommands::RefreshTrashIndicator() {
    const bool full = operations_.RefreshTrashIndicator();
    actions_.emptyTrash->setEnabled(full);
    toolbar_.SetTrashFull(full);
    // Without a themed full can the style's one picture would show both
    // states; the tree's drawn pictures tell them apart.
    if (!QIcon::hasThemeIcon(QStringLiteral("user-trash-full")))
        toolbar_.BTrash->defaultAction()->setIcon(treeModel_->Image(full ? 1 : 0));
    page_.CategoryLB->viewport()->update();
    return full;
}

void TMailCommands::RowsDraggedOver(int node) {
    if (node < 0) return;
    const std::string target = store_.Tree().At(node).name;
    const std::string viewed = store_.Viewed();
    if (node == 0 && target == TMailboxName::kTrashCan && viewed != target)
        status_(QStringLiteral("Send selection to the Trash Can."));
    else if (target != viewed)
        status_(QStringLiteral("Move selection to ") + qttext::FromStored(target) + QStringLiteral("."));
    else
        status_(QStringLiteral("Can not move message to the same mailbox."));
}

void TMailCommands::MoveRows(int node, const QList<int>& handles) {
    if (node < 0 || node >= store_.Tree().Count()) return;
    if (Refused()) return;
    const std::string target = store_.Tree().At(node).name;
    const std::string viewed = store_.Viewed();
    if (target == viewed || viewed.empty()) return;
    // The handles came with the drag: one that names no slot of the list is
    // reported (by the conversion) and left out, as is an emptied slot.
    std::vector<int> moved;
    for (const int handle : handles) {
        const THeaderItem* item = store_.Headers().HandleToHeader(handle);
        if (item && store_.Headers().HandleOf(item) >= 0) moved.push_back(handle);
    }
    if (moved.empty()) return;
    {
        TWaitCursor wait;
        window_->setUpdatesEnabled(false);
        // A failure is reported by the move; the message stays and the
        // others still go.
        TMessageMover(store_).MoveToMailbox(moved, target);
        window_->setUpdatesEnabled(true);
    }
    RefreshTrashIndicator();
}

void TMailCommands::MoveNode(int node, TMailboxTree::Place place, int target) {
    TMailboxTree& tree = store_.Tree();
    if (node < 0 || node >= tree.Count()) return;
    if (Refused()) return;
    const std::string name = tree.At(node).name;
    if (name == TMailboxName::kTrashCan || name == TMailboxName::kInBox || name == TMailboxName::kOutBox) return;
    const std::string selected = SelectedMailbox();
    reverting_ = true;  // the rebuilt tree keeps the mailbox on view
    int moved = node;
    tree.Move(node, place, target, &moved);
    if (!selected.empty()) page_.CategoryLB->setCurrentIndex(treeModel_->IndexOfNode(tree.IndexOf(selected)));
    reverting_ = false;
    store_.SaveTree();
}

void TMailCommands::PreviewSelected() {
    const int row = FirstSelectedRow();
    if (row < 0) return;
    QTextEdit& box = *page_.STextBox;
    box.clear();
    if (const auto doc = TRecordBody(store_).Document(listModel_->HandleAt(row)))
        qtrichtext::Fill(*box.document(), *doc);
}

void TMailCommands::PrintSelected() {
    if (Refused()) return;
    const TRecordBody bodies(store_);
    QItemSelectionModel* selection = page_.StickitLB->selectionModel();
    // Handles first: a row printed and unselected must not shift the rest.
    const std::vector<int> handles = HandlesOf(SelectedRows());
    for (const int handle : handles) {
        const THeaderItem* item = store_.Headers().At(handle);
        const QString subject = item ? qttext::FromStored(item->Subject.str()) : QString();
        // A body that cannot be read prints as empty text under its heading.
        if (item) printing_.Print(subject, bodies.Document(handle).value_or(TRichDocument()));
        const int row = store_.Rows().Find(handle);
        if (row >= 0)
            selection->select(listModel_->index(row, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    }
}

QStringList TMailCommands::FileFilters() { return filechooser::TextFilters(); }

void TMailCommands::ExportSelected() {
    const int row = FirstSelectedRow();
    if (row < 0) return;
    const int handle = listModel_->HandleAt(row);
    const THeaderItem* item = store_.Headers().At(handle);
    if (!item) return;
    const std::string subject = item->Subject.str();
    int filter = TMessageExport::kTextFiles;
    const QString chosen = chooser_->Save(window_, QStringLiteral("Export a message."), FileFilters(), filter);
    if (chosen.isEmpty() || Refused()) return;
    const TMessageExport::TTarget target = TMessageExport::Target(chosen.toStdString(), filter);
    const QString path = QString::fromStdString(target.path);
    switch (TMessageExport(store_).Write(handle, target)) {
        case TMessageExport::TResult::Written:
            status_(QStringLiteral("Message exported to ") + path);
            break;
        case TMessageExport::TResult::NoBody:
            store_.Prompt().Error(std::string(kAppTitle) + " could not read the message \"" + subject +
                                  "\"; nothing was exported.");
            break;
        case TMessageExport::TResult::NotWritten:
            store_.Prompt().Error(std::string(kAppTitle) + " could not write the file \"" + qttext::ToStored(path) +
                                  "\".");
            break;
    }
}

void TMailCommands::ImportMessageFile() {
    if (window_->isMinimized() || window_->isHidden()) window_->showNormal();
    if (auto* pages = qobject_cast<QTabWidget*>(page_.parentWidget() ? page_.parentWidget()->parentWidget() : nullptr))
        pages->setCurrentWidget(&page_);
    const QString chosen = chooser_->Open(window_, filechooser::ImportTitle(), FileFilters());
    if (chosen.isEmpty() || Refused()) return;
    TFilterList filters;
    filters.Load(fileutil::FindNoCase(store_.DataFolder(), cfg::kFilterFile));
    const auto handle =
        TMessageImport(store_, filters.Rows(), filterActions_).Import(chosen.toStdString(), std::time(nullptr));
    if (!handle) {
        store_.Prompt().Error(std::string(kAppTitle) + " could not read the file \"" + qttext::ToStored(chosen) +
                              "\"; nothing was imported.");
        return;
    }
    const THeaderItem* item = store_.Headers().At(*handle);
    status_(QStringLiteral("Imported ") + chosen + QStringLiteral(" into ") +
            qttext::FromStored(item ? item->Mailbox.str() : std::string(TMailboxName::kOutBox)) + u'.');
}

void TMailCommands::OpenSelected() {
    const int row = FirstSelectedRow();
    if (row < 0) return;
    const int handle = listModel_->HandleAt(row);
    if (handle < 0) return;
    if (!store_.Headers().At(handle)) {
        store_.Rows().RemoveAt(row);
        return;
    }
    OpenMessage(handle);
}

void TMailCommands::FocusList() { page_.StickitLB->setFocus(); }

void TMailCommands::OpenMessage(int handle) {
    if (open_ && store_.Headers().At(handle)) open_(handle);
}

void TMailCommands::ProcessingFinished() { ViewTimer.start(100); }

bool TMailCommands::eventFilter(QObject* watched, QEvent* event) {
    // Compared by address only: the widgets may be going while their last
    // events arrive.
    if (watched == previewArea_) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (drag->source() == list_)
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            if (drop->source() == list_) {
                drop->setDropAction(Qt::CopyAction);
                drop->accept();
                PreviewSelected();
            } else {
                drop->ignore();
            }
            return true;
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == list_) {
        if (key->key() == Qt::Key_Delete) {
            if (key->modifiers() & Qt::ShiftModifier)
                DestroySelected();
            else
                DeleteKey();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            OpenSelected();
            return true;
        }
    } else if (watched == tree_ && key->key() == Qt::Key_Delete) {
        DeleteMailbox();
        return true;
    }
    return false;
}
