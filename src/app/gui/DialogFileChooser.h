#pragma once

#include "app/gui/FileChooser.h"

// The file dialogs as the user sees them. The save dialog adds no
// extension of its own: export decides it from the name and the filter.
class TDialogFileChooser : public IFileChooser {
public:
    QString Open(QWidget* parent, const QString& title, const QStringList& filters) override;
    QString Save(QWidget* parent, const QString& title, const QStringList& filters, int& filter) override;
    QString OpenFolder(QWidget* parent, const QString& title) override;
};
