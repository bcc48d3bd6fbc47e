#include "app/gui/SetupCommands.h"

#include "app/gui/AccountPage.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"

TSetupCommands::TSetupCommands(TIniFile& config, const TFolders& folders, IUserPrompt& prompt, TAccountPage& accounts,
                               QWidget* window)
    : QObject(window), config_(config), folders_(folders), prompt_(prompt), accounts_(accounts), window_(window) {}

void TSetupCommands::Open(TSetup::TPage page) {
    const QStringList aliases = accounts_.Aliases();
    // Dial-up entries: the platform offers none yet (TNoDialUp).
    TSetup dialog(config_, folders_.program, folders_.data, aliases, {}, prompt_, window_);
    dialog.ShowPage(page);
    connect(&dialog, &TSetup::Applied, this, &TSetupCommands::Applied);
    // The passwords move at once when their place changed: into the keyring,
    // or back into "Internet.svr".
    bool inKeyring = config_.Read(cfg::PasswordsInKeyring);
    connect(&dialog, &TSetup::Applied, this, [this, &inKeyring](const TPreferences& values) {
        if (values.passwordsInKeyring == inKeyring) return;
        inKeyring = values.passwordsInKeyring;
        accounts_.SaveAccounts();
    });
    dialog.exec();
}
