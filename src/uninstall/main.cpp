// skfp-uninstall: removes what the installation registered with this user's
// desktop. It lies beside skfp and deletes no files of the program or the
// user's mail.

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include "Form1.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Fenmarch Skiffpost Uninstall Utility"));
    TForm1 form(TRegistrations(TRegistrations::FromEnvironment(QApplication::applicationDirPath())));
    form.adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        form.move(screen->availableGeometry().center() - form.rect().center());
    form.exec();  // either button ends the program
    return 0;
}
