#include "config/Preferences.h"

#include "config/ConfigKeys.h"
#include "config/IniFile.h"

TPreferences::TNotify TPreferences::NotifyFromText(const std::string& value) {
    if (value == "Beep") return TNotify::Beep;
    if (value == "Run Program") return TNotify::RunProgram;
    if (value == "Play Sound") return TNotify::PlaySound;
    return TNotify::None;
}

const char* TPreferences::NotifyText(TNotify notify) {
    switch (notify) {
        case TNotify::Beep:
            return "Beep";
        case TNotify::RunProgram:
            return "Run Program";
        case TNotify::PlaySound:
            return "Play Sound";
        case TNotify::None:
            break;
    }
    return nullptr;
}

TPreferences TPreferences::Load(const TIniFile& c, const std::string& programFolder) {
    TPreferences p;
    p.menuSystem = c.Read(cfg::MenuSystem);
    p.showHints = c.Read(cfg::Hints);
    p.hideTray = c.Read(cfg::HideTray);
    p.hideCC = c.Read(cfg::HideCC);
    p.newMailbox = c.Read(cfg::NewMailbox);
    p.renameMailbox = c.Read(cfg::RenameOnMailboxCreation);
    p.newMessage = c.Read(cfg::NewMessage);
    p.renameMessage = c.Read(cfg::RenameOnMessageCreation);
    p.showMessage = c.Read(cfg::ShowMessageOnCreationPref);
    p.defaultServer = c.Read(cfg::DefaultServerPref);
    p.dialupServer = c.Read(cfg::DialupServerPref);
    p.autoDial = c.Read(cfg::AutoDial);
    p.autoHangup = c.Read(cfg::AutoHangup);

    p.alarmNotify = NotifyFromText(c.Read(cfg::AlarmNotify));
    if (p.alarmNotify == TNotify::PlaySound || p.alarmNotify == TNotify::RunProgram)
        p.alarmFile = c.Read(cfg::AlarmFileName);
    p.showOnAlarm = c.Read(cfg::ShowOnAlarm);
    p.mailNotify = NotifyFromText(c.Read(cfg::PopNotify));
    if (p.mailNotify == TNotify::PlaySound || p.mailNotify == TNotify::RunProgram)
        p.mailFile = c.ReadString(cfg::PopFileName.section, cfg::PopFileName.key, programFolder + cfg::kNewMailSound);
    p.displayMessages = c.Read(cfg::DisplayMessages);

    p.bulletIndent = c.Read(cfg::BulletIndent);
    p.bullets = c.Read(cfg::Bullets);
    p.align = c.Read(cfg::Align);
    p.width = c.Read(cfg::PadWidthPref);
    p.height = c.Read(cfg::PadHeightPref);
    p.fontName = c.Read(cfg::FontName);
    p.fontSize = c.Read(cfg::FontSize);
    p.fontColor = c.Read(cfg::FontColor);
    p.fontBold = c.Read(cfg::FontBold);
    p.padColor = c.Read(cfg::PadColor);
    p.richText = c.Read(cfg::MessageTypePref) != "Text";

    p.interval = c.Read(cfg::PopInterval);
    p.popTimeOut = c.Read(cfg::PopTimeOut);
    p.deleteMessages = c.Read(cfg::DeleteMessages);
    p.recordMessages = c.Read(cfg::RecordMessages);
    p.passwordsInKeyring = c.Read(cfg::PasswordsInKeyring);
    p.smtpTimeOut = c.Read(cfg::SmtpTimeOut);
    p.proxyServer = c.Read(cfg::ProxyServer);
    p.useProxy = c.Read(cfg::ProxyUse);
    p.priority = c.Read(cfg::SmtpPriority);
    if (p.priority < 0 || p.priority > 2) p.priority = 1;

    p.firstName = c.Read(cfg::UserFirstPref);
    p.lastName = c.Read(cfg::UserLastPref);
    p.company = c.Read(cfg::UserCompany);
    return p;
}

bool TPreferences::Save(TIniFile& c) const {
    bool ok = true;
    const auto w = [&ok](bool written) { ok = ok && written; };
    w(c.Write(cfg::MenuSystem, menuSystem));
    w(c.Write(cfg::Hints, showHints));
    w(c.Write(cfg::HideTray, hideTray));
    w(c.Write(cfg::HideCC, hideCC));
    w(c.Write(cfg::NewMailbox, newMailbox));
    w(c.Write(cfg::RenameOnMailboxCreation, renameMailbox));
    w(c.Write(cfg::NewMessage, newMessage));
    w(c.Write(cfg::RenameOnMessageCreation, renameMessage));
    w(c.Write(cfg::ShowMessageOnCreationPref, showMessage));
    w(c.Write(cfg::DefaultServerPref, defaultServer));
    w(c.Write(cfg::DialupServerPref, dialupServer));
    w(c.Write(cfg::AutoDial, autoDial));
    w(c.Write(cfg::AutoHangup, autoHangup));

    if (const char* notify = NotifyText(alarmNotify)) w(c.Write(cfg::AlarmNotify, notify));
    w(c.Write(cfg::AlarmFileName, alarmFile));
    w(c.Write(cfg::ShowOnAlarm, showOnAlarm));
    if (const char* notify = NotifyText(mailNotify)) w(c.Write(cfg::PopNotify, notify));
    w(c.Write(cfg::PopFileName, mailFile));
    w(c.Write(cfg::DisplayMessages, displayMessages));

    w(c.Write(cfg::BulletIndent, bulletIndent));
    w(c.Write(cfg::Bullets, bullets));
    w(c.Write(cfg::Align, align == 1 || align == 2 ? align : 3));
    w(c.Write(cfg::PadWidthPref, width));
    w(c.Write(cfg::PadHeightPref, height));
    w(c.Write(cfg::FontName, fontName));
    w(c.Write(cfg::FontSize, fontSize));
    w(c.Write(cfg::FontColor, fontColor));
    w(c.Write(cfg::FontBold, fontBold));
    w(c.Write(cfg::PadColor, padColor));
    w(c.Write(cfg::MessageTypePref, richText ? "RTF" : "Text"));

    w(c.Write(cfg::PopInterval, interval));
    w(c.Write(cfg::PopTimeOut, popTimeOut));
    w(c.Write(cfg::DeleteMessages, deleteMessages));
    w(c.Write(cfg::RecordMessages, recordMessages));
    w(c.Write(cfg::PasswordsInKeyring, passwordsInKeyring));
    w(c.Write(cfg::SmtpTimeOut, smtpTimeOut));
    w(c.Write(cfg::ProxyServer, proxyServer));
    w(c.Write(cfg::ProxyUse, useProxy));
    w(c.Write(cfg::SmtpPriority, priority >= 0 && priority <= 2 ? priority : 1));

    w(c.Write(cfg::UserFirstPref, firstName));
    w(c.Write(cfg::UserLastPref, lastName));
    w(c.Write(cfg::UserCompany, company));
    return ok;
}
