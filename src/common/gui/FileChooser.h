#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// Asks the user for a file to open: (parent, title, start folder, name
// filters) to the chosen path, empty when cancelled. Dialogs take one so that
// tests can answer in place of the desktop's file dialog.
using TFileChooser = std::function<QString(QWidget*, const QString&, const QString&, const QString&)>;

namespace filechooser {

// The desktop's open dialog.
TFileChooser Desktop();
// The title of the dialogs that import a file: "Import a file.".
QString ImportTitle();
// The filters of importing and exporting a text or rich-text file, in the
// order export numbers them: text, rich text, all files.
QStringList TextFilters();

}  // namespace filechooser
