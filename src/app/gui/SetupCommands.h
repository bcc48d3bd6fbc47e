#pragma once

#include <QObject>

#include "app/Folders.h"
#include "config/Preferences.h"
#include "config/gui/Setup.h"

class IUserPrompt;
class TAccountPage;
class TIniFile;
class QWidget;

// Opens the preferences dialog: from the Setup menu and button on the page
// of the item's caption, and on the first run before the main window shows.
// The dialog lists the accounts; with none yet, the new-account dialog comes
// first. What the dialog applies is passed on through Applied, for the
// effects the main window shows at once.
class TSetupCommands : public QObject {
    Q_OBJECT

public:
    TSetupCommands(TIniFile& config, const TFolders& folders, IUserPrompt& prompt, TAccountPage& accounts,
                   QWidget* window);

    void Open(TSetup::TPage page);

signals:
    void Applied(const TPreferences& values);

private:
    TIniFile& config_;
    TFolders folders_;
    IUserPrompt& prompt_;
    TAccountPage& accounts_;
    QWidget* window_;
};
