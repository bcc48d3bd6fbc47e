// skfp: the mail client.

#include <QApplication>
#include <QMessageBox>

#include "app/CommandRequest.h"
#include "app/Folders.h"
#include "app/gui/AppRoot.h"
#include "app/gui/ControlCenter.h"
#include "app/gui/JustOne.h"
#include "common/AppTitle.h"
#include "common/FileUtil.h"
#include "common/gui/QtEventPump.h"
#include "common/gui/QtPrompt.h"
#include "common/gui/QtText.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"

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
            QMessageBox::critical(
                nullptr, QString::fromLatin1(kAppTitle),
                QString::fromLatin1(kAppTitle) + QStringLiteral(" is already running but does not answer."));
            return 1;
    }

    TQtEventPump pump;
    TAppRoot root(config, *folders, prompt, pump, [&prompt](TControlCenter& window) { prompt.SetParent(&window); });
    root.RunFirstRun();
    // Requests from later copies are taken once the first run is through.
    justOne.SetHandler([&root](const TJustOne::Done& done) { root.TakeHandOver(done); });
    root.Start();
    return app.exec();
}
