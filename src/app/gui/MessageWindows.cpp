#include "app/gui/MessageWindows.h"

#include <QWidget>

#include "compose/gui/MessageWindow.h"
#include "store/MailStore.h"

TMessageWindows::TMessageWindows(TMailStore& store, QObject* parent) : QObject(parent), store_(store) {
    store_.AddObserver(this);
}

TMessageWindows::~TMessageWindows() {
    store_.RemoveObserver(this);
    // The widgets may outlive the registry; they no longer report to it.
    for (const TEntry& entry : std::as_const(windows_))
        if (entry.widget) disconnect(entry.widget, nullptr, this, nullptr);
}

IMessageWindow* TMessageWindows::Open(int handle, const Factory& make) {
    if (IMessageWindow* open = Find(handle)) {
        QWidget* widget = open->Widget();
        if (widget->isMinimized()) widget->showNormal();
        widget->raise();
        widget->activateWindow();
        return open;
    }
    IMessageWindow* made = make ? make() : nullptr;
    if (!made || !Add(handle, made)) return made;
    made->Widget()->show();
    emit Opened(handle, made->Widget());
    return made;
}

bool TMessageWindows::Add(int handle, IMessageWindow* window) {
    if (!window || Find(handle)) return false;
    QWidget* widget = window->Widget();
    windows_.insert(handle, {window, widget});
    connect(widget, &QObject::destroyed, this, [this, handle, widget] { Forget(handle, widget); });
    return true;
}

void TMessageWindows::Forget(int handle, const QWidget* widget) {
    const auto at = windows_.find(handle);
    // A later window of the same handle stays.
    if (at != windows_.end() && (at->widget == widget || at->widget.isNull())) windows_.erase(at);
}

std::vector<IMessageWindow*> TMessageWindows::All() const {
    std::vector<IMessageWindow*> out;
    for (const auto& entry : windows_)
        if (!entry.widget.isNull()) out.push_back(entry.window);
    return out;
}

IMessageWindow* TMessageWindows::Find(int handle) const {
    const auto at = windows_.constFind(handle);
    if (at == windows_.constEnd() || at->widget.isNull()) return nullptr;
    return at->window;
}

QWidget* TMessageWindows::WindowOf(int handle) const {
    IMessageWindow* window = Find(handle);
    return window ? window->Widget() : nullptr;
}

void TMessageWindows::CloseAll() {
    const QList<int> handles = windows_.keys();
    for (const int handle : handles) {
        const TEntry entry = windows_.take(handle);
        if (entry.widget) entry.widget->close();
    }
}

void TMessageWindows::RecordRemoved(int handle) {
    IMessageWindow* window = Find(handle);
    if (!window) return;
    window->RecordDestroyed(handle);
    const TEntry entry = windows_.take(handle);
    if (entry.widget) entry.widget->close();
}

void TMessageWindows::StoreChanged(const TStoreEvent& event) {
    switch (event.change) {
        case TStoreChange::RecordRemoved:
            RecordRemoved(event.handle);
            break;
        case TStoreChange::RecordMoved:
            if (IMessageWindow* window = Find(event.handle))
                window->RecordMoved(event.handle, event.from, event.mailbox);
            break;
        case TStoreChange::RecordChanged:
            if (IMessageWindow* window = Find(event.handle)) window->RecordChanged(event.handle);
            break;
        case TStoreChange::MailboxRenamed:
            // A window showing one of its records names the mailbox.
            for (auto at = windows_.cbegin(); at != windows_.cend(); ++at) {
                const THeaderItem* item = store_.Headers().At(at.key());
                if (item && !at->widget.isNull() && item->Mailbox == event.mailbox)
                    at->window->RecordMoved(at.key(), event.from, event.mailbox);
            }
            break;
        default:
            break;
    }
}
