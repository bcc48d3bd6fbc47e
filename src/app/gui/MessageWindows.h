#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

#include "store/StoreObserver.h"

class IMessageWindow;
class QWidget;
class TMailStore;

// The open message windows, one per record handle: found by record, raised
// when opened again, told when their record moves, changes or is destroyed,
// and closed when it is. A window leaves the registry when its widget goes.
class TMessageWindows : public QObject, private IStoreObserver {
    Q_OBJECT

public:
    using Factory = std::function<IMessageWindow*()>;

    explicit TMessageWindows(TMailStore& store, QObject* parent = nullptr);
    ~TMessageWindows() override;

    // The window of handle raised and activated when there is one; else
    // make() builds one, which is registered and shown. The window, or null
    // when make() gave none.
    IMessageWindow* Open(int handle, const Factory& make);
    // Registers a window shown elsewhere (e.g. a composer whose record was
    // just created). A handle that has a window already keeps it; false then.
    bool Add(int handle, IMessageWindow* window);

    IMessageWindow* Find(int handle) const;
    // Every open window, e.g. to tell them all of a change of a list.
    std::vector<IMessageWindow*> All() const;
    QWidget* WindowOf(int handle) const;
    int Count() const { return static_cast<int>(windows_.size()); }
    // Closes every window, e.g. at shut-down.
    void CloseAll();

signals:
    void Opened(int handle, QWidget* window);

private:
    struct TEntry {
        IMessageWindow* window;
        QPointer<QWidget> widget;
    };

    void StoreChanged(const TStoreEvent& event) override;
    void RecordRemoved(int handle);
    void Forget(int handle, const QWidget* widget);

    TMailStore& store_;
    QHash<int, TEntry> windows_;
};
