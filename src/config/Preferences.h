#pragma once

#include <string>

class TIniFile;

// Every value the preferences dialog shows, read from "Internet.ini" with the
// dialog's defaults and written back when the user applies them.
struct TPreferences {
    enum class TNotify { None, PlaySound, RunProgram, Beep };

    // "General Options"
    bool menuSystem = true;
    bool showHints = true;
    bool hideTray = true;
    bool hideCC = true;
    std::string newMailbox;
    bool renameMailbox = false;
    std::string newMessage;
    bool renameMessage = false;
    bool showMessage = true;
    std::string defaultServer;
    std::string dialupServer;
    bool autoDial = false;
    bool autoHangup = false;
    // "Bells and Whistles"
    TNotify alarmNotify = TNotify::Beep;
    std::string alarmFile;
    bool showOnAlarm = true;
    TNotify mailNotify = TNotify::Beep;
    std::string mailFile;
    bool displayMessages = false;
    // "Default Messages"
    int bulletIndent = 5;
    bool bullets = false;
    int align = 1;  // 1 left, 2 centre, 3 right; anything else checks no button
    int width = 600;
    int height = 400;
    std::string fontName;
    int fontSize = 8;
    int fontColor = 0;  // RGB, red in the low byte
    bool fontBold = false;
    int padColor = 0xFFFFFF;
    bool richText = false;
    // "Sending and Receiving"
    int interval = 0;  // minutes
    int popTimeOut = 120;
    bool deleteMessages = false;
    bool recordMessages = true;
    // The accounts' passwords in the desktop keyring where one answers.
    bool passwordsInKeyring = true;
    int smtpTimeOut = 120;
    std::string proxyServer;
    bool useProxy = false;
    int priority = 1;  // 0 low, 1 normal, 2 high
    // "Personal Information"
    std::string firstName;
    std::string lastName;
    std::string company;

    // The values as the dialog opens with them. programFolder ends in "/";
    // the new-mail sound beside the program is offered when none is set.
    static TPreferences Load(const TIniFile& config, const std::string& programFolder);
    // Writes every key; false when the file refused a write.
    bool Save(TIniFile& config) const;

    // "Font Bold" holds only a plain bold font: bold italic is written as 0.
    static bool FontBoldKey(bool bold, bool italic) { return bold && !italic; }
    static TNotify NotifyFromText(const std::string& value);
    static const char* NotifyText(TNotify notify);  // nullptr for None
};
