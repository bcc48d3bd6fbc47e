#include "app/gui/MailCommands.h"

#include <QAction>
#include <iterator>
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

#include "app/gui/FMListView.h"
#include "app/gui/MailPage.h"
#include "app/gui/MailboxTreeModel.h"
#include "app/gui/MailboxTreeView.h"
#include "app/gui/MainActions.h"
#include "app/gui/MainToolbar.h"
#include "app/gui/MessageListModel.h"
#include "app/gui/PopupMenus.h"
#include "common/AppTitle.h"
#include "common/UserPrompt.h"
#include "common/gui/QtText.h"
#include "compose/gui/FMViewer.h"
#include "compose/gui/SRichEdit.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "richtext/RtfReader.h"
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
                             TPopupMenus& popups, QProgressBar& progress, StatusSink status, QWidget* window)
    : QObject(window), store_(store), page_(page), actions_(actions), toolbar_(toolbar), progress_(progress),
      status_(std::move(status)), window_(window), operations_(store) {
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

    ViewTimer.setSingleShot(true);
    connect(&ViewTimer, &QTimer::timeout, this, [this] {
        if (!store_.Config().Read(cfg::DisplayMessages)) return;
        THeaders& headers = store_.Headers();
        for (int h = 0; h < headers.Length(); ++h)
            if (const THeaderItem* item = headers.At(h); item && item->Has(mfNew)) OpenMessage(h);
    });

    page_.STextBox->setAcceptDrops(true);
    previewArea_ = page_.STextBox->viewport();
    list_ = page_.StickitLB;
    tree_ = page_.CategoryLB;
    page_.STextBox->viewport()->installEventFilter(this);

    const auto wire = [this](QAction* action, auto work) {
        connect(action, &QAction::triggered, this, work);
        action->setEnabled(true);
    };
    wire(actions_.newMailbox, &TMailCommands::NewMailbox);
    wire(actions_.view, &TMailCommands::OpenSelected);
    wire(actions_.rename, &TMailCommands::RenameSelected);
    wire(actions_.remove, [this] {
        if (page_.CategoryLB->hasFocus())
            DeleteMailbox();
        else
            DeleteCommand();
    });
    connect(actions_.emptyTrash, &QAction::triggered, this, &TMailCommands::EmptyTrash);
    toolbar_.BDelete->setEnabled(true);
    connect(toolbar_.BDelete, &QToolButton::clicked, this, &TMailCommands::DeleteCommand);
    // The button empties the trash whenever it is pressed; an empty trash
    // simply has nothing to destroy.
    disconnect(actions_.emptyTrash, &QAction::changed, toolbar_.BTrash, nullptr);
    toolbar_.BTrash->setEnabled(true);

    // The tree's own pop-up items act on the node under the mouse.
    const QList<QAction*> items = popups.CategoryLBPopup->actions();
    for (QAction* item : items) {
        if (item->text() == QStringLiteral("Rename")) {
            item->setEnabled(true);
            connect(item, &QAction::triggered, this, &TMailCommands::RenameSelected);
        } else if (item->text() == QStringLiteral("Delete")) {
            item->setEnabled(true);
            connect(item, &QAction::triggered, this, &TMailCommands::DeleteMailbox);
        }
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

bool TMailCommands::Busy() const {
    TBusyFlags& f = store_.Flags();
    return f.messageFile.IsHeld() || f.indexSave.IsHeld() || f.listFill.IsHeld();
}

void TMailCommands::CurrentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (reverting_) return;
    if (Busy()) {
        reverting_ = true;
        page_.CategoryLB->setCurrentIndex(previous);
        reverting_ = false;
        return;
    }
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
    const QList<int> rows = SelectedRows();
    return rows.isEmpty() ? -1 : rows.first();
}

void TMailCommands::NewMailbox() {
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
    if (page_.StickitLB->hasFocus()) {
        const int row = FirstSelectedRow();
        if (row >= 0 && listModel_->Editable(row)) page_.StickitLB->edit(listModel_->index(row, 0));
        return;
    }
    const QModelIndex current = page_.CategoryLB->currentIndex();
    if (current.isValid() && (treeModel_->flags(current) & Qt::ItemIsEditable)) page_.CategoryLB->edit(current);
}

void TMailCommands::DeleteMailbox() {
    const std::string name = SelectedMailbox();
    if (name.empty()) return;
    if (operations_.DeleteMailbox(name) && store_.Viewed().empty()) status_(QStringLiteral("No mailbox selected."));
    RefreshTrashIndicator();
}

bool TMailCommands::MoveToTrash(int row) {
    THeaderItem* item = store_.Headers().At(listModel_->HandleAt(row));
    if (!item) {
        store_.Rows().RemoveAt(row);
        return true;
    }
    const std::string source = item->Mailbox;
    if (!store_.Files().MoveMessage(*item, TMailboxName::kTrashCan) || item->Mailbox == source) {
        store_.Prompt().Error(std::string(kAppTitle) + " could not delete this message." + "\r\n" +
                              "Reason: DeleteStickit in MODULE \"CC\" failed.");
        return false;
    }
    const int position = store_.Rows().Find(store_.Headers().HandleOf(item));
    if (position >= 0) store_.Rows().RemoveAt(position);
    if (item->Has(mfNew)) {
        store_.RefreshMark(TMailboxName::kTrashCan);
        store_.RefreshMark(source);
    }
    return true;
}

void TMailCommands::Compact(const std::string& name) {
    if (!name.empty()) operations_.CompactWithReport(name);
}

void TMailCommands::DeleteCommand() {
    const std::string viewed = store_.Viewed();
    if (viewed.empty() || viewed == TMailboxName::kTrashCan) return;
    const int row = FirstSelectedRow();
    if (row < 0) return;
    MoveToTrash(row);
    store_.Files().SaveIndex(TMailboxName::kTrashCan);
    Compact(viewed);
    RefreshTrashIndicator();
}

void TMailCommands::DeleteKey() {
    const std::string viewed = store_.Viewed();
    if (viewed.empty() || viewed == TMailboxName::kTrashCan) return;
    bool moved = false;
    // A row that cannot be moved is reported once and left behind, so that
    // the loop goes on with the others instead of retrying it.
    for (QList<int> rows = SelectedRows(); !rows.isEmpty(); rows = SelectedRows()) {
        if (!MoveToTrash(rows.first())) {
            page_.StickitLB->selectionModel()->select(listModel_->index(rows.first(), 0),
                                                       QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
            continue;
        }
        moved = true;
    }
    if (moved) {
        store_.Files().SaveIndex(TMailboxName::kTrashCan);
        Compact(viewed);
    }
    RefreshTrashIndicator();
}

void TMailCommands::DestroySelected() {
    const std::string viewed = store_.Viewed();
    if (viewed.empty()) return;
    bool all = false;
    for (QList<int> rows = SelectedRows(); !rows.isEmpty(); rows = SelectedRows()) {
        const int row = rows.first();
        const int handle = listModel_->HandleAt(row);
        THeaderItem* item = store_.Headers().At(handle);
        if (!item) {
            store_.Rows().RemoveAt(row);
            continue;
        }
        if (!all) {
            const TPromptAnswer answer = store_.Prompt().YesNoAll(
                "Are you sure you want to destroy the message \"" + item->Subject.str() + "\"?" + "\r\n" +
                "Click yes to delete this message.");
            if (answer == TPromptAnswer::No) {
                page_.StickitLB->selectionModel()->select(listModel_->index(row, 0),
                                                           QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
                continue;
            }
            if (answer == TPromptAnswer::All) all = true;
        }
        CloseWindowOf(handle);
        operations_.DestroyRecord(handle);
    }
    store_.Files().SaveIndex(viewed);
    store_.RefreshMark(viewed);
    RefreshTrashIndicator();
}

void TMailCommands::EmptyTrash() {
    const int count = store_.Headers().Count(TMailboxName::kTrashCan);
    if (count == 0) return;
    SelectMailbox(TMailboxName::kTrashCan);
    if (!store_.Prompt().YesNo("Are you sure you want to empty the Trash Can?\rIf you choose yes you will destroy all " +
                               std::to_string(count) + " trashed Message(s) forever."))
        return;
    THeaders& headers = store_.Headers();
    for (int h = 0; h < headers.Length(); ++h) {
        const THeaderItem* item = headers.At(h);
        if (item && item->Mailbox == TMailboxName::kTrashCan) {
            CloseWindowOf(h);
            headers.Remove(h);
        }
    }
    store_.Rows().Clear();
    Compact(TMailboxName::kTrashCan);
    store_.RefreshMark(TMailboxName::kTrashCan);
    RefreshTrashIndicator();
}

bool TMailCommands::RefreshTrashIndicator() {
    const bool full = operations_.RefreshTrashIndicator();
    actions_.emptyTrash->setEnabled(full);
    toolbar_.BTrash->setEnabled(true);
    toolbar_.SetTrashFull(full);
    // Without a themed full can the style's one picture would show both
    // states; the tree's drawn pictures tell them apart.
    if (!QIcon::hasThemeIcon(QStringLiteral("user-trash-full"))) toolbar_.BTrash->setIcon(treeModel_->Image(full ? 1 : 0));
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
    const std::string target = store_.Tree().At(node).name;
    const std::string viewed = store_.Viewed();
    if (target == viewed || viewed.empty()) return;
    {
        TWaitCursor wait;
        window_->setUpdatesEnabled(false);
        for (const int handle : handles) {
            THeaderItem* item = store_.Headers().At(handle);
            if (!item) {
                const int position = store_.Rows().Find(handle);
                if (position >= 0) store_.Rows().RemoveAt(position);
                continue;
            }
            // A failure is reported by the move; the message stays and the
            // others still go.
            operations_.MoveRecord(*item, target);
        }
        window_->setUpdatesEnabled(true);
    }
    Compact(viewed);
    store_.Files().SaveIndex(target);
    RefreshTrashIndicator();
}

void TMailCommands::MoveNode(int node, TMailboxTree::Place place, int target) {
    TMailboxTree& tree = store_.Tree();
    if (node < 0 || node >= tree.Count()) return;
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

void TMailCommands::ShowBody(int handle, QTextEdit& box) {
    const THeaderItem* item = store_.Headers().At(handle);
    box.clear();
    if (!item) return;
    std::string body;
    if (!store_.Files().ReadBody(*item, body)) return;
    if (body.find("{\\rtf") != std::string::npos || item->MsgType == "RTF") {
        qtrichtext::Fill(*box.document(), TRtfReader::Read(body));
    } else {
        box.setPlainText(qttext::FromStored(body));
    }
}

void TMailCommands::PreviewSelected() {
    const int row = FirstSelectedRow();
    if (row < 0) return;
    ShowBody(listModel_->HandleAt(row), *page_.STextBox);
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

void TMailCommands::MarkRead(THeaderItem& item) {
    if (!item.Has(mfNew)) return;
    item.Flags = static_cast<std::uint8_t>((item.Flags & ~mfNew) | mfRead);
    store_.UpdateRow(item);
    store_.RefreshMark(item.Mailbox);
    store_.Tip().SetCount(store_.Headers().CountNewAll());
    store_.RefreshTip();
}

void TMailCommands::OpenMessage(int handle) {
    THeaderItem* item = store_.Headers().At(handle);
    if (!item) return;
    MarkRead(*item);
    if (QWidget* open = WindowOf(handle)) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto* viewer = new TFMViewer(window_);
    viewer->SetFileName(qttext::FromStored(item->Subject.str()));
    viewer->setObjectName(QStringLiteral("MessageViewer"));
    ShowBody(handle, *viewer->ViewBox());
    viewer->show();
    viewers_.insert(handle, viewer);
    emit MessageOpened(handle, viewer);
}

void TMailCommands::ProcessingFinished() { ViewTimer.start(100); }

void TMailCommands::CloseWindowOf(int handle) {
    if (QWidget* open = viewers_.take(handle)) open->close();
}

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
