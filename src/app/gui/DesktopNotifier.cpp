#include "app/gui/DesktopNotifier.h"

#include <canberra.h>

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include "common/gui/QtText.h"

TDesktopNotifier::~TDesktopNotifier() {
    if (sound_) ca_context_destroy(sound_);
}

void TDesktopNotifier::Beep() { QApplication::beep(); }

void TDesktopNotifier::RunProgram(const std::string& path) {
    const QString file = qttext::FromStored(path);
    if (file.isEmpty()) return;
    const QFileInfo info(file);
    // Whether it starts is the desktop's concern, as it would be from a
    // file manager.
    if (info.isFile() && info.isExecutable())
        QProcess::startDetached(info.absoluteFilePath(), {}, info.absolutePath());
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

void TDesktopNotifier::PlaySound(const std::string& path) {
    if (path.empty() || soundFailed_) return;
    if (!sound_ && ca_context_create(&sound_) != CA_SUCCESS) {
        sound_ = nullptr;
        soundFailed_ = true;
        return;
    }
    const QByteArray file = QFile::encodeName(qttext::FromStored(path));
    // Each sound gets an id of its own so that one does not cut off another.
    ca_context_play(sound_, ++played_, CA_PROP_MEDIA_FILENAME, file.constData(), CA_PROP_EVENT_DESCRIPTION, "New mail",
                    nullptr);
}
