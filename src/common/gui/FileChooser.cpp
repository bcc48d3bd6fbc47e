#include "common/gui/FileChooser.h"

#include <QFileDialog>

namespace filechooser {

TFileChooser Desktop() {
    return [](QWidget* parent, const QString& title, const QString& folder, const QString& filters) {
        return QFileDialog::getOpenFileName(parent, title, folder, filters);
    };
}

QString ImportTitle() { return QStringLiteral("Import a file."); }

QStringList TextFilters() {
    return {QStringLiteral("Text Files (*.txt)"), QStringLiteral("Rich Text Format (RTF) Files (*.rtf)"),
            QStringLiteral("All Files  (*)")};
}

}  // namespace filechooser
