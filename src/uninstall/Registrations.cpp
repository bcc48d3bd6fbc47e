#include "Registrations.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace {

// The names the installation uses; the uninstaller shares no code with the
// client, so they are spelled here again.
const QString kEntryId = QStringLiteral("skiffpost.desktop");
const QString kMailtoType = QStringLiteral("x-scheme-handler/mailto");
const QString kDefaultSection = QStringLiteral("[Default Applications]");

QString EnvOr(const char* name, const QString& fallback) {
    const QString v = qEnvironmentVariable(name);
    return v.isEmpty() ? fallback : v;
}

QString Folder(const QString& f) { return f.endsWith(u'/') ? f : f + u'/'; }

}  // namespace

TRegistrations::Places TRegistrations::FromEnvironment(const QString& programFolder) {
    const QString home = EnvOr("HOME", QDir::homePath());
    return Places{programFolder, EnvOr("XDG_CONFIG_HOME", home + QStringLiteral("/.config")),
                  EnvOr("XDG_DATA_HOME", home + QStringLiteral("/.local/share"))};
}

TRegistrations::TRegistrations(Places places) : places_(std::move(places)) {
    places_.programFolder = Folder(places_.programFolder);
    places_.configHome = Folder(places_.configHome);
    places_.dataHome = Folder(places_.dataHome);
}

QString TRegistrations::MenuEntryPath() const { return places_.dataHome + QStringLiteral("applications/") + kEntryId; }
QString TRegistrations::AutostartPath() const { return places_.configHome + QStringLiteral("autostart/") + kEntryId; }
QString TRegistrations::MimeAppsPath() const { return places_.configHome + QStringLiteral("mimeapps.list"); }
QString TRegistrations::RecordPath() const { return places_.configHome + QStringLiteral("Skiffpost/Install.ini"); }

void TRegistrations::RemoveAll() const {
    QFile::remove(MenuEntryPath());
    RemoveMailtoAssociation();
    QFile::remove(AutostartPath());
    // Only the record of the installation goes: the location file beside it
    // tells where the user's mail lies and stays for the next installation.
    QFile::remove(RecordPath());
}

// The association goes only while the program's entry is the first choice;
// a handler the user picked since is left alone, and so is every other line.
void TRegistrations::RemoveMailtoAssociation() const {
    QFile in(MimeAppsPath());
    if (!in.open(QIODevice::ReadOnly)) return;
    QStringList lines = QString::fromUtf8(in.readAll()).split(u'\n');
    in.close();

    bool inDefaults = false, changed = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString t = lines[i].trimmed();
        if (t.startsWith(u'[')) {
            inDefaults = t == kDefaultSection;
            continue;
        }
        const qsizetype eq = t.indexOf(u'=');
        if (!inDefaults || eq < 0 || t.left(eq).trimmed() != kMailtoType) continue;
        QStringList handlers = t.mid(eq + 1).split(u';', Qt::SkipEmptyParts);
        for (QString& h : handlers) h = h.trimmed();
        if (handlers.isEmpty() || handlers.first() != kEntryId) continue;
        handlers.removeAll(kEntryId);
        if (handlers.isEmpty()) {
            lines.removeAt(i--);
        } else {
            lines[i] = kMailtoType + u'=' + handlers.join(u';') + u';';
        }
        changed = true;
    }
    if (!changed) return;  // a second run leaves the file as it is

    QSaveFile out(MimeAppsPath());
    if (!out.open(QIODevice::WriteOnly)) return;
    out.write(lines.join(u'\n').toUtf8());
    out.commit();
}
