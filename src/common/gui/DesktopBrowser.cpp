#include "common/gui/DesktopBrowser.h"

#include <QDesktopServices>
#include <QUrl>

bool TDesktopBrowser::Open(const std::string& url) {
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(url), QUrl::StrictMode));
}
