#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include "app/CheckInterval.h"
#include "common/BusyFlag.h"
#include "common/FileUtil.h"
#include "common/SleepPump.h"
#include "config/AccountList.h"
#include "config/IniFile.h"
#include "config/gui/AccountListModel.h"
#include "config/gui/FrmAccounts.h"
#include "config/gui/Setup.h"
#include "richtext/FormatFile.h"
#include "support/ListFileCheck.h"
#include "support/RecordingPrompt.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "support/gui/DialogButtons.h"

TEST(AccountsDialog, ASingleAccountCannotBeLeftWithoutBothServers) {
    TTempDir dir;
    TBusyFlag listFill;
    TSleepPump pump;
    TRecordingPrompt prompt;
    TAccountList list(dir.Path());
    TAccountListModel model(list, listFill, pump, prompt);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const int row = model.AddNew();
    EXPECT_EQ(model.data(model.index(row, 0), Qt::DisplayRole).toString(), "New Account");

    TFrmAccounts dialog(list, prompt);
    EXPECT_EQ(dialog.windowTitle(), "Fenmarch Skiffpost Accounts");
    QObject::connect(&dialog, &TFrmAccounts::Applied, &model,
                     [&](const TAccount& fields) { model.SetAccount(row, fields); });
    dialog.Load(model.Account(row));
    dialog.show();

    // "&Cancel" is refused too: the only account has no SMTP server.
    ButtonOf(&dialog, "&Cancel")->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(prompt.Errors(),
              std::vector<std::string>{"Fenmarch Skiffpost needs a SMTP Server for only one account."});
    EXPECT_EQ(dialog.Pages->currentIndex(), 1);
    dialog.reject();  // Escape
    EXPECT_TRUE(dialog.isVisible());

    dialog.SMTPServer->setText("smtp.example.com");
    prompt.Clear();
    ButtonOf(&dialog, "&Close")->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(prompt.Errors(),
              std::vector<std::string>{"Fenmarch Skiffpost needs a POP3 Server for only one account."});
    EXPECT_EQ(dialog.Pages->currentIndex(), 0);

    dialog.POPSERVER->setText("pop.example.com");
    dialog.PopUserName->setText("ann");
    dialog.PopPass->setText("secret");
    EXPECT_EQ(dialog.PopPass->echoMode(), QLineEdit::Password);
    dialog.ReturnAddress->setText("ann@example.com");
    dialog.NickName->setText("Ann Smith");
    ButtonOf(&dialog, "&Close")->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(model.Save());
    ExpectListFile(
        dir.File("Internet.svr"),
        {{"New Account", {"pop.example.com", "smtp.example.com", "ann", "secret", "ann@example.com", "Ann Smith"}}});

    // With two accounts the rule no longer holds; a cancelled new one goes.
    const int second = model.AddNew();
    EXPECT_EQ(model.Account(second).alias, "New Account (2)");
    TFrmAccounts again(list, prompt);
    again.show();
    ButtonOf(&again, "&Cancel")->click();
    EXPECT_FALSE(again.isVisible());
    model.Discard(second);
    EXPECT_EQ(model.rowCount(), 1);

    // Renames in place follow the account rules.
    EXPECT_TRUE(model.setData(model.index(0, 0), "Home", Qt::EditRole));
    ExpectListFile(
        dir.File("Internet.svr"),
        {{"Home", {"pop.example.com", "smtp.example.com", "ann", "secret", "ann@example.com", "Ann Smith"}}});
}

namespace {

// What a user's pick in a drop-down does (setCurrentIndex alone is no pick).
void Pick(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

}  // namespace

TEST(AccountsDialog, TheSecurityModeIsOfferedWarnedSavedAndRestored) {
    TTempDir dir;
    TBusyFlag listFill;
    TSleepPump pump;
    TRecordingPrompt prompt;
    TAccountList list(dir.Path());
    list.Add({"Old", "pop.example.com", "smtp.example.com", "ann", "secret", "ann@example.com", "Ann"});
    list.Find("Old")->popFingerprint = "AB:CD";
    TAccountListModel model(list, listFill, pump, prompt);
    const int fresh = model.AddNew();

    TFrmAccounts dialog(list, prompt);
    dialog.show();
    const QStringList pop{"None (port 110)", "STARTTLS (port 110)", "TLS (port 995)"};
    const QStringList smtp{"None (port 25)", "STARTTLS (port 587)", "TLS (port 465)"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(dialog.PopSecurity->itemText(i), pop[i]);
        EXPECT_EQ(dialog.SmtpSecurity->itemText(i), smtp[i]);
    }

    // A new account is set up for TLS; no clear-text warning.
    dialog.Load(model.Account(fresh));
    EXPECT_EQ(dialog.PopSecurity->currentText(), "TLS (port 995)");
    EXPECT_EQ(dialog.SmtpSecurity->currentText(), "TLS (port 465)");
    EXPECT_FALSE(dialog.ClearTextWarning->isVisible());
    EXPECT_EQ(dialog.Fields().security, TSecurity::Tls);

    // An old account without a stored mode shows the one its servers imply,
    // warns, and writes nothing new unless the user picks a mode.
    dialog.Load(model.Account(0));
    EXPECT_EQ(dialog.PopSecurity->currentIndex(), 0);
    EXPECT_TRUE(dialog.ClearTextWarning->isVisible());
    EXPECT_FALSE(dialog.Fields().security.has_value());
    dialog.POPSERVER->setText("pop.example.com:995");
    emit dialog.POPSERVER->textEdited(dialog.POPSERVER->text());
    EXPECT_EQ(dialog.SmtpSecurity->currentText(), "TLS (port 465)");
    EXPECT_FALSE(dialog.ClearTextWarning->isVisible());
    EXPECT_FALSE(dialog.Fields().security.has_value());

    // A pick on the receiving page is the account's mode, and the sending
    // page follows it until it has a pick of its own.
    dialog.Load(model.Account(0));
    Pick(dialog.PopSecurity, 1);
    EXPECT_EQ(dialog.SmtpSecurity->currentText(), "STARTTLS (port 587)");
    EXPECT_FALSE(dialog.ClearTextWarning->isVisible());
    EXPECT_FALSE(dialog.Fields().smtpSecurity.has_value());
    Pick(dialog.PopSecurity, 0);
    EXPECT_TRUE(dialog.ClearTextWarning->isVisible());
    Pick(dialog.SmtpSecurity, 2);
    Pick(dialog.PopSecurity, 1);
    EXPECT_EQ(dialog.SmtpSecurity->currentText(), "TLS (port 465)");
    EXPECT_EQ(dialog.Fields().smtpSecurity, TSecurity::Tls);

    // "&Apply" writes the mode beside the list; the trusted certificate stays.
    QObject::connect(&dialog, &TFrmAccounts::Applied, &model,
                     [&](const TAccount& fields) { model.SetAccount(0, fields); });
    ButtonOf(&dialog, "&Apply")->click();
    model.Discard(fresh);
    ASSERT_TRUE(model.Save());
    const std::string ini = ReadFileOrEmpty(dir.File("Internet.ini"));
    EXPECT_NE(ini.find("[Server Security]"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Old=STARTTLS"), std::string::npos) << ini;
    EXPECT_NE(ini.find("[SMTP Security]\r\nOld=TLS"), std::string::npos) << ini;
    EXPECT_EQ(model.Account(0).popFingerprint, "AB:CD");

    // A cancelled edit: the page reads the list again, the mode comes back.
    Pick(dialog.PopSecurity, 0);
    ButtonOf(&dialog, "&Apply")->click();
    EXPECT_EQ(model.Account(0).security, TSecurity::None);
    ButtonOf(&dialog, "&Cancel")->click();
    model.Reload();
    EXPECT_EQ(model.Account(0).security, TSecurity::StartTls);
    dialog.Load(model.Account(0));
    EXPECT_EQ(dialog.PopSecurity->currentText(), "STARTTLS (port 110)");
    EXPECT_EQ(dialog.SmtpSecurity->currentText(), "TLS (port 465)");

    // Another server: the certificate trusted for the old one is not trusted.
    dialog.POPSERVER->setText("pop.elsewhere.example");
    ButtonOf(&dialog, "&Apply")->click();
    EXPECT_EQ(model.Account(0).popFingerprint, "");
}

namespace {

struct TSetupFixture {
    TTempDir dir;
    TIniFile config{dir.File("Internet.ini")};
    TRecordingPrompt prompt;
    std::unique_ptr<TSetup> Open(QStringList aliases = {}) {
        return std::make_unique<TSetup>(config, "/opt/skfp/", dir.Path(), aliases, QStringList{}, prompt);
    }
};

}  // namespace

TEST(SetupDialog, FirstRunDefaultsAndTheFirstName) {
    TSetupFixture f;
    auto setup = f.Open({"Home"});
    EXPECT_EQ(setup->windowTitle(), "Fenmarch Skiffpost Preferences");
    EXPECT_EQ(setup->Pages->count(), 5);
    EXPECT_TRUE(setup->MenuSystem->isChecked());
    EXPECT_TRUE(setup->ShowHints->isChecked());
    EXPECT_TRUE(setup->HideCC->isChecked());
    EXPECT_EQ(setup->CategoryCreation->text(), "New Mailbox");
    EXPECT_EQ(setup->StickitCreation->text(), "New Message");
    EXPECT_TRUE(setup->ShowStickit->isChecked());
    EXPECT_EQ(setup->DefServer->currentIndex(), -1);  // "No server present" is no alias
    EXPECT_EQ(setup->ISP->currentText(), "No internet service provider");
    EXPECT_FALSE(setup->ISPDIAl->isEnabled());
    EXPECT_TRUE(setup->NBeep->isChecked());
    EXPECT_FALSE(setup->NPick->isEnabled());
    EXPECT_TRUE(setup->ABeep->isChecked());
    EXPECT_EQ(setup->TrackBar->value(), 5);
    EXPECT_TRUE(setup->AlignMent1->isChecked());
    EXPECT_TRUE(setup->SizeLarge->isChecked());
    EXPECT_EQ(setup->SizeWidth->text(), "600");
    EXPECT_EQ(setup->SizeHeight->text(), "400");
    EXPECT_FALSE(setup->PickBox->isEnabled());
    EXPECT_EQ(setup->Sample->font().family(), "MS Sans Serif");
    EXPECT_EQ(setup->Sample->font().pointSize(), 8);
    EXPECT_EQ(setup->Sample->toPlainText(), "Sample Text");
    EXPECT_TRUE(setup->MSGTExt->isChecked());
    EXPECT_EQ(setup->CheckInterval->value(), 0);
    EXPECT_EQ(setup->PopTimeOutInterval->value(), 120);
    EXPECT_EQ(setup->SMTPTimeOut->value(), 120);
    EXPECT_TRUE(setup->RecordMessages->isChecked());
    EXPECT_FALSE(setup->DeleteMail->isChecked());
    EXPECT_TRUE(setup->PNormal->isChecked());
    EXPECT_EQ(setup->FirstName->text(), "");

    // Not left without a first name, by any way.
    setup->show();
    QSignalSpy applied(setup.get(), &TSetup::Applied);
    ButtonOf(setup.get(), "&Done")->click();
    setup->reject();
    EXPECT_TRUE(setup->isVisible());
    EXPECT_EQ(applied.count(), 0);
    ASSERT_EQ(f.prompt.Texts().size(), 2u);
    EXPECT_EQ(f.prompt.Texts()[0].kind, TRecordingPrompt::Shown::Kind::Information);
    EXPECT_EQ(f.prompt.Texts()[0].text, "Please enter in your First Name.");
    EXPECT_EQ(setup->Pages->currentIndex(), TSetup::PersonalInformation);
    EXPECT_FALSE(fileutil::Exists(f.dir.File("Internet.ini")));

    setup->FirstName->setText("Ann");
    ButtonOf(setup.get(), "&Done")->click();
    EXPECT_FALSE(setup->isVisible());
    EXPECT_EQ(applied.count(), 1);
    EXPECT_EQ(f.config.ReadString("User", "First", ""), "Ann");
    EXPECT_EQ(f.config.ReadString("Pop Settings", "TimeOut", ""), "120");
    EXPECT_EQ(f.config.ReadString("Default Settings", "Message Type", ""), "Text");
    EXPECT_EQ(f.config.ReadString("Default Settings", "Font Name", ""), "MS Sans Serif");
    EXPECT_EQ(f.config.ReadString("Default Settings", "Pad Color", ""), "16777215");
    EXPECT_EQ(f.config.ReadString("Dialup", "Server", "?"), "No internet service provider");
    // "Internet.fmt" is written, as new messages and the mail check need it.
    const auto format = TFormatFile::Read(f.dir.File("Internet.fmt"));
    ASSERT_TRUE(format.has_value());
    EXPECT_EQ(*format, TFormatFile::Lines(f.config));
}

TEST(SetupDialog, AppliedValuesTakeEffect) {
    TSetupFixture f;
    f.config.WriteString("User", "First", "Ann");
    auto setup = f.Open();
    QSignalSpy applied(setup.get(), &TSetup::Applied);
    int period = -1;
    QObject::connect(setup.get(), &TSetup::Applied, setup.get(),
                     [&](const TPreferences& p) { period = checkinterval::Milliseconds(p.interval); });
    setup->CheckInterval->setValue(5);
    QFont font(QStringLiteral("DejaVu Sans"), 11);
    font.setBold(true);
    font.setItalic(true);
    setup->Sample->setFont(font);
    ASSERT_TRUE(setup->Apply());
    EXPECT_EQ(period, 300000);
    EXPECT_EQ(f.config.ReadString("Default Settings", "Font Bold", ""), "0");
    EXPECT_EQ(f.config.ReadString("Default Settings", "Font Size", ""), "11");
    font.setItalic(false);
    setup->Sample->setFont(font);
    ASSERT_TRUE(setup->Apply());
    EXPECT_EQ(f.config.ReadString("Default Settings", "Font Bold", ""), "1");

    // Sizes and priority.
    setup->SizeSmall->click();
    EXPECT_EQ(setup->SizeWidth->text(), "150");
    setup->SizeMedium->click();
    EXPECT_EQ(setup->SizeHeight->text(), "160");
    setup->SizeCustom->click();
    EXPECT_TRUE(setup->PickBox->isEnabled());
    setup->Phigh->setChecked(true);
    setup->AlignMent2->setChecked(true);
    ASSERT_TRUE(setup->Apply());
    EXPECT_EQ(f.config.ReadString("Default Settings", "Width", ""), "250");
    EXPECT_EQ(f.config.ReadString("SMTP Settings", "Priority", ""), "2");
    EXPECT_EQ(f.config.ReadString("Default Settings", "Align", ""), "2");
    EXPECT_EQ(setup->Sample->document()->firstBlock().blockFormat().alignment(), Qt::AlignHCenter);
}

TEST(SetupDialog, NotificationChoosers) {
    TSetupFixture f;
    auto setup = f.Open();
    QString lastTitle, lastFilter;
    QString answer = QStringLiteral("/home/ann/sounds/ALARM.WAV");
    setup->SetFileChooser([&](QWidget*, const QString& title, const QString&, const QString& filter) {
        lastTitle = title, lastFilter = filter;
        return answer;
    });
    setup->ARunProgram->click();
    EXPECT_TRUE(setup->APick->isEnabled());
    setup->APick->click();
    EXPECT_EQ(lastTitle, "Please select alarm file.");
    EXPECT_EQ(lastFilter.left(8), "Programs");
    // A ".WAV" file switches the group to Play Sound.
    EXPECT_TRUE(setup->APlaySound->isChecked());
    EXPECT_EQ(setup->ACommand->text(), "/home/ann/sounds/ALARM.WAV");
    // Choosing a button clears the file; Beep disables the choosers.
    setup->NPlaySound->click();
    EXPECT_EQ(setup->NCommand->text(), "");
    answer = QStringLiteral("/usr/bin/xmessage");
    setup->NPick->click();
    EXPECT_EQ(lastTitle, "Please select notification file.");
    EXPECT_EQ(lastFilter, "Sounds (*.wav)");
    EXPECT_TRUE(setup->NRunProgram->isChecked());
    setup->NBeep->click();
    EXPECT_FALSE(setup->NPick->isEnabled());
    EXPECT_EQ(setup->NCommand->text(), "");
    setup->FirstName->setText("Ann");
    ASSERT_TRUE(setup->Apply());
    EXPECT_EQ(f.config.ReadString("Alarms", "Notify", ""), "Play Sound");
    EXPECT_EQ(f.config.ReadString("Alarms", "FileName", ""), "/home/ann/sounds/ALARM.WAV");
    EXPECT_EQ(f.config.ReadString("Pop Settings", "Notify", ""), "Beep");
}

// The autostart switch is this user's desktop entry: read when the dialog
// opens, written only when it changed, and a failure to write is told.
TEST(SetupDialog, StartWithTheDesktopSessionIsTheAutostartEntry) {
    TSetupFixture f;
    TTempDir xdg;
    TScopedEnv config("XDG_CONFIG_HOME", xdg.Path() + "config");
    const std::string entry = xdg.Path() + "config/autostart/skiffpost.desktop";
    f.config.WriteString("User", "First", "Ann");

    auto setup = f.Open();
    EXPECT_EQ(setup->StartWithDesktop->text(), "Start with the desktop session.");
    EXPECT_FALSE(setup->StartWithDesktop->isChecked());
    ASSERT_TRUE(setup->Apply());
    EXPECT_FALSE(fileutil::Exists(entry));  // unchanged: nothing written

    setup->StartWithDesktop->setChecked(true);
    ASSERT_TRUE(setup->Apply());
    const std::string text = ReadFileOrEmpty(entry);
    EXPECT_NE(text.find("/opt/skfp/skfp"), std::string::npos);
    // A new dialog finds it on, and switching off removes it.
    setup = f.Open();
    EXPECT_TRUE(setup->StartWithDesktop->isChecked());
    setup->StartWithDesktop->setChecked(false);
    ASSERT_TRUE(setup->Apply());
    EXPECT_FALSE(fileutil::Exists(entry));
    EXPECT_TRUE(f.prompt.Texts().empty());

    // A configuration folder that cannot take the entry.
    ASSERT_TRUE(fileutil::WriteAtomically(xdg.Path() + "blocked", "a file, no folder"));
    TScopedEnv blocked("XDG_CONFIG_HOME", xdg.Path() + "blocked");
    setup = f.Open();
    setup->StartWithDesktop->setChecked(true);
    setup->Apply();
    ASSERT_EQ(f.prompt.Errors().size(), 1u);
    EXPECT_EQ(f.prompt.Errors()[0], "Unable to write to " + xdg.Path() + "blocked/autostart/skiffpost.desktop");
}

TEST(AccountsDialog, FindSettingsFillsTheServersFromTheAddressAndSaysWhatItFound) {
    TTempDir dir;
    TBusyFlag listFill;
    TSleepPump pump;
    TRecordingPrompt prompt;
    TAccountList list(dir.Path());
    TAccountListModel model(list, listFill, pump, prompt);
    const int row = model.AddNew();
    model.AddNew();  // two accounts: the dialog may close with empty servers
    TFrmAccounts dialog(list, prompt);
    QObject::connect(&dialog, &TFrmAccounts::Applied, &model,
                     [&](const TAccount& fields) { model.SetAccount(row, fields); });
    dialog.Load(model.Account(row));
    dialog.show();

    // A provider of the built-in table: no network needed.
    dialog.FindAddress->setText("ann@outlook.com");
    dialog.FindButton->click();
    EXPECT_FALSE(dialog.Finding());
    EXPECT_EQ(dialog.POPSERVER->text(), "outlook.office365.com");
    EXPECT_EQ(dialog.SMTPServer->text(), "smtp-mail.outlook.com");
    EXPECT_EQ(dialog.PopUserName->text(), "ann@outlook.com");
    EXPECT_EQ(dialog.ReturnAddress->text(), "ann@outlook.com");
    EXPECT_EQ(dialog.PopSecurity->currentText(), "TLS (port 995)");
    EXPECT_EQ(dialog.SmtpSecurity->currentText(), "STARTTLS (port 587)");
    const QString shown = dialog.FindResults->text();
    EXPECT_TRUE(shown.contains("Outlook.com")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("SMTP: smtp-mail.outlook.com port 587, STARTTLS (built-in table)")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("Sign-in: OAuth2")) << shown.toStdString();
    // Outlook.com takes OAuth2 only: the sign-in is set for it, and the
    // button signs this account in.
    EXPECT_EQ(dialog.SignInMethod->currentText(), "OAuth2 with Outlook.com");
    ASSERT_TRUE(dialog.SignInButton->isEnabled());
    TAccount signedIn;
    dialog.SignInWithProvider = [&](const TAccount& account) {
        signedIn = account;
        return true;
    };
    dialog.SignInButton->click();
    EXPECT_EQ(signedIn.alias, "New Account");
    EXPECT_EQ(signedIn.oauthProvider, "Outlook.com");
    EXPECT_EQ(signedIn.popUserName, "ann@outlook.com");
    EXPECT_EQ(prompt.Texts().back().text, "Signed in with Outlook.com.");
    ButtonOf(&dialog, "&Close")->click();
    ASSERT_TRUE(model.Save());
    TIniFile ini(dir.File("Internet.ini"));
    EXPECT_EQ(ini.ReadString("Server Security", "New Account", "-"), "TLS");
    EXPECT_EQ(ini.ReadString("SMTP Security", "New Account", "-"), "STARTTLS");
    EXPECT_EQ(ini.ReadString("OAuth2 Sign In", "New Account", "-"), "Outlook.com");
    // Back to the password: the sign-in button has nothing to do.
    dialog.Load(model.Account(row));
    dialog.SignInMethod->setCurrentIndex(0);
    EXPECT_FALSE(dialog.SignInButton->isEnabled());
    EXPECT_EQ(dialog.Fields().oauthProvider, "");

    // Nothing found: the fields stay, the last steps say why; a step shows
    // while the look goes on.
    TFrmAccounts again(list, prompt);
    again.Load(model.Account(row));
    QString during;
    again.FindSettings = [&](const std::string& address, const TFrmAccounts::TStepShown& step) {
        step("Probe POP3 pop.nowhere.example port 995, TLS: the name does not resolve.");
        during = again.FindResults->text();
        EXPECT_TRUE(again.Finding());
        EXPECT_EQ(again.FindButton->text(), "Stop");
        TFoundSettings found;
        found.address = address;
        found.steps = {"DNS _pop3s._tcp.nowhere.example: no record.", "No POP3 server found."};
        return found;
    };
    again.FindAddress->setText("ann@nowhere.example");
    again.FindButton->click();
    EXPECT_TRUE(during.contains("the name does not resolve")) << during.toStdString();
    EXPECT_EQ(again.FindButton->text(), "Find settings");
    EXPECT_EQ(again.POPSERVER->text(), "outlook.office365.com");
    EXPECT_TRUE(again.FindResults->text().contains("No settings were found")) << again.FindResults->text().toStdString();
    EXPECT_TRUE(again.FindResults->text().contains("No POP3 server found."));
}
