#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>

#include "book/AddressList.h"
#include "book/gui/AddressBook.h"
#include "book/gui/FiltersForm.h"
#include "compose/gui/Signitures.h"
#include "config/AccountList.h"
#include "config/IniFile.h"
#include "config/gui/FrmAccounts.h"
#include "config/gui/Setup.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"

namespace {

// Every caption on the page shown is whole: buttons and one-line labels at
// least as wide as they ask, wrapped texts as tall as their width needs.
void ExpectNothingClipped(QWidget* dialog, const QString& where) {
    for (auto* label : dialog->findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty()) continue;
        if (label->wordWrap())
            EXPECT_GE(label->height(), label->heightForWidth(label->width()))
                << where.toStdString() << ": " << label->text().toStdString();
        else
            EXPECT_GE(label->width(), label->sizeHint().width())
                << where.toStdString() << ": " << label->text().toStdString();
    }
    for (auto* tabs : dialog->findChildren<QTabBar*>())
        EXPECT_GE(tabs->width(), tabs->sizeHint().width()) << where.toStdString() << ": page captions";
    for (auto* button : dialog->findChildren<QAbstractButton*>()) {
        if (!button->isVisible() || button->text().isEmpty()) continue;
        EXPECT_GE(button->width(), button->minimumSizeHint().width())
            << where.toStdString() << ": " << button->text().toStdString();
    }
}

// Shows each page; with SKFP_SCREENSHOTS naming a folder, each page is also
// saved there as a picture to look at.
void CheckPages(QDialog& dialog, QTabWidget* pages, const QString& name) {
    dialog.show();
    const QString folder = qEnvironmentVariable("SKFP_SCREENSHOTS");
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        QApplication::processEvents();
        ExpectNothingClipped(&dialog, name + QStringLiteral(" / ") + pages->tabText(i));
        if (!folder.isEmpty()) dialog.grab().save(QDir(folder).filePath(QStringLiteral("%1-%2.png").arg(name).arg(i)));
    }
    dialog.hide();
}

}  // namespace

TEST(DialogLayout, EveryPageShowsItsCaptionsWhole) {
    TTempDir dir;
    TRecordingPrompt prompt;
    {
        TAddressBook dialog({"Default Signature"});
        CheckPages(dialog, dialog.Pages, QStringLiteral("addressbook"));
    }
    {
        TFiltersForm dialog({"In Box", "Out Box"}, {"Office Laser"}, {"Ann"});
        CheckPages(dialog, dialog.Pages, QStringLiteral("filters"));
    }
    {
        TAccountList list(dir.Path());
        TFrmAccounts dialog(list, prompt);
        CheckPages(dialog, dialog.Pages, QStringLiteral("accounts"));
        // The clear-text warning shown under the password.
        dialog.Load({"Home", "pop.example.com", "smtp.example.com", "ann", "secret", "ann@example.com", "Ann",
                     TSecurity::None});
        CheckPages(dialog, dialog.Pages, QStringLiteral("accounts-none"));
    }
    {
        TIniFile config(dir.File("Internet.ini"));
        TSetup dialog(config, "/opt/skfp/", dir.Path(), {"Home"}, {}, prompt);
        CheckPages(dialog, dialog.Pages, QStringLiteral("setup"));
    }
    {
        TSignitures dialog;
        dialog.show();
        QApplication::processEvents();
        ExpectNothingClipped(&dialog, QStringLiteral("signatures"));
        const QString folder = qEnvironmentVariable("SKFP_SCREENSHOTS");
        if (!folder.isEmpty()) dialog.grab().save(QDir(folder).filePath(QStringLiteral("signatures-0.png")));
    }
}
