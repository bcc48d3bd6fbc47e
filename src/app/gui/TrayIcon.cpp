#include "app/gui/TrayIcon.h"

#include <QMenu>
#include <QSystemTrayIcon>

TTrayIcon::TTrayIcon(QObject* parent)
    : QObject(parent), icon_(new QSystemTrayIcon(this)), available_(QSystemTrayIcon::isSystemTrayAvailable()) {
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger) emit Clicked();
        if (reason == QSystemTrayIcon::DoubleClick) emit DoubleClicked();
    });
}

TTrayIcon::~TTrayIcon() { icon_->hide(); }

void TTrayIcon::SetActive(bool active) {
    active_ = active;
    icon_->setVisible(active && available_);
}

void TTrayIcon::SetIcon(const QIcon& icon) { icon_->setIcon(icon); }

void TTrayIcon::SetToolTip(const QString& tip) {
    tip_ = tip.left(kMaxTip);
    icon_->setToolTip(tip_);
}

void TTrayIcon::SetPopupMenu(QMenu* menu) { icon_->setContextMenu(menu); }
