#pragma once

#include <QString>

// The registrations an installation made for this user with the desktop,
// found where the installation writes them, and removed again. Mail, data
// and the program's own files are never touched.
class TRegistrations {
public:
    struct Places {
        QString programFolder;  // the folder the uninstaller lies in, beside skfp
        QString configHome;     // $XDG_CONFIG_HOME or ~/.config
        QString dataHome;       // $XDG_DATA_HOME or ~/.local/share
    };
    static Places FromEnvironment(const QString& programFolder);

    explicit TRegistrations(Places places);

    // Removes the menu entry, the "mailto:" association while it still names
    // the program's entry, the autostart entry and the installation record.
    // Each step runs whatever became of the one before: a file already gone
    // or one that cannot be removed is passed over.
    void RemoveAll() const;

    QString MenuEntryPath() const;
    QString AutostartPath() const;
    QString MimeAppsPath() const;
    QString RecordPath() const;

private:
    void RemoveMailtoAssociation() const;

    Places places_;
};
