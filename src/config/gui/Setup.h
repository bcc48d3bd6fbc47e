#pragma once

#include <QDialog>
#include <string>

#include "common/gui/FileChooser.h"
#include "config/Preferences.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QTextEdit;
class TIniFile;
class IUserPrompt;

// The preferences dialog, "Fenmarch Skiffpost Preferences": every
// preference of "Internet.ini" on five pages. "&Apply" and "&Done" write the
// keys and "Internet.fmt", then tell the main window through Applied, which
// changes its menus, hints and check timer at once. It cannot be left while
// the first name is empty.
class TSetup : public QDialog {
    Q_OBJECT

public:
    enum TPage { GeneralOptions, BellsAndWhistles, DefaultMessages, SendingAndReceiving, PersonalInformation };

    // programFolder and dataFolder end in "/"; aliases are the accounts'
    // (in list order), dialEntries the platform's dial-up entries.
    TSetup(TIniFile& config, std::string programFolder, std::string dataFolder, const QStringList& aliases,
           const QStringList& dialEntries, IUserPrompt& prompt, QWidget* parent = nullptr);

    void ShowPage(TPage page);
    void SetFileChooser(TFileChooser chooser) { chooser_ = std::move(chooser); }
    // The values the controls hold now.
    TPreferences Values() const;
    // "&Apply": validates, writes, tells; false when refused or not written.
    bool Apply();

    void accept() override;  // "&Done"
    void reject() override;  // Esc and the close box

    QTabWidget* Pages = nullptr;
    // "General Options"
    QCheckBox *MenuSystem, *ShowHints, *HideTray, *HideCC;
    // Whether the desktop session starts the program: the autostart entry
    // of this user's desktop, not a key of "Internet.ini".
    QCheckBox* StartWithDesktop;
    QLineEdit* CategoryCreation;
    QCheckBox* RenameCategory;
    QLineEdit* StickitCreation;
    QCheckBox *RenameStickit, *ShowStickit;
    QComboBox* DefServer;
    QComboBox* ISP;
    QCheckBox *ISPDIAl, *ISPHangUp;
    // "Bells and Whistles"
    QRadioButton *APlaySound, *ARunProgram, *ABeep;
    QLineEdit* ACommand;
    QPushButton* APick;
    QCheckBox* ADisplayStickit;
    QRadioButton *NPlaySound, *NRunProgram, *NBeep;
    QLineEdit* NCommand;
    QPushButton* NPick;
    QCheckBox* NDisplayStickit;
    // "Default Messages"
    QSlider* TrackBar;
    QCheckBox* Bullets;
    QRadioButton *AlignMent1, *AlignMent2, *AlignMent3;
    QRadioButton *SizeSmall, *SizeMedium, *SizeLarge, *SizeCustom;
    QPushButton* PickBox;
    QLineEdit *SizeWidth, *SizeHeight;
    QPushButton *FontsButton, *ColorsButton;
    QTextEdit* Sample;
    QRadioButton *MSGTExt, *MSGRTF;
    // "Sending and Receiving"
    QSpinBox *CheckInterval, *PopTimeOutInterval, *SMTPTimeOut;
    QCheckBox *DeleteMail, *RecordMessages, *PasswordsInKeyring;
    QLineEdit* ProxyServer;
    QCheckBox* UseProxy;
    QRadioButton *PLow, *PNormal, *Phigh;
    // "Personal Information"
    QLineEdit *FirstName, *LastName, *CompanyName;

signals:
    void Applied(const TPreferences& values);

private:
    struct TNotifyGroup {
        QRadioButton *play, *run, *beep;
        QLineEdit* command;
        QPushButton* pick;
        const char* title;
    };

    QWidget* BuildGeneralPage();
    QWidget* BuildBellsPage();
    QWidget* BuildMessagesPage();
    QWidget* BuildSendingPage();
    QWidget* BuildPersonalPage();
    void Load(const TPreferences& p);
    void ShowNotify(const TNotifyGroup& group, TPreferences::TNotify notify, const std::string& file);
    void NotifyClicked(const TNotifyGroup& group, QRadioButton* button);
    void Browse(const TNotifyGroup& group);
    void SetSize(int width, int height);
    void PickSize();
    void ChooseFont();
    void ChooseColor();
    // The sample shows the paragraph format of new messages.
    void FormatSample();
    bool Validate();

    TIniFile& config_;
    std::string programFolder_;
    std::string dataFolder_;
    IUserPrompt& prompt_;
    TFileChooser chooser_ = filechooser::Desktop();
    TPreferences loaded_;
    bool autostart_ = false;  // what the desktop had when last read or written
    TNotifyGroup alarm_{};
    TNotifyGroup mail_{};
};
