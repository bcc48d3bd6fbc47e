#include "compose/gui/ProgramFile.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <QStringList>

namespace programfile {

namespace {
// Types whose default handler runs the file (wine, a Java runtime, an
// interpreter, the desktop's launcher) and their parents in the database.
const QStringList& ProgramTypes() {
    static const QStringList types{
        QStringLiteral("application/x-executable"),
        QStringLiteral("application/x-sharedlib"),
        QStringLiteral("application/x-pie-executable"),
        QStringLiteral("application/x-ms-dos-executable"),
        QStringLiteral("application/x-msdownload"),
        QStringLiteral("application/vnd.microsoft.portable-executable"),
        QStringLiteral("application/x-msi"),
        QStringLiteral("application/x-ms-shortcut"),
        QStringLiteral("application/x-shellscript"),
        QStringLiteral("application/x-desktop"),
        QStringLiteral("application/java-archive"),
        QStringLiteral("application/x-java-jnlp-file"),
        QStringLiteral("application/x-executable-script"),
        QStringLiteral("application/x-perl"),
        QStringLiteral("text/x-python"),
        QStringLiteral("text/x-python3"),
        QStringLiteral("application/x-ruby"),
        QStringLiteral("application/x-csh"),
        QStringLiteral("application/x-bat"),
        QStringLiteral("application/x-appimage"),
        QStringLiteral("application/vnd.appimage"),
        QStringLiteral("application/x-deb"),
        QStringLiteral("application/vnd.debian.binary-package"),
        QStringLiteral("application/x-rpm"),
    };
    return types;
}

// Names the type database may not know but desktops run all the same.
bool HasProgramSuffix(const QFileInfo& info) {
    static const QStringList suffixes{
        QStringLiteral("exe"), QStringLiteral("com"),     QStringLiteral("scr"),      QStringLiteral("pif"),
        QStringLiteral("bat"), QStringLiteral("cmd"),     QStringLiteral("msi"),      QStringLiteral("vbs"),
        QStringLiteral("js"),  QStringLiteral("jse"),     QStringLiteral("wsf"),      QStringLiteral("jar"),
        QStringLiteral("sh"),  QStringLiteral("desktop"), QStringLiteral("appimage"), QStringLiteral("lnk"),
        QStringLiteral("ps1"), QStringLiteral("py"),      QStringLiteral("pl"),       QStringLiteral("run")};
    return suffixes.contains(info.suffix(), Qt::CaseInsensitive);
}
}  // namespace

bool IsProgram(const QString& path) {
    const QFileInfo info(path);
    if (info.isFile() && info.isExecutable()) return true;
    if (HasProgramSuffix(info)) return true;
    // The type from the name and the content both: a renamed program is
    // still one.
    const QMimeDatabase db;
    for (const QMimeType& type : {db.mimeTypeForFile(info, QMimeDatabase::MatchExtension),
                                  db.mimeTypeForFile(info, QMimeDatabase::MatchContent)})
        for (const QString& program : ProgramTypes())
            if (type.inherits(program)) return true;
    return false;
}

QString Describe(const QString& path) {
    const QFileInfo info(path);
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
    const QString comment = type.comment().isEmpty() ? type.name() : type.comment();
    return info.fileName() + QStringLiteral(" (") + comment + QLatin1Char(')');
}

}  // namespace programfile
