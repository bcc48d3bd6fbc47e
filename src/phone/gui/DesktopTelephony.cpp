#include "phone/gui/DesktopTelephony.h"

#include <QDesktopServices>
#include <QProcess>
#include <QString>
#include <QUrl>

namespace {

constexpr int kQueryMs = 5000;

}  // namespace

QString TDesktopTelephony::Handler() {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/tel")});
    if (!query.waitForFinished(kQueryMs)) {
        query.kill();
        query.waitForFinished();
        return {};
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0) return {};
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

bool TDesktopTelephony::CanCall() {
    if (!canCall_) canCall_ = !Handler().isEmpty();
    return *canCall_;
}

void TDesktopTelephony::RequestMakeCall(const std::string& telLink, const std::string&) {
    // A tel: link has no place for the called party's name; the dialer
    // shows its own entry for the number.
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(telLink.c_str())));
}
