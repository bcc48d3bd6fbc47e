#include "app/gui/MessageMenu.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

TMessageMenu::TMessageMenu(QToolButton* button, QAction* newMessage, QObject* parent)
    : QObject(parent), button_(button), newMessage_(newMessage) {
    connect(newMessage_, &QAction::changed, this, &TMessageMenu::FollowEnabled);
}

void TMessageMenu::FollowEnabled() {
    // The entries make messages as the button does: available when it is.
    if (menu_)
        for (QAction* entry : menu_->actions()) entry->setEnabled(newMessage_->isEnabled());
}

void TMessageMenu::Rebuild(const QStringList& members) {
    if (members.isEmpty()) {
        button_->setMenu(nullptr);
        button_->setPopupMode(QToolButton::DelayedPopup);
        delete menu_;
        menu_ = nullptr;
        return;
    }
    if (!menu_) {
        menu_ = new QMenu(button_);
        menu_->setObjectName(QStringLiteral("BNewStickitMenu"));
    }
    menu_->clear();
    QAction* standard = menu_->addAction(QStringLiteral("Default"));
    connect(standard, &QAction::triggered, newMessage_, &QAction::trigger);
    for (const QString& member : members) {
        QAction* entry = menu_->addAction(member);
        connect(entry, &QAction::triggered, this, [this, member] { emit MemberChosen(member); });
    }
    FollowEnabled();
    button_->setMenu(menu_);
    // With members the button only opens the menu; "Default" makes the
    // message a plain click made before.
    button_->setPopupMode(QToolButton::InstantPopup);
}
