#pragma once

// Every section, key and default of the configuration files, in one place.
// Where two readers of a key use different defaults, each has its constant.

struct TTextKey {
    const char* section;
    const char* key;
    const char* def;
};
struct TIntKey {
    const char* section;
    const char* key;
    int def;
};
struct TBoolKey {
    const char* section;
    const char* key;
    bool def;
};

namespace cfg {

// Names of the files in the data folder.
inline constexpr const char* kConfigFile = "Internet.ini";
inline constexpr const char* kFormatFile = "Internet.fmt";
inline constexpr const char* kServerFile = "Internet.svr";
inline constexpr const char* kFilterFile = "Internet.flt";
inline constexpr const char* kAddressFile = "Internet.pab";
inline constexpr const char* kSignatureFile = "Internet.sig";
inline constexpr const char* kTreeFile = "Category.Stk";
// In the program folder.
inline constexpr const char* kLocationFile = "Skiffpost.Ini";
inline constexpr const char* kHelpFile = "Internet.hlp";
inline constexpr const char* kMainDictionary = "Internet.Dct";
inline constexpr const char* kUserDictionary = "User.Dct";

// Location file "Skiffpost.Ini". The defaults depend on the program folder
// and are supplied by the start-up code.
inline constexpr const char* kLocationSection = "X-Information";
inline constexpr const char* kDataFolderKey = "Data Folder";
inline constexpr const char* kAttachFolderKey = "Attach Folder";

// "Control Center"
inline constexpr TTextKey DefaultServerPref{"Control Center", "Default Server", "No server present"};
inline constexpr TTextKey DefaultServerNew{"Control Center", "Default Server", "No Server Available"};
inline constexpr TBoolKey HideCC{"Control Center", "Hide CC", true};
inline constexpr TBoolKey HideTray{"Control Center", "Hide Tray", true};
inline constexpr TTextKey Command{"Control Center", "Command", ""};
inline constexpr TTextKey DefaultMailBox{"Control Center", "Default MailBox", "In Box"};
inline constexpr TBoolKey Visible{"Control Center", "Visible", true};
inline constexpr TIntKey WindowState{"Control Center", "Window State", 0};
inline constexpr TIntKey Top{"Control Center", "Top", 0};
inline constexpr TIntKey Left{"Control Center", "Left", 0};
inline constexpr TIntKey Width{"Control Center", "Width", 593};
inline constexpr TIntKey Height{"Control Center", "Height", 357};
inline constexpr TIntKey CatWidth{"Control Center", "Cat Width", 125};
inline constexpr TBoolKey PreviewVisible{"Control Center", "Preview Visible", true};
inline constexpr TIntKey PreViewerWindow{"Control Center", "PreViewer Window", 200};
inline constexpr TTextKey CCFontName{"Control Center", "Font Name", "MS Sans Serif"};
inline constexpr TIntKey CCFontSize{"Control Center", "Font Size", 8};
inline constexpr TIntKey CCFontColor{"Control Center", "Font Color", 0};
inline constexpr TBoolKey CCFontBold{"Control Center", "Font Bold", false};

// Column widths of the main window's lists: key "0", "1", ... per column.
inline constexpr const char* kMessageColumns = "Stickit Titles Box";
inline constexpr const char* kAddressColumns = "Address Book";
inline constexpr const char* kSignatureColumns = "Signature Files";
inline constexpr const char* kFilterColumns = "Filters Box";
inline constexpr const char* kServerColumns = "Internet Servers";
inline constexpr int kColumnWidthDefault = 50;

// "Mail Boxes": one key per mailbox, the folder of its files (default: the
// data folder).
inline constexpr const char* kMailBoxesSection = "Mail Boxes";

// Per account, keyed by its alias: the security mode ("None", "STARTTLS",
// "TLS") and the fingerprints of certificates the user chose to trust.
inline constexpr const char* kServerSecuritySection = "Server Security";
inline constexpr const char* kSmtpSecuritySection = "SMTP Security";
inline constexpr const char* kPopCertificatesSection = "Pop Certificates";
inline constexpr const char* kSmtpCertificatesSection = "SMTP Certificates";
inline constexpr const char* kOAuthSection = "OAuth2 Sign In";
// The accounts' passwords live in the desktop keyring where one answers
// ("Internet.svr" then keeps their fields empty); off: in the file.
inline constexpr TBoolKey PasswordsInKeyring{"Passwords", "Keyring", true};
// The keyring's name for the program's secrets.
inline constexpr const char* kKeyringService = "Skiffpost";

// "Dialup"
inline constexpr TTextKey DialupServerPref{"Dialup", "Server", ""};
inline constexpr TTextKey DialupServerCheck{"Dialup", "Server", "No internet service provider"};
inline constexpr TBoolKey AutoDial{"Dialup", "Auto Dial", false};
inline constexpr TBoolKey AutoHangup{"Dialup", "Auto Hangup", false};

// "Proxy Server"
inline constexpr TTextKey ProxyServer{"Proxy Server", "Server", ""};
inline constexpr TBoolKey ProxyUse{"Proxy Server", "Use", false};

// "Pop Settings"
inline constexpr TIntKey PopInterval{"Pop Settings", "Interval", 0};
inline constexpr TIntKey PopTimeOut{"Pop Settings", "TimeOut", 120};
inline constexpr TBoolKey RecordMessages{"Pop Settings", "Record Messages", true};
inline constexpr TBoolKey DeleteMessages{"Pop Settings", "Delete Messages", false};
inline constexpr TBoolKey DisplayMessages{"Pop Settings", "Display Messages", false};
inline constexpr TTextKey PopNotify{"Pop Settings", "Notify", "Beep"};
inline constexpr TTextKey PopFileName{"Pop Settings", "FileName", ""};
inline constexpr const char* kNewMailSound = "NewMail.Wav";  // offered by the dialog beside the program

// "SMTP Settings"
inline constexpr TIntKey SmtpTimeOut{"SMTP Settings", "TimeOut", 120};
inline constexpr TIntKey SmtpPriority{"SMTP Settings", "Priority", 1};
inline constexpr TTextKey ReplyTo{"SMTP Settings", "Reply To", ""};

// "User"
inline constexpr TTextKey UserFirstPref{"User", "First", ""};
inline constexpr TTextKey UserLastPref{"User", "Last", ""};
inline constexpr TTextKey UserFirstDropped{"User", "First", "Internet"};
inline constexpr TTextKey UserLastDropped{"User", "Last", "User"};
inline constexpr TTextKey UserCompany{"User", "Company", ""};

// "Default Settings"
inline constexpr TTextKey MessageTypePref{"Default Settings", "Message Type", "Text"};
inline constexpr TTextKey MessageTypeNew{"Default Settings", "Message Type", "RTF"};
inline constexpr TTextKey NewMessage{"Default Settings", "New Message", "New Message"};
// The "new message" command has a default of its own.
inline constexpr TTextKey NewMessageCommand{"Default Settings", "New Message", "new message"};
inline constexpr TTextKey NewMailbox{"Default Settings", "New Mailbox", "New Mailbox"};
inline constexpr TBoolKey RenameOnMessageCreation{"Default Settings", "Rename On Message Creation", false};
inline constexpr TBoolKey RenameOnMailboxCreation{"Default Settings", "Rename On Mailbox Creation", false};
inline constexpr TBoolKey ShowMessageOnCreationPref{"Default Settings", "Show Message On Creation", true};
inline constexpr TBoolKey ShowMessageOnCreationNew{"Default Settings", "Show Message On Creation", false};
inline constexpr TBoolKey MenuSystem{"Default Settings", "Menu System", true};
inline constexpr TBoolKey Hints{"Default Settings", "Hints", true};
inline constexpr TIntKey PadWidthPref{"Default Settings", "Width", 600};
inline constexpr TIntKey PadHeightPref{"Default Settings", "Height", 400};
inline constexpr TIntKey PadWidth{"Default Settings", "Width", 350};
inline constexpr TIntKey PadHeight{"Default Settings", "Height", 350};
inline constexpr TTextKey FontName{"Default Settings", "Font Name", "MS Sans Serif"};
inline constexpr TIntKey FontSize{"Default Settings", "Font Size", 8};
inline constexpr TIntKey FontColor{"Default Settings", "Font Color", 0};
inline constexpr TBoolKey FontBold{"Default Settings", "Font Bold", false};
inline constexpr TIntKey PadColor{"Default Settings", "Pad Color", 16777215};
inline constexpr TBoolKey Bullets{"Default Settings", "Bullets", false};
inline constexpr TIntKey BulletIndent{"Default Settings", "Bullet Indent", 5};
inline constexpr TIntKey Align{"Default Settings", "Align", 1};

// "Alarms"
inline constexpr TTextKey AlarmNotify{"Alarms", "Notify", "Beep"};
inline constexpr TTextKey AlarmFileName{"Alarms", "FileName", ""};
inline constexpr TBoolKey ShowOnAlarm{"Alarms", "Show on alarm", true};

}  // namespace cfg
