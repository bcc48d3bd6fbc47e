#pragma once

#include <string>

class QString;
class QWidget;

// A window that shows one record: the reader, the composer, the file viewer.
// The registry tells it what happens to its record; it closes itself when
// destroyed (a top-level widget with Qt::WA_DeleteOnClose), which also takes
// it out of the registry.
class IMessageWindow {
public:
    virtual ~IMessageWindow() = default;

    // The top-level widget; it must delete itself when closed.
    virtual QWidget* Widget() = 0;
    // The record went to another mailbox (or its mailbox was renamed); the
    // handle stays the same.
    virtual void RecordMoved(int /*handle*/, const std::string& /*from*/, const std::string& /*to*/) {}
    // The record's subject, flags or body changed where it is.
    virtual void RecordChanged(int /*handle*/) {}
    // The record is about to be destroyed; the registry closes the window
    // right after. Unsaved work cannot be kept: the record is gone.
    virtual void RecordDestroyed(int /*handle*/) {}

    // The lists of the program changed. Only the composer offers them (its
    // signature and account choosers), so the others keep these empty.
    // The signatures were edited.
    virtual void SignaturesChanged() {}
    // The signature named from is now called to.
    virtual void SignatureRenamed(const QString& /*from*/, const QString& /*to*/) {}
    // The accounts were edited.
    virtual void AccountsChanged() {}
};
