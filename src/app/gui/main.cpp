// skfp: the mail client.

#include <QApplication>
#include <QMessageBox>

#include "app/CommandRequest.h"
#include "app/Folders.h"
#include "app/gui/ControlCenter.h"
#include "app/gui/JustOne.h"
#include "app/gui/LeftoverProcessing.h"
#include "app/gui/ListPages.h"
#include "app/gui/MailCommands.h"
#include "common/AppTitle.h"
#include "common/gui/QtEventPump.h"
#include "common/gui/QtPrompt.h"
#include "common/gui/QtText.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "store/MailStore.h"
#include "common/FileUtil.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kAppTitle));
    QApplication::setQuitOnLastWindowClosed(false);  // closing the main window quits; hidden to the tray it does not

    // Qt has taken its own options; what is left is the one request.
    const QStringList args = QApplication::arguments();
    if (args.size() > 2) {
        QMessageBox::critical(nullptr, QString::fromLatin1(kAppTitle),
                              QStringLiteral("Usage: skfp [mail address | mailto:address | /c]"));
        return 2;
    }
    const std::string request = TCommandRequest::FromArgument(args.size() == 2 ? qttext::ToStored(args[1]) : "");

    TQtPrompt prompt;
    auto folders = TFolderSetup(prompt).Run(TFolderSetup::FromEnvironment(TFolderSetup::ExecutableFolder()));
    if (!folders) return 1;

    TIniFile config(fileutil::FindNoCase(folders->data, cfg::kConfigFile), &prompt);
    // The request travels through "Command", to this copy or to the one
    // already running.
    TJustOne justOne(TJustOne::DefaultName());
    switch (justOne.Start([&config, &request] { config.Write(cfg::Command, request); })) {
    case TJustOne::TStart::First:
        break;
    case TJustOne::TStart::HandedOver:
        return 0;
    case TJustOne::TStart::Failed:
        QMessageBox::critical(nullptr, QString::fromLatin1(kAppTitle),
                              QString::fromLatin1(kAppTitle) + QStringLiteral(" is already running but does not answer."));
        return 1;
    }

    TQtEventPump pump;
    TMailStore store(folders->data, config, prompt, pump);
    TControlCenter window(config, *folders, prompt);
    prompt.SetParent(&window);
    window.SetStore(store);
    // A new configuration: the preferences (and a first account) before the
    // main window shows.
    if (folders->firstRun) window.RunFirstRun();
    TLeftoverProcessing processing(store, *folders, prompt, window.ListPages()->Filters(),
                                   window.FilterActions());
    window.SetLeftoverProcessing([&processing, &window] {
        processing.Start([&window] { window.Commands()->ProcessingFinished(); });
    });
    justOne.SetHandler([&window](const TJustOne::Done& done) { window.TakeHandOver(done); });
    window.Initialise();
    return app.exec();
}
