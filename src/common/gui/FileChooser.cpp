#include "common/gui/FileChooser.h"

#include <QFileDialog>

namespace filechooser {

TFileChooser Desktop() {
    return [](QWidget* parent, const QString& title, const QString& folder, const QString& filters) {
        return QFileDialog::getOpenFileName(parent, title, folder, filters);
    };
}

}  // namespace filechooser
