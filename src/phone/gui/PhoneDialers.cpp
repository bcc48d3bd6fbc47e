#include "phone/gui/PhoneDialers.h"

#include <QWidget>

#include "phone/gui/PhoneDialer.h"

TPhoneDialers::TPhoneDialers(const TAddressList& book, IUserPrompt& prompt, QWidget* window)
    : QObject(window), book_(book), prompt_(prompt), window_(window) {
    refresh_.setSingleShot(true);
    refresh_.setInterval(0);
    connect(&refresh_, &QTimer::timeout, this, &TPhoneDialers::RefreshAll);
}

TPhoneDialer* TPhoneDialers::Open() {
    // A window of its own above the main window, gone with it.
    auto* dialer = new TPhoneDialer(book_, telephony_, prompt_, window_);
    dialers_.removeAll(nullptr);
    dialers_ << dialer;
    dialer->show();
    dialer->raise();
    dialer->activateWindow();
    return dialer;
}

void TPhoneDialers::BookChanged() {
    dialers_.removeAll(nullptr);
    if (!dialers_.isEmpty()) refresh_.start();
}

QList<TPhoneDialer*> TPhoneDialers::OpenDialers() const {
    QList<TPhoneDialer*> open;
    for (const auto& d : dialers_)
        if (d && d->isVisible()) open << d.data();
    return open;
}

void TPhoneDialers::RefreshAll() {
    // A box of one dialer's lookup lets the user close another meanwhile.
    const QList<QPointer<TPhoneDialer>> dialers = dialers_;
    for (const auto& dialer : dialers)
        if (dialer && dialer->isVisible()) dialer->Refresh();
}
