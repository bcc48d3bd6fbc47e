#include "app/gui/SetupCommands.h"

#include "app/gui/AccountPage.h"

TSetupCommands::TSetupCommands(TIniFile& config, const TFolders& folders, IUserPrompt& prompt, TAccountPage& accounts,
                               QWidget* window)
    : QObject(window), config_(config), folders_(folders), prompt_(prompt), accounts_(accounts), window_(window) {}

void TSetupCommands::Open(TSetup::TPage page) {
    const QStringList aliases = accounts_.Aliases();
    // Dial-up entries: the platform offers none yet (TNoDialUp).
    TSetup dialog(config_, folders_.program, folders_.data, aliases, {}, prompt_, window_);
    dialog.ShowPage(page);
    connect(&dialog, &TSetup::Applied, this, &TSetupCommands::Applied);
    dialog.exec();
}
