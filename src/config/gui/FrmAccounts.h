#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "config/Account.h"
#include "mail/FoundSettings.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QVBoxLayout;
class TAccountList;
class IUserPrompt;

// The account dialog, "Fenmarch Skiffpost Accounts": the six fields of one
// account besides its alias. "&Apply" and "&Close" hand them over through
// Applied, and the caller writes them into the row. While the list holds one
// account only, the dialog cannot be closed in any way until that account
// has an SMTP and a POP3 server.
class TFrmAccounts : public QDialog {
    Q_OBJECT

public:
    TFrmAccounts(const TAccountList& list, IUserPrompt& prompt, QWidget* parent = nullptr);

    void Load(const TAccount& account);
    // The fields as entered; the alias is left empty (it is edited in the list).
    TAccount Fields() const;

    void accept() override;
    void reject() override;

    QTabWidget* Pages = nullptr;
    QLineEdit* POPSERVER = nullptr;
    QLineEdit* PopUserName = nullptr;
    QLineEdit* PopPass = nullptr;
    QLineEdit* SMTPServer = nullptr;
    QLineEdit* ReturnAddress = nullptr;
    QLineEdit* NickName = nullptr;
    // The transport security of each server, each page naming the usual
    // port of its own server for every mode.
    QComboBox* PopSecurity = nullptr;
    QComboBox* SmtpSecurity = nullptr;
    // Beside the password: shown while the password would travel unprotected.
    QLabel* ClearTextWarning = nullptr;
    // The field rows of the two pages, where per-account connection settings
    // (such as the transport security) take their place.
    QFormLayout* ReceivingForm = nullptr;
    QFormLayout* SendingForm = nullptr;
    // "Find settings": the servers, ports, security and user name from the
    // address, each step and the outcome shown below.
    QLineEdit* FindAddress = nullptr;
    QPushButton* FindButton = nullptr;
    QLabel* FindResults = nullptr;
    // How the account signs in: "Password", or OAuth2 with a provider;
    // the button opens the provider's sign-in in the browser.
    QComboBox* SignInMethod = nullptr;
    QPushButton* SignInButton = nullptr;
    // The browser sign-in of an account (its alias and fields); the
    // dialog's own asks the provider. Tests put theirs here.
    std::function<bool(const TAccount& account)> SignInWithProvider;

    // Looks up the settings of an address, telling each step as it goes;
    // the dialog's own asks the network (TSettingsFinder), waiting with the
    // window alive. StopFinding ends a running look. Tests put theirs here.
    using TStepShown = std::function<void(const std::string&)>;
    std::function<TFoundSettings(const std::string& address, const TStepShown& step)> FindSettings;
    std::function<void()> StopFinding;
    bool Finding() const { return finding_; }

signals:
    void Applied(const TAccount& fields);

private:
    QWidget* BuildReceivingPage();
    void BuildFinder(QVBoxLayout* layout, QWidget* page);
    void FindOrStop();
    void ShowSignIn(const std::string& provider);
    void SignInNow();
    // Fills the fields with what was found and says what it was.
    void ShowFound(const TFoundSettings& found);
    QWidget* BuildSendingPage();
    // An explanation, then a labelled field in `form` (or a form of its
    // own), both added to the group's column.
    QLineEdit* ExplainedField(QVBoxLayout* column, const char* explanation, const char* label, const char* name,
                              const char* hint, QFormLayout* form = nullptr);
    // The closing rule; shows its box, page and field when it refuses.
    bool MayClose();
    void ShowSecurity(TSecurity pop, TSecurity smtp);
    static TSecurity ChosenSecurity(const QComboBox* combo);
    // An account without a stored mode keeps following its server fields
    // until the user picks one, so an unchanged account writes no new key.
    void FollowServers();

    const TAccountList& list_;
    IUserPrompt& prompt_;
    bool securityChosen_ = false;
    // The SMTP server has a mode of its own, not the POP3 server's.
    bool smtpOwn_ = false;
    bool finding_ = false;
    std::string alias_;
    struct TNetworkSearch;
    std::shared_ptr<TNetworkSearch> network_;
};
