// skfp: the mail client.

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <iostream>

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

namespace {

// What the self-test found, one line each; 0 when the main window shows, the
// dictionary and the guide are there and nothing was reported on the way.
int SelfTestReport(const TFolders& folders, const QWidget& window, const TQtPrompt& prompt) {
    const auto file = [](const std::string& path) {
        return path + (fileutil::Exists(path) ? " (found)" : " (missing)");
    };
    const std::string dictionary = folders.resources + cfg::kMainDictionary;
    const std::string guide = fileutil::FindNoCase(folders.resources, cfg::kHelpFile);
    std::cout << "program folder: " << folders.program << "\n"
              << "main dictionary: " << file(dictionary) << "\n"
              << "user guide: " << file(guide) << "\n"
              << "location file: " << folders.locationFile << "\n"
              << "data folder: " << folders.data << "\n"
              << "attachment folder: " << folders.attach << "\n"
              << "main window: \"" << window.windowTitle().toStdString() << "\" "
              << (window.isVisible() ? "shown" : "not shown") << "\n"
              << "messages: " << prompt.ErrorCount() << " error(s)" << std::endl;
    const bool ok =
        window.isVisible() && fileutil::Exists(dictionary) && fileutil::Exists(guide) && prompt.ErrorCount() == 0;
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kAppTitle));
    QApplication::setQuitOnLastWindowClosed(false);  // closing the main window quits; hidden to the tray it does not

    // Qt has taken its own options; what is left is the one request.
    const QStringList args = QApplication::arguments();
    if (args.size() > 2) {
        QMessageBox::critical(nullptr, QString::fromLatin1(kAppTitle),
                              QStringLiteral("Usage: skfp [mail address | mailto:address | /c | --self-test]"));
        return 2;
    }
    // The self-test checks an installation: a start as usual, apart from the
    // running copy and without the first-run dialogs, that opens the main
    // window, tells what it found and ends.
    const bool selfTest = args.size() == 2 && args[1] == QStringLiteral("--self-test");
    const std::string request =
        TCommandRequest::FromArgument(args.size() == 2 && !selfTest ? qttext::ToStored(args[1]) : "");

    TQtPrompt prompt;
    prompt.SetUnattended(selfTest);
    auto folders = TFolderSetup(prompt).Run(TFolderSetup::FromEnvironment(TFolderSetup::ExecutableFolder()));
    if (!folders) return 1;

    TIniFile config(fileutil::FindNoCase(folders->data, cfg::kConfigFile), &prompt);
    // The request travels through "Command", to this copy or to the one
    // already running.
    TJustOne justOne(TJustOne::DefaultName());
    switch (selfTest ? TJustOne::TStart::First
                     : justOne.Start([&config, &request] { config.Write(cfg::Command, request); })) {
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
    if (selfTest) {
        root.Start();
        QTimer::singleShot(0, &app, [&] { QApplication::exit(SelfTestReport(*folders, root.Window(), prompt)); });
        return app.exec();
    }
    root.RunFirstRun();
    // Requests from later copies are taken once the first run is through.
    justOne.SetHandler([&root](const TJustOne::Done& done) { root.TakeHandOver(done); });
    root.Start();
    return app.exec();
}
