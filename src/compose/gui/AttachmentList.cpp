#include "compose/gui/AttachmentList.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeDatabase>
#include <QStyle>
#include <QUrl>

#include "common/UserPrompt.h"
#include "common/gui/QtText.h"
#include "compose/gui/FMViewer.h"
#include "compose/gui/ProgramFile.h"

namespace {
constexpr int kPathRole = Qt::UserRole;

QIcon IconOf(const QString& path) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull()) icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull()) icon = QIcon::fromTheme(QStringLiteral("text-x-generic"));
    // A desktop without an icon theme still shows a file picture.
    if (icon.isNull()) icon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    return icon;
}
}  // namespace

TAttachmentList::TAttachmentList(bool editable, QWidget* parent)
    : QListWidget(parent), menu_(new QMenu(this)), editable_(editable) {
    setObjectName(QStringLiteral("Attachments"));
    setViewMode(QListView::IconMode);
    setIconSize(QSize(32, 32));
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFixedHeight(66);
    setMouseTracking(true);
    setContextMenuPolicy(Qt::CustomContextMenu);

    if (editable) {
        addFile = menu_->addAction(QStringLiteral("Add File"));
        menu_->addSeparator();
        connect(addFile, &QAction::triggered, this, &TAttachmentList::AddRequested);
    }
    execute = menu_->addAction(QStringLiteral("Execute"));
    menu_->setDefaultAction(execute);
    remove = menu_->addAction(QStringLiteral("Remove"));
    view = menu_->addAction(QStringLiteral("View"));
    menu_->addSeparator();
    exploreFolder = menu_->addAction(QStringLiteral("Explore Folder"));
    remove->setEnabled(false);
    connect(execute, &QAction::triggered, this, &TAttachmentList::ExecuteSelected);
    connect(view, &QAction::triggered, this, &TAttachmentList::ViewSelected);
    connect(exploreFolder, &QAction::triggered, this, &TAttachmentList::ExploreSelected);
    if (editable) connect(remove, &QAction::triggered, this, &TAttachmentList::RemoveSelected);
    connect(menu_, &QMenu::aboutToShow, this, [this, editable] {
        const bool any = !selectedItems().isEmpty();
        for (QAction* a : {execute, view, exploreFolder}) a->setEnabled(any);
        remove->setEnabled(editable && any);
    });
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { menu_->popup(viewport()->mapToGlobal(at)); });
    connect(this, &QListWidget::itemDoubleClicked, this, [this] { ExecuteSelected(); });
    connect(this, &QListWidget::itemEntered, this, [this](QListWidgetItem* item) {
        emit Status(QStringLiteral("Shortcut to ") + item->data(kPathRole).toString());
    });
    hide();
}

void TAttachmentList::AddItem(const std::string& path) {
    const QString full = qttext::FromStored(path);
    auto* item = new QListWidgetItem(IconOf(full), QFileInfo(full).fileName(), this);
    item->setData(kPathRole, full);
    item->setToolTip(qttext::PlainTip(full));
}

void TAttachmentList::SetPaths(const std::vector<std::string>& paths) {
    clear();
    for (const auto& path : paths) AddItem(path);
    Refresh();
}

void TAttachmentList::Append(const std::string& path) {
    AddItem(path);
    Refresh();
    emit Changed();
}

std::vector<std::string> TAttachmentList::Paths() const {
    std::vector<std::string> out;
    for (int i = 0; i < count(); ++i) out.push_back(qttext::ToStored(item(i)->data(kPathRole).toString()));
    return out;
}

void TAttachmentList::RemoveSelected() {
    const auto selected = selectedItems();
    if (selected.isEmpty()) return;
    qDeleteAll(selected);
    Refresh();
    emit Changed();
}

void TAttachmentList::Clear() {
    clear();
    Refresh();
    emit Changed();
}

void TAttachmentList::Refresh() { setVisible(count() > 0); }

void TAttachmentList::ExecuteSelected() {
    for (const QListWidgetItem* item : selectedItems()) {
        const QString path = item->data(kPathRole).toString();
        if (!QFileInfo::exists(path)) continue;
        // A received program would run with the user's rights: only when
        // the user says so, knowing what it is.
        if (!editable_ && programfile::IsProgram(path) &&
            !(prompt_ && prompt_->YesNo("The attachment " + qttext::ToStored(programfile::Describe(path)) +
                                        " is a program: opening it runs it with your rights.\n\n"
                                        "Open it only when you know the sender and expected it. Run it?")))
            continue;
        emit Status(QStringLiteral("Shortcut to ") + path);
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
}

void TAttachmentList::ViewSelected() {
    for (const QListWidgetItem* item : selectedItems()) {
        const QString path = item->data(kPathRole).toString();
        auto* viewer = new TFMViewer(nullptr);
        // The composer names the file, the reader its whole path.
        viewer->SetFileName(editable_ ? QFileInfo(path).fileName() : path);
        viewer->LoadFile(path);
        viewer->show();
    }
}

void TAttachmentList::ExploreSelected() {
    for (const QListWidgetItem* item : selectedItems())
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(item->data(kPathRole).toString()).absolutePath()));
}

void TAttachmentList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        ExecuteSelected();
        return;
    }
    QListWidget::keyPressEvent(event);
}
