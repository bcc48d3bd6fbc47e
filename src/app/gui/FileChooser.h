#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The open and save dialogs of import and export. The window shows the
// system's file dialogs; tests answer with names of their own.
class IFileChooser {
public:
    virtual ~IFileChooser() = default;
    // The file chosen, empty when cancelled.
    virtual QString Open(QWidget* parent, const QString& title, const QStringList& filters) = 0;
    // The name chosen, empty when cancelled; filter is set to the number of
    // the filter showing, counted from 1.
    virtual QString Save(QWidget* parent, const QString& title, const QStringList& filters, int& filter) = 0;
    // A folder chosen to import, empty when cancelled.
    virtual QString OpenFolder(QWidget* parent, const QString& title) {
        (void)parent;
        (void)title;
        return QString();
    }
};
