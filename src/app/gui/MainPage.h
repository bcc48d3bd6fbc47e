#pragma once

#include <QObject>

class QWidget;

// The commands the main window's tool bar, menus and pop-ups share among
// its pages; each acts on the page showing.
enum class TPageCommand { New, Edit, Rename, Delete, Import, Export, Print, SelectAll };

// One page of the main window ("Mail Messages", "Address Book", "Signature
// Files", "Message Filters", "Internet Servers"). The control center asks
// the page showing whether a shared command is available now and hands it
// the command; the page routes further by the focus inside it. A page emits
// CommandsChanged whenever its answers may have changed (selection, focus,
// content), so that every action, button and pop-up item follows.
class TMainPage : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // The widget of the page's tab.
    virtual QWidget* Widget() const = 0;
    // Whether the command can run now.
    virtual bool Enabled(TPageCommand command) const = 0;
    // Runs the command; nothing when it is not enabled.
    virtual void Run(TPageCommand command) = 0;

signals:
    void CommandsChanged();
};
