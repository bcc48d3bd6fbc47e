#include "app/gui/CheckAccounts.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "common/AppTitle.h"

TCheckAccounts::TCheckAccounts(const QStringList& aliases, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("CheckAccounts"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QString::fromLatin1(kAppTitle) + QStringLiteral(" Mail Check"));
    auto* label = new QLabel(QStringLiteral("Select the Account(s) you wish to check for new mail."), this);
    box_ = new QListWidget(this);
    box_->setObjectName(QStringLiteral("AccountsBox"));
    box_->setViewMode(QListView::IconMode);
    box_->setIconSize(QSize(32, 32));
    box_->setMovement(QListView::Static);
    box_->setResizeMode(QListView::Adjust);
    box_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    box_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const QIcon icon = QIcon::fromTheme(QStringLiteral("network-server"),
                                        QApplication::style()->standardIcon(QStyle::SP_DriveNetIcon));
    for (const QString& alias : aliases) box_->addItem(new QListWidgetItem(icon, alias));
    box_->sortItems();
    start_ = new QPushButton(QStringLiteral("&Start"), this);
    start_->setObjectName(QStringLiteral("StartBtn"));
    start_->setAutoDefault(false);
    close_ = new QPushButton(QStringLiteral("&Close"), this);
    close_->setObjectName(QStringLiteral("CloseBtn"));
    close_->setDefault(true);
    connect(start_, &QPushButton::clicked, this, &TCheckAccounts::StartSelected);
    connect(close_, &QPushButton::clicked, this, &QDialog::close);
    connect(box_, &QListWidget::itemDoubleClicked, this, &TCheckAccounts::StartSelected);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(start_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(box_);
    layout->addLayout(buttons);
    resize(360, 240);
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QStringList TCheckAccounts::Selected() const {
    QStringList aliases;
    for (int i = 0; i < box_->count(); ++i)
        if (box_->item(i)->isSelected()) aliases << box_->item(i)->text();
    return aliases;
}

void TCheckAccounts::StartSelected() {
    const QStringList aliases = Selected();
    hide();
    emit Start(aliases);
    close();
}
